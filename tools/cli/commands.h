// The commands of za-rirevo-cli. Each runs after the start-up has opened the
// main window (launcher load, product choice, Backup, main-window load, the
// file items and compression of the options) and before ExitProgram saves
// the settings. A command drives the same handlers the windows drive and
// returns its exit code: kDone when it ended as the user meant (its success
// message was shown), kNotDone otherwise. It may also let ProgramEnded or
// ScriptedUi::BoxLoop pass; main() turns them into their exit codes.
//
// A new command is a function declared here, defined in its own
// command_NAME.cpp, and one subcommand in main.cpp.
#ifndef ZARIREVO_TOOLS_CLI_COMMANDS_H_
#define ZARIREVO_TOOLS_CLI_COMMANDS_H_

#include <stdexcept>
#include <string>
#include <vector>

#include "app/operation_report.h"
#include "app/settings.h"
#include "ui/program.h"
#include "console_ui.h"
#include "progress.h"
#include "ui/commands.h"

namespace zr::cli {

enum ExitCode : int {
  kDone = 0,          // ended as the user meant
  kNotDone = 1,       // stopped, nothing to do, failed
  kUsageError = 2,    // bad command line, with a one-line explanation
  kProgramEnded = 3,  // the program ended itself (nothing saved)
  kBoxLoop = 4,       // a message box came back again and again with no answer left
};

/// A bad command line found once the program has started (an item the
/// product does not have): exit code 2 with its text.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// What `config` changes (empty: unchanged).
using ConfigChanges = SettingsChange;

/// What verify, list, restore, diff and backup --dry-run were given.
struct ReviewOptions {
  std::vector<std::string> archives;  // verify: ARCHIVE...; restore, diff: the one ARCHIVE
  bool server = false;                // verify, list: the server folder, not the unit
  std::string customer;               // list --customer
  std::string to;                     // restore --to FOLDER
  std::string only;                   // restore --only PATTERN
  bool json = false;                  // one JSON document on standard output
};

struct CommandContext {
  Program& program;
  ConsoleUi& ui;
  MainWindowCommands& commands;   // the main window's commands, as the windows run them
  std::vector<std::string> args;  // the command's own arguments
  std::FILE* out;                 // standard output
  ConsoleProgress& progress;      // the progress line
  std::string to;                 // backup: the destination for this run, "" for the saved one
  bool yes = false;               // erase: answer Yes to its question
  ConfigChanges config;
  ReviewOptions review = {};
  // verify, list, restore, diff and backup --dry-run with --json: their own
  // members (each after a comma), joined by main() to the common ones, and
  // the outcome and reason it gives (the reason also on standard error).
  std::string json_members = {};
  RunOutcome outcome = RunOutcome::kCompleted;
  std::string reason = {};
};

/// show: prints the program state and every menu item, one "Name=value"
/// line each, then the file items of the selected product by name.
int RunShow(CommandContext& context);
/// backup CUSTOMER: types CUSTOMER into the customer box and presses OK;
/// kDone only when "Copia eseguita" and a true "Zip eseguito" (or no archive
/// wanted) were shown. With `to`, the destination is changed for this run
/// and put back before the settings are saved.
int RunBackup(CommandContext& context);
/// server-copy: the "Copia sul Server" menu command; kDone only when "Copia
/// Eseguita" was shown.
int RunServerCopy(CommandContext& context);
/// erase: the "Formatta Floppy" menu command (asks Yes/No; an unanswered
/// box answers No); kDone only when "Cancellazione Eseguita" was shown.
int RunErase(CommandContext& context);
/// config: applies `config` through the Configurazione menu's handlers and
/// prints the settings it shows.
int RunConfig(CommandContext& context);

/// verify [ARCHIVE...]: kDone when every archive is whole.
int RunVerify(CommandContext& context);
/// list: the archives of the unit or the server, newest first; kDone.
int RunList(CommandContext& context);
/// restore ARCHIVE --to FOLDER: kDone when every entry was restored.
int RunRestore(CommandContext& context);
/// diff ARCHIVE: kDone when nothing changed, kNotDone when something did,
/// kUsageError when nothing could be compared.
int RunDiff(CommandContext& context);
/// backup --dry-run CUSTOMER: kDone when the backup would start, copy every
/// file and fit the destination.
int RunDryRun(CommandContext& context);

/// A file item's name as its menu shows it: the caption without access keys.
std::string ItemName(const MenuItem& item);
/// "Submenu/Item": the item's name after its submenu's.
std::string QualifiedItemName(Program& program, const MenuEntry& entry);

}  // namespace zr::cli

#endif  // ZARIREVO_TOOLS_CLI_COMMANDS_H_
