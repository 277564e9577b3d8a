// The test world of the windows' tests: the same temporary world, its
// session joined with the main window's model (ui/program.h).
#ifndef ZARIREVO_TESTS_UI_TEST_WORLD_H_
#define ZARIREVO_TESTS_UI_TEST_WORLD_H_

#include <memory>

#include "tests/test_world.h"
#include "ui/program.h"

namespace zr::testing {

class UiTestWorld : public TestWorld {
 public:
  UiTestWorld()
      : TestWorld([](Platform& platform, UserInterface& ui) {
          return std::make_shared<Program>(platform, ui);
        }) {}

  Program& program() { return static_cast<Program&>(TestWorld::program()); }
};

}  // namespace zr::testing

#endif  // ZARIREVO_TESTS_UI_TEST_WORLD_H_
