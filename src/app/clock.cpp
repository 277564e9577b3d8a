#include "app/clock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace zr {

namespace {

bool IsDigits(const std::string& text, std::size_t from, std::size_t count) {
  for (std::size_t i = from; i < from + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

}  // namespace

bool ParseIsoDate(const std::string& text, int* year, int* month, int* day) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (!IsDigits(text, 0, 4) || !IsDigits(text, 5, 2) || !IsDigits(text, 8, 2)) return false;
  const int y = std::atoi(text.substr(0, 4).c_str());
  const int m = std::atoi(text.substr(5, 2).c_str());
  const int d = std::atoi(text.substr(8, 2).c_str());
  const std::chrono::year_month_day date{std::chrono::year{y},
                                         std::chrono::month{static_cast<unsigned>(m)},
                                         std::chrono::day{static_cast<unsigned>(d)}};
  if (!date.ok()) return false;
  *year = y;
  *month = m;
  *day = d;
  return true;
}

void LoadToday(Program& program) {
  const char* fixed = std::getenv("ZARIREVO_TODAY");
  if (fixed != nullptr &&
      ParseIsoDate(fixed, &program.today_year, &program.today_month, &program.today_day)) {
    return;
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  program.today_year = local.tm_year + 1900;
  program.today_month = local.tm_mon + 1;
  program.today_day = local.tm_mday;
}

std::string ShortDateText(Program& program) {
  if (program.today_year == 0) LoadToday(program);
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", program.today_day, program.today_month,
                program.today_year);
  return text;
}

}  // namespace zr
