#include "platform/host_clock.h"

#include <chrono>
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

Date HostToday() {
  Date today;
  const char* fixed = std::getenv("ZARIREVO_TODAY");
  if (fixed != nullptr && ParseIsoDate(fixed, &today.year, &today.month, &today.day)) {
    return today;
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  today.year = local.tm_year + 1900;
  today.month = local.tm_mon + 1;
  today.day = local.tm_mday;
  return today;
}

std::string HostEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace zr
