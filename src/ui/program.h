// What the front-ends work on: the session (app/session.h) and the main
// window's model (ui/main_window_model.h) in one object. The operations take
// the session alone; the window's handlers read and write both, reaching
// their members by their own names (`program.menus`, `program.BackupPath`).
#ifndef ZARIREVO_UI_PROGRAM_H_
#define ZARIREVO_UI_PROGRAM_H_

#include "app/session.h"
#include "ui/main_window_model.h"

namespace zr {

struct Program : Session, MainWindowModel {
  using Session::Session;
};

/// STOP is enabled exactly while a backup or a server copy runs (the erase
/// is stopped only by ESCI and the close box).
inline bool StopEnabled(const Program& program) {
  return program.run.active() && program.run.report().operation != Operation::kErase;
}

}  // namespace zr

#endif  // ZARIREVO_UI_PROGRAM_H_
