#include "app/clock.h"

#include <gtest/gtest.h>

#include "tests/test_world.h"

namespace zr {
namespace {

// The core takes the date from the platform it is handed, so a wrapper fixes it.
TEST(ClockTest, TheProgramTakesTodayFromItsPlatform) {
  struct FixedDay : ForwardingPlatform {
    using ForwardingPlatform::ForwardingPlatform;
    Date Today() override { return {1999, 12, 31}; }
  };
  testing::TestWorld world;
  FixedDay platform(world.platform());
  Program program(platform, world.ui());
  EXPECT_EQ(ShortDateText(program), "31/12/1999");
}

}  // namespace
}  // namespace zr
