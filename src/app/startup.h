// Start-up and the launcher window `BackupBotton` as a logic object: the load
// sequence, the command line, the two buttons, the preparation of the main
// window, and the end of the program.
#ifndef ZARIREVO_APP_STARTUP_H_
#define ZARIREVO_APP_STARTUP_H_

#include <string>

#include "app/program_state.h"

namespace zr {

/// "/F" folder: the current drive and folder change to it.
void ParseCommandLine(Program& program, const std::string& command_line);
/// The launcher's load: settings, installed products, the product choice.
void LauncherLoad(Program& program, const std::string& command_line);
/// Launcher `Software_B`: its caption steps to the next installed product.
void LauncherSoftwareClick(Program& program);
/// Launcher `Backup`: SelectedSoftware takes the caption of `Software_B`;
/// the caller then unloads the launcher and loads the main window.
void LauncherBackupClick(Program& program);
/// Colours, the main window's `Software_B`, the product's configuration.
void PrepareMainWindow(Program& program);
/// Saves the settings and ends the program (throws ProgramEnded(true)).
[[noreturn]] void ExitProgram(Program& program);

}  // namespace zr

#endif  // ZARIREVO_APP_STARTUP_H_
