#include "app/clock.h"

#include <cstdio>

namespace zr {

void LoadToday(Session& program) {
  const Date today = program.platform.Today();
  program.today_year = today.year;
  program.today_month = today.month;
  program.today_day = today.day;
}

std::string ShortDateText(Session& program) {
  if (program.today_year == 0) LoadToday(program);
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", program.today_day, program.today_month,
                program.today_year);
  return text;
}

}  // namespace zr
