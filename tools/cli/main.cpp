// za-rirevo-cli: the console front-end. It starts the program as the windows
// do (launcher load, product choice, Backup, main-window load), applies the
// file items and compression asked for, runs one command, and ends through
// ExitProgram so that the settings are saved as with ESCI.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/startup.h"
#include "backup/backup_job.h"
#include "commands.h"
#include "platform/host_platform.h"
#include "ui/base_form.h"

namespace zr::cli {
namespace {

struct Command {
  const char* name;
  int arguments;       // how many arguments the command takes
  const char* usage;   // its line in the usage text
  int (*run)(CommandContext&);
};

// One line per command.
const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"show", 0,
       "show                 start up, open the main window and print its state, one\n"
       "                                 \"Name=value\" line each",
       RunShow},
      {"backup", 1, "backup CUSTOMER      type CUSTOMER into NomeCliente and press OK_B", RunBackup},
      {"server-copy", 0, "server-copy          Menu12", RunServerCopy},
      {"erase", 0, "erase                Menu32", RunErase},
  };
  return commands;
}

std::string Usage() {
  std::string text = "za-rirevo-cli [OPTIONS] COMMAND [ARGS]\n";
  bool first = true;
  for (const Command& command : Commands()) {
    text += first ? "  COMMAND   " : "            ";
    text += std::string(command.usage) + "\n";
    first = false;
  }
  text +=
      "  --cmdline TEXT     the program's command line, for example \"/Fc:\\kyconfig\\system\"\n"
      "  --product NAME     press Software_B (on the launcher) until NAME is shown; error if it is "
      "not installed\n"
      "  --select LIST      file items: \"all\" (the &Tutti command), \"default\", or a comma list "
      "of item names\n"
      "                     (Menu211,Menu215,...) that become the checked ones; naming a disabled "
      "item is an error\n"
      "  --zip 0|1|2        the compression menu item for that ZipMode\n"
      "  --answer A         ok|cancel|yes|no, queued for the message boxes in order\n"
      "  --pick FOLDER      queued for the folder picker (Windows form); an empty queue cancels\n"
      "  --stop-after N     press STOP when the window processes input for the Nth time during "
      "the command\n"
      "  --color auto|always|never\n";
  return text;
}

struct Options {
  std::string cmdline;
  std::string product;
  std::string select = "default";
  int zip = -1;
  std::vector<std::string> answers;
  std::vector<std::string> picks;
  int stop_after = 0;
  std::string color = "auto";
  std::string command;
  std::vector<std::string> args;
};

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

Answer ParseAnswer(const std::string& text) {
  if (text == "ok") return Answer::kOk;
  if (text == "cancel") return Answer::kCancel;
  if (text == "yes") return Answer::kYes;
  if (text == "no") return Answer::kNo;
  throw UsageError("--answer: " + text + " is not one of ok, cancel, yes, no");
}

// Presses the launcher's Software_B until it shows `name`.
void ChooseProduct(Program& program, const std::string& name) {
  const std::size_t presses = program.InstalledProducts.size() + 1;
  for (std::size_t i = 0; i < presses; ++i) {
    if (program.launcher.Software_B.caption == name) return;
    LauncherSoftwareClick(program);
  }
  if (program.launcher.Software_B.caption != name) {
    throw UsageError("--product: " + name + " is not installed");
  }
}

// Sets the file items through their click handlers, as a user would.
void SelectFileItems(Program& program, const std::string& select) {
  if (select == "default") return;
  if (select == "all") {
    Menu25Click(program);
    return;
  }
  std::set<std::string> wanted;
  std::size_t start = 0;
  while (start <= select.size()) {
    const std::size_t comma = select.find(',', start);
    const std::string name =
        select.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!name.empty()) {
      if (!IsFileItem(name)) throw UsageError("--select: " + name + " is not a file item");
      if (!FindMenuItem(program, name)->enabled) {
        throw UsageError("--select: " + name + " is disabled for " + program.SelectedSoftware);
      }
      wanted.insert(name);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  for (const MenuEntry& entry : MenuTree()) {
    if (!IsFileItem(entry.name)) continue;
    const MenuItem& item = program.menus.*(entry.item);
    const bool want = wanted.count(entry.name) != 0;
    if (item.checked != want && item.enabled) ClickMenuItem(program, entry.name);
    // A disabled item cannot be clicked: it keeps its mark, as in the window.
  }
}

void ChooseZipMode(Program& program, int zip) {
  switch (zip) {
    case 0: Menu313Click(program); break;
    case 1: Menu312Click(program); break;
    case 2: Menu311Click(program); break;
    default: break;
  }
}

int RunSession(const Options& options, const Command& command) {
  const bool colour =
      options.color == "always" || (options.color == "auto" && isatty(fileno(stdout)) != 0);
  ConsoleUi ui(stdout, colour);
  for (const std::string& answer : options.answers) ui.QueueAnswer(ParseAnswer(answer));
  for (const std::string& pick : options.picks) ui.QueuePick(pick);

  std::unique_ptr<Platform> platform = CreateHostPlatform(DriveMap::FromEnvironment());
  Program program(*platform, ui);
  LoadToday(program);
  CommandContext context{program, ui, options.args, stdout};

  try {
    LauncherLoad(program, options.cmdline);
    if (!options.product.empty()) ChooseProduct(program, options.product);
    LauncherBackupClick(program);
    BaseFormLoad(program);
    SelectFileItems(program, options.select);
    ChooseZipMode(program, options.zip);
    if (options.stop_after > 0) {
      ui.OnNthInput(options.stop_after, [&program] { StopButtonClick(program); });
    }
    const int code = command.run(context);
    try {
      ExitProgram(program);
    } catch (const ProgramEnded&) {
    }
    return code;
  } catch (const ProgramEnded& ended) {
    return ended.settings_saved ? kDone : kProgramEnded;
  } catch (const ScriptedUi::BoxLoop&) {
    std::fprintf(stderr, "za-rirevo-cli: a message box came back %d times with no answer left\n",
                 kMaxUnansweredRepeats + 1);
    return kBoxLoop;
  } catch (const UsageError& error) {
    std::fprintf(stderr, "za-rirevo-cli: %s\n", error.what());
    return kUsageError;
  }
}

int Main(int argc, char** argv) {
  Options options;
  CLI::App app{"za-rirevo-cli"};
  app.set_help_flag();
  bool help = false;
  app.add_flag("--help", help);
  app.add_option("--cmdline", options.cmdline);
  app.add_option("--product", options.product);
  app.add_option("--select", options.select);
  app.add_option("--zip", options.zip)->check(CLI::Range(0, 2));
  app.add_option("--answer", options.answers)
      ->check(CLI::IsMember({"ok", "cancel", "yes", "no"}))
      ->allow_extra_args(false);
  app.add_option("--pick", options.picks)->allow_extra_args(false);
  app.add_option("--stop-after", options.stop_after)->check(CLI::PositiveNumber);
  app.add_option("--color", options.color)->check(CLI::IsMember({"auto", "always", "never"}));
  app.add_option("command", options.command);
  app.add_option("args", options.args);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "za-rirevo-cli: %s\n", error.what());
    return kUsageError;
  }
  if (help) {
    std::fputs(Usage().c_str(), stdout);
    return kDone;
  }
  if (options.command.empty()) {
    std::fprintf(stderr, "za-rirevo-cli: no COMMAND given (see --help)\n");
    return kUsageError;
  }
  for (const Command& command : Commands()) {
    if (options.command != command.name) continue;
    if (static_cast<int>(options.args.size()) != command.arguments) {
      std::fprintf(stderr, "za-rirevo-cli: %s takes %d argument(s), %zu given\n", command.name,
                   command.arguments, options.args.size());
      return kUsageError;
    }
    return RunSession(options, command);
  }
  std::fprintf(stderr, "za-rirevo-cli: unknown COMMAND %s (see --help)\n", options.command.c_str());
  return kUsageError;
}

}  // namespace
}  // namespace zr::cli

int main(int argc, char** argv) { return zr::cli::Main(argc, argv); }
