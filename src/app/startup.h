// Start-up: the load sequence of the session (what the launcher window
// `BackupBotton` loads), the command line, the preparation of the main
// window's session state, and the end of the program. The launcher's
// captions and buttons are the window's (ui/base_form.h).
#ifndef ZARIREVO_APP_STARTUP_H_
#define ZARIREVO_APP_STARTUP_H_

#include <string>

#include "app/session.h"

namespace zr {

/// "/F" folder: the current drive and folder change to it.
void ParseCommandLine(Session& program, const std::string& command_line);
/// The launcher's load of the session: settings, installed products, the
/// product choice (SelectedSoftware).
void LoadSession(Session& program, const std::string& command_line);
/// Colours and the product's configuration.
void PrepareMainWindow(Session& program);
/// Saves the settings and ends the program (throws ProgramEnded(true)).
[[noreturn]] void ExitProgram(Session& program);

}  // namespace zr

#endif  // ZARIREVO_APP_STARTUP_H_
