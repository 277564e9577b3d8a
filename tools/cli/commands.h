// The commands of za-rirevo-cli. Each runs after the start-up has opened the
// main window (launcher load, product choice, Backup, main-window load, the
// file items and compression of the options) and before ExitProgram saves
// the settings. A command drives the same handlers the windows drive and
// returns its exit code: kDone when it ended as the user meant (its success
// message was shown), kNotDone otherwise. It may also let ProgramEnded or
// ScriptedUi::BoxLoop pass; main() turns them into their exit codes.
//
// A new command is a function declared here, defined in its own
// command_NAME.cpp, and one line in the table of main.cpp.
#ifndef ZARIREVO_TOOLS_CLI_COMMANDS_H_
#define ZARIREVO_TOOLS_CLI_COMMANDS_H_

#include <string>
#include <vector>

#include "app/program_state.h"
#include "console_ui.h"

namespace zr::cli {

enum ExitCode : int {
  kDone = 0,         // ended as the user meant
  kNotDone = 1,      // stopped, nothing to do, failed
  kUsageError = 2,   // bad command line, with a one-line explanation
  kProgramEnded = 3, // the program ended itself (nothing saved)
  kBoxLoop = 4,      // a message box came back again and again with no answer left
};

struct CommandContext {
  Program& program;
  ConsoleUi& ui;
  std::vector<std::string> args;  // the command's own arguments
  std::FILE* out;                 // standard output
};

/// show: prints the program state and every menu item, one "Name=value" line each.
int RunShow(CommandContext& context);
/// backup CUSTOMER: types CUSTOMER into NomeCliente and presses OK_B; kDone only
/// when "Copia eseguita" and a true "Zip eseguito" (or no archive wanted) were shown.
int RunBackup(CommandContext& context);
/// server-copy: clicks Menu12; kDone only when "Copia Eseguita" was shown.
int RunServerCopy(CommandContext& context);
/// erase: clicks Menu32 (asks Yes/No; an unanswered box answers No); kDone
/// only when "Cancellazione Eseguita" was shown.
int RunErase(CommandContext& context);

}  // namespace zr::cli

#endif  // ZARIREVO_TOOLS_CLI_COMMANDS_H_
