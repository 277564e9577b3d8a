#include "app/clock.h"

#include <gtest/gtest.h>

#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

// The core takes the date from the platform it is handed, so a wrapper fixes it.
TEST(ClockTest, TheProgramTakesTodayFromItsPlatform) {
  testing::TestWorld world;
  testing::FaultPlatform platform(world.platform());
  platform.SetToday({1999, 12, 31});
  Session program(platform, world.ui());
  EXPECT_EQ(ShortDateText(program), "31/12/1999");
}

}  // namespace
}  // namespace zr
