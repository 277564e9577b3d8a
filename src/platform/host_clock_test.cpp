#include "platform/host_clock.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace zr {
namespace {

TEST(HostClockTest, TakesOnlyAValidIsoDate) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {{"2024-02-29", true}, {"2023-02-29", false}, {"2024-13-01", false},
               {"2024-3-07", false}, {"2024/03/07", false}, {"2024-03-0x", false}};
  for (const Case& c : cases) {
    int y = 0, m = 0, d = 0;
    EXPECT_EQ(ParseIsoDate(c.text, &y, &m, &d), c.valid) << c.text;
  }
}

TEST(HostClockTest, ZarirevoTodayFixesTheHostDateAndAnInvalidOneIsIgnored) {
  setenv("ZARIREVO_TODAY", "2024-03-07", 1);
  const Date fixed = HostToday();
  EXPECT_EQ(fixed.year * 10000 + fixed.month * 100 + fixed.day, 20240307);
  setenv("ZARIREVO_TODAY", "2024-02-30", 1);
  const Date system = HostToday();
  unsetenv("ZARIREVO_TODAY");
  EXPECT_GE(system.year, 2024);
  EXPECT_NE(system.month * 100 + system.day, 230);
}

}  // namespace
}  // namespace zr
