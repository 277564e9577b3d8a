// za-rirevo-cli: the console front-end. It starts the program as the windows
// do (launcher load, product choice, Backup, main-window load), applies the
// file items and compression asked for, runs one command, and ends through
// ExitProgram so that the settings are saved as with ESCI. During a backup,
// a server copy and an erase the core's progress reports feed a progress
// line (on a terminal) and the closing summary (or --json).
#include <CLI/CLI.hpp>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/operation_report.h"
#include "app/product_catalog.h"
#include "app/settings.h"
#include "app/startup.h"
#include "backup/backup_job.h"
#include "commands.h"
#include "json_text.h"
#include "platform/cancel_signals.h"
#include "platform/console.h"
#include "platform/host_platform.h"
#include "text/strings.h"
#include "ui/base_form.h"
#include "ui/commands.h"

namespace zr::cli {
namespace {

constexpr const char* kExitCodes =
    "Exit codes:\n"
    "  0  done as asked\n"
    "  1  not done or incomplete (refused, files not copied, archive not made), the reason on "
    "standard error\n"
    "  2  bad command line\n"
    "  3  the program ended itself (nothing saved)\n"
    "  4  a question with no answer (a message box came back with no --answer left)\n"
    "  130  stopped (STOP, Ctrl-C, SIGHUP, a closed output), its half-done work removed\n"
    "  143  stopped by SIGTERM, as above\n";

struct Options {
  std::string cmdline;
  std::string product;
  std::string select = "default";  // legacy: the items by their internal names
  std::string items;               // the items by their menu names
  int zip = -1;
  std::vector<std::string> answers;
  std::vector<std::string> picks;
  int stop_after = 0;
  std::string color = "auto";
  bool quiet = false;
  bool json = false;
  bool yes = false;
  std::string to;
  std::string customer;
  std::string backup_folder;
  std::vector<std::string> servers;
  ReviewOptions review;
  bool dry_run = false;
};

// The review commands: their JSON document has the common members and
// their own (context.json_members) instead of an operation's report.
bool HasOwnDocument(const std::string& name) {
  return name == "verify" || name == "list" || name == "restore" || name == "diff" ||
         name == "dry-run";
}

using Run = int (*)(CommandContext&);

Answer ParseAnswer(const std::string& text) {
  if (text == "ok") return Answer::kOk;
  if (text == "cancel") return Answer::kCancel;
  if (text == "yes") return Answer::kYes;
  if (text == "no") return Answer::kNo;
  throw UsageError("--answer: " + text + " non \xC3\xA8 una tra ok, cancel, yes, no");
}

// Presses the launcher's product button until it shows `name`.
void ChooseProduct(Program& program, const std::string& name) {
  const std::size_t presses = program.InstalledProducts.size() + 1;
  for (std::size_t i = 0; i < presses; ++i) {
    if (program.launcher.Software_B.caption == name) return;
    LauncherSoftwareClick(program);
  }
  if (program.launcher.Software_B.caption != name) {
    throw UsageError("--product: " + name + " non \xC3\xA8 installato");
  }
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = list.find(',', start);
    const std::string part = TrimBlanks(
        list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!part.empty()) parts.push_back(part);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

// Makes exactly the items named `wanted` checked, through their click
// handlers, as a user would. A disabled item cannot be clicked: it keeps its
// mark, as in the window.
void CheckItems(Program& program, MainWindowCommands& commands,
                const std::set<std::string>& wanted) {
  for (const MenuEntry& entry : MenuTree()) {
    if (!IsFileItem(entry.name)) continue;
    const MenuItem& item = program.menus.*(entry.item);
    const bool want = wanted.count(entry.name) != 0;
    if (item.checked != want) commands.Run(entry.name);
  }
}

// --select: the items by their internal names (kept for existing scripts).
void SelectFileItems(Program& program, MainWindowCommands& commands, const std::string& select) {
  if (select == "default") return;
  if (select == "all") {
    commands.Run("Menu25");
    return;
  }
  std::set<std::string> wanted;
  for (const std::string& name : SplitList(select)) {
    if (!IsFileItem(name)) throw UsageError("--select: " + name + " non \xC3\xA8 una voce di file");
    const MenuItem& item = *FindMenuItem(program, name);
    if (!item.enabled) {
      throw UsageError("--select: " + ItemName(item) + " non \xC3\xA8 disponibile per " +
                       program.SelectedSoftware);
    }
    wanted.insert(name);
  }
  CheckItems(program, commands, wanted);
}

// --items: the items by the names the selected product's menus show,
// without access keys, in any case; "Submenu/Name" when a name is in two
// submenus.
void SelectItemsByName(Program& program, MainWindowCommands& commands, const std::string& items) {
  const std::string upper = ToUpper(TrimBlanks(items));
  if (upper == "DEFAULT") return;
  if (upper == "ALL") {
    commands.Run("Menu25");
    return;
  }
  std::set<std::string> wanted;
  for (const std::string& name : SplitList(items)) {
    std::vector<const MenuEntry*> found;
    std::string known;
    for (const MenuEntry& entry : MenuTree()) {
      if (!IsFileItem(entry.name)) continue;
      const MenuItem& item = program.menus.*(entry.item);
      const std::string qualified = QualifiedItemName(program, entry);
      if (item.enabled) known += (known.empty() ? "" : ", ") + qualified;
      if (ToUpper(name) == ToUpper(ItemName(item)) || ToUpper(name) == ToUpper(qualified)) {
        found.push_back(&entry);
      }
    }
    if (found.empty()) {
      throw UsageError("--items: " + name + " non \xC3\xA8 una voce di " +
                       program.SelectedSoftware + " (le sue voci: " + known + ")");
    }
    // A name in two menus where only one of them is available means that one.
    if (found.size() > 1) {
      std::vector<const MenuEntry*> available;
      for (const MenuEntry* entry : found) {
        if ((program.menus.*(entry->item)).enabled) available.push_back(entry);
      }
      if (available.size() == 1) found = available;
    }
    if (found.size() > 1) {
      std::string choices;
      for (const MenuEntry* entry : found) {
        choices += (choices.empty() ? "" : " o ") + QualifiedItemName(program, *entry);
      }
      throw UsageError("--items: " + name + " \xC3\xA8 in pi\xC3\xB9 di un menu: indicare " + choices);
    }
    if (!(program.menus.*(found.front()->item)).enabled) {
      throw UsageError("--items: " + name + " non \xC3\xA8 disponibile per " +
                       program.SelectedSoftware);
    }
    wanted.insert(found.front()->name);
  }
  CheckItems(program, commands, wanted);
}

// --zip: the compression item of the mode (ZipMode 0, 1, 2: Menu313, Menu312, Menu311).
void ChooseZipMode(MainWindowCommands& commands, int zip) {
  if (zip >= 0 && zip <= 2) commands.Run("Menu31" + std::to_string(3 - zip));
}

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The start of the command in ISO 8601 (UTC).
std::string StartTime() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm utc = *std::gmtime(&now);  // one thread: the shared result is safe here
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

CancelCause CauseOf(CancelSignal signal) {
  switch (signal) {
    case CancelSignal::kTerminate:
      return CancelCause::kTerminate;
    case CancelSignal::kHangUp:
      return CancelCause::kHangUp;
    case CancelSignal::kInterrupt:
      return CancelCause::kInterrupt;
    case CancelSignal::kNone:
      break;
  }
  return CancelCause::kNone;
}

bool LooksLikeWindowsPath(const std::string& text) {
  return (text.size() >= 2 && text[1] == ':' &&
          std::isalpha(static_cast<unsigned char>(text[0]))) ||
         text.rfind("\\\\", 0) == 0;
}

// The "Name=value" lines of show and config as one JSON object, a Windows
// path's host form beside it ("Name_host").
std::string ValuesJson(const std::string& lines, Platform& platform) {
  std::string json = "{";
  std::size_t start = 0;
  bool first = true;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    const std::string line = lines.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    json += std::string(first ? "" : ",") + JsonString(name) + ":" + JsonString(value);
    if (LooksLikeWindowsPath(value)) {
      std::string host;
      IgnoreStatus(platform.ToHostPath(value, &host), "an unmapped drive has no host path");
      json += "," + JsonString(name + "_host") + ":" + (host.empty() ? "null" : JsonString(host));
    }
    first = false;
  }
  return json + "}";
}

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
  return text;
}

// The one JSON document of a command that did not run: refused (a bad
// command line, exit 2) or ended before it began. Its reason is the line on
// standard error.
std::string NotRunJson(const std::string& command, int code, const std::string& started_at,
                       const std::string& why) {
  return "{\"command\":" + (command.empty() ? std::string("null") : JsonString(command)) +
         ",\"exit_code\":" + std::to_string(code) + ",\"started\":" + JsonString(started_at) +
         ",\"seconds\":0.000,\"outcome\":" +
         (code == kUsageError ? "\"refused\"" : code == kDone ? "\"completed\"" : "\"failed\"") +
         ",\"reason\":" + (why.empty() ? std::string("null") : JsonString(why)) + "}\n";
}

// A command refused before the program starts: its reason on standard error
// and, with --json, the one document on standard output.
int Refuse(bool json, const std::string& command, int code, const std::string& why) {
  std::fprintf(stderr, "za-rirevo-cli: %s\n", why.c_str());
  if (json) std::fputs(NotRunJson(command, code, StartTime(), why).c_str(), stdout);
  std::fflush(stdout);
  return code;
}

int RunSession(const Options& options, const std::string& name, Run run, ConfigChanges config) {
  const std::string started_at = StartTime();
  InstallCancelSignals();
  // With --json standard output holds the one document: the boxes and lines
  // go to standard error, or nowhere with --quiet.
  std::FILE* lines_out = options.json ? (options.quiet ? nullptr : stderr) : stdout;
  const bool colour = options.color == "always" ||
                      (options.color == "auto" && lines_out != nullptr && IsTerminal(lines_out));
  ConsoleUi ui(lines_out, colour);
  for (const std::string& answer : options.answers) ui.QueueAnswer(ParseAnswer(answer));
  for (const std::string& pick : options.picks) ui.QueuePick(pick);

  std::unique_ptr<Platform> platform = CreateHostPlatform(DriveMap::FromEnvironment());
  Program program(*platform, ui);
  MainWindowCommands commands(program);

  const bool reports = name == "backup" || name == "server-copy" || name == "erase";
  const bool shown = reports && !options.quiet && IsTerminal(stderr);
  ConsoleProgress progress(stderr, shown, SteadySeconds);
  ui.before_output = [&progress] { progress.Hide(); };
  ui.after_output = [&progress] { progress.Show(); };
  // Signals and a closed output cancel the run as STOP does: through the
  // button while it can be pressed, else through the run itself.
  ui.on_input = [&program, &commands, &ui] {
    CancelCause cause = CauseOf(PendingCancelSignal());
    if (cause == CancelCause::kNone && ui.output_closed()) cause = CancelCause::kClosedOutput;
    if (cause == CancelCause::kNone || !program.run.active() || program.run.cancelled()) return;
    program.run.Cancel(cause);
    if (commands.CanRun("StopB")) commands.Run("StopB");
  };

  // show and config write their values here first when the JSON wraps them.
  std::FILE* values = options.json && !reports && !HasOwnDocument(name) ? std::tmpfile() : nullptr;
  std::vector<std::string> args;
  if (name == "backup") args.push_back(options.customer);
  if (name == "dry-run") args.push_back(options.customer);
  CommandContext context{
      program,    ui,          commands,         args, values ? values : stdout, progress,
      options.to, options.yes, std::move(config)};
  context.review = options.review;
  context.review.json = options.json;
  bool started = false;
  std::string not_started;  // why the command did not begin, for the JSON document
  int runs_before = 0;
  // The closing of a command that ran, whatever its end: the summary (or the
  // JSON document) and the reason of a failure, all from the run's report.
  // The command as its document names it.
  const std::string command = name == "dry-run" ? "backup --dry-run" : name;
  const auto host_path = [&platform](const std::string& path) {
    return HostPathOf(*platform, path);
  };
  const auto finish = [&](int code) {
    if (!started) {
      if (options.json) {
        std::fputs(NotRunJson(command, code, started_at, not_started).c_str(), stdout);
      }
      std::fflush(stdout);
      return code;
    }
    program.run.watcher = nullptr;
    progress.Finish(program.run);
    const bool ran = reports && program.run.runs() > runs_before;
    const OperationReport& report = program.run.report();
    if (ran && code != kProgramEnded && code != kBoxLoop) code = zr::ExitCode(report);
    const bool review = HasOwnDocument(name);
    std::string why = ran ? FailureText(report) : review ? context.reason : "";
    if (review && code != kDone && !not_started.empty()) {
      // The program ended or a box came back unanswered: said already.
      context.outcome = code == kUsageError ? RunOutcome::kRefused : RunOutcome::kFailed;
      context.reason = not_started;
      why.clear();
    }
    if (!why.empty()) std::fprintf(stderr, "za-rirevo-cli: %s\n", why.c_str());
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", progress.Elapsed());
    if (options.json) {
      std::string json = "{\"command\":" + JsonString(command) +
                         ",\"exit_code\":" + std::to_string(code) +
                         ",\"started\":" + JsonString(started_at) + ",\"seconds\":" + seconds;
      if (ran) json += "," + ReportJsonMembers(report, host_path);
      if (review) {
        json += ",\"outcome\":" + JsonString(OutcomeWord(context.outcome)) + ",\"reason\":" +
                (context.reason.empty() ? "null" : JsonString(context.reason)) +
                context.json_members;
      }
      if (values != nullptr) {
        // show and config: how they ended, in the words of the others.
        const RunOutcome outcome = code == kDone         ? RunOutcome::kCompleted
                                   : code == kUsageError ? RunOutcome::kRefused
                                                         : RunOutcome::kFailed;
        const std::string& reason = context.reason.empty() ? not_started : context.reason;
        json += ",\"outcome\":" + JsonString(OutcomeWord(outcome)) +
                ",\"reason\":" + (reason.empty() ? "null" : JsonString(reason)) +
                ",\"values\":" + ValuesJson(ReadAll(values), *platform);
      }
      std::fputs((json + "}\n").c_str(), stdout);
    } else if (ran) {
      std::snprintf(seconds, sizeof seconds, "%.1f s", progress.Elapsed());
      std::fputs((SummaryText(report) + "Time: " + seconds + "\n").c_str(), stdout);
    }
    std::fflush(stdout);
    return code;
  };

  try {
    StartProgram(program, options.cmdline);
    if (!options.product.empty()) ChooseProduct(program, options.product);
    OpenMainWindow(program, {});
    SelectFileItems(program, commands, options.select);
    if (!options.items.empty()) SelectItemsByName(program, commands, options.items);
    ChooseZipMode(commands, options.zip);
    if (options.stop_after > 0) {
      ui.OnNthInput(options.stop_after, [&commands] { commands.Run("StopB"); });
    }
    started = true;
    runs_before = program.run.runs();
    program.run.watcher = &progress;
    const int code = run(context);
    program.run.watcher = nullptr;
    try {
      ExitProgram(program);
    } catch (const ProgramEnded&) {
    }
    return finish(code);
  } catch (const ProgramEnded& ended) {
    not_started = "programma terminato";
    if (!ended.settings_saved && !ui.boxes().empty()) {
      not_started += ": " + ui.boxes().back().request.text;
      std::fprintf(stderr, "za-rirevo-cli: %s\n", not_started.c_str());
    }
    return finish(ended.settings_saved ? kDone : kProgramEnded);
  } catch (const ScriptedUi::BoxLoop&) {
    progress.Hide();
    not_started = "la stessa finestra di messaggio \xC3\xA8 tornata " +
                  std::to_string(kMaxUnansweredRepeats + 1) + " volte senza risposta";
    std::fprintf(stderr, "za-rirevo-cli: %s\n", not_started.c_str());
    return finish(kBoxLoop);
  } catch (const UsageError& error) {
    not_started = error.what();
    std::fprintf(stderr, "za-rirevo-cli: %s\n", error.what());
    return finish(kUsageError);
  }
}

// A folder given on the command line for the folder picker: not empty (that
// is a cancelled picker) and, for the backup destination, without blanks
// (the window asks again for such a folder).
std::string CheckFolder(const std::string& option, const std::string& folder, bool no_blanks) {
  if (TrimBlanks(folder).empty()) return option + ": nessuna cartella indicata";
  if (no_blanks && folder.find(' ') != std::string::npos) {
    return option + ": " + folder +
           " contiene uno spazio, che la destinazione del backup non pu\xC3\xB2 avere";
  }
  return {};
}

// backup --to: the destination for one run, held to the rules of a saved
// one (config --backup-folder): why it cannot be, "" when it can (a warning
// is said on standard error).
std::string UnusableDestination(const std::string& folder) {
  std::unique_ptr<Platform> platform = CreateHostPlatform(DriveMap::FromEnvironment());
  const FolderCheck check = CheckSettingsFolder(*platform, folder);
  if (!check.error.empty()) return "--to: " + check.error;
  if (!check.warning.empty()) std::fprintf(stderr, "za-rirevo-cli: --to: %s\n", check.warning.c_str());
  return {};
}

// Without a known command: the first word that is neither an option nor an
// option's value is a command that does not exist. Names it and the known
// ones; "" when the fault lies elsewhere (CLI11's message says it then).
std::string CommandMissing(CLI::App& app, int argc, char** argv) {
  std::vector<std::string> names;
  std::string known;
  for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
    names.push_back(sub->get_name());
    known += (known.empty() ? "" : ", ") + sub->get_name();
  }
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    if (word.size() > 1 && word[0] == '-') {
      // An option's value follows it unless given with "=".
      const CLI::Option* option = app.get_option_no_throw(word.substr(0, word.find('=')));
      if (option != nullptr && option->get_items_expected_max() > 0 &&
          word.find('=') == std::string::npos) {
        ++i;
      }
      continue;
    }
    if (std::set<std::string>{names.begin(), names.end()}.count(word) != 0) return {};
    return word + " non \xC3\xA8 un comando; i comandi sono " + known + " (vedere --help)";
  }
  return "nessun comando indicato; i comandi sono " + known + " (vedere --help)";
}

// The value given to `name` on the command line ("--zip 5", "--zip=5"), or "".
std::string ValueGiven(const std::string& name, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    if (word == name && i + 1 < argc) return argv[i + 1];
    if (word.rfind(name + "=", 0) == 0) return word.substr(name.size() + 1);
  }
  return {};
}

// --json anywhere before "--", read from the words themselves so that a
// command line CLI11 rejects is still answered with one document.
bool JsonAsked(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    if (word == "--json") return true;
  }
  return false;
}

// The command named on the command line, "" when none.
std::string CommandGiven(CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
      if (sub->get_name() == word) return word;
    }
  }
  return {};
}

// The option CLI11 names at the start of its message ("--zip: ..."), looked
// up in the program and its commands; nullptr when there is none.
const CLI::Option* NamedOption(CLI::App& app, const std::string& name) {
  if (const CLI::Option* option = app.get_option_no_throw(name)) return option;
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
    if (const CLI::Option* option = sub->get_option_no_throw(name)) return option;
  }
  return nullptr;
}

// A command line CLI11 rejected, in the program's words: what is wrong and
// with which word. CLI11's own text is English; only the kind of error and
// the names it carries are taken from it.
std::string ParseErrorText(CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
  const std::string message = error.what();
  const std::size_t colon = message.find(": ");
  const std::string head = colon == std::string::npos ? std::string() : message.substr(0, colon);
  const std::string tail = colon == std::string::npos ? message : message.substr(colon + 2);
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    const bool option = !tail.empty() && tail[0] == '-';
    return std::string(option ? "opzione sconosciuta: " : "argomento non previsto: ") + tail;
  }
  if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
    if (app.get_subcommands().empty()) {
      if (const std::string why = CommandMissing(app, argc, argv); !why.empty()) return why;
    }
    const std::size_t is = message.find(" is required");
    if (is != std::string::npos) return "manca " + message.substr(0, is);
  }
  const CLI::Option* option = head.empty() ? nullptr : NamedOption(app, head);
  if (option != nullptr && dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    return head + (message.find(" missing") != std::string::npos ? ": manca il valore"
                                                                  : ": troppi valori");
  }
  if (option != nullptr && (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr ||
                            dynamic_cast<const CLI::ConversionError*>(&error) != nullptr)) {
    const std::string allowed = option->get_type_name();
    return head + ": " + ValueGiven(head, argc, argv) + " non \xC3\xA8 un valore ammesso (" +
           (allowed.find('|') != std::string::npos ? allowed : "un numero intero positivo") +
           ")";
  }
  return "riga di comando non valida";
}

int Main(int argc, char** argv) {
  Options options;
  CLI::App app{
      "za-rirevo-cli: back up the configuration of a CAM product installation (DAXOR2D, "
      "TRELUN, PLOVIK) from a console or a script, as the program's windows do.",
      "za-rirevo-cli"};
  app.footer(kExitCodes);
  app.set_version_flag("--version", "za-rirevo-cli " + std::to_string(kVersionMajor) + "." +
                                        std::to_string(kVersionMinor) + "." +
                                        std::to_string(kVersionRevision));
  app.require_subcommand(1);
  app.add_option("--cmdline", options.cmdline,
                 "the program's command line, for example '/Fc:\\kyconfig\\system' (the folder "
                 "of ZA-RIREVO.INI); without it the program starts in the current folder, as the "
                 "windows do without /F, and keeps ZA-RIREVO.INI there")
      ->type_name("LINE");
  app.add_option("--product", options.product,
                 "the product to work on (DAXOR2D, TRELUN, PLOVIK, ...); error if it is not "
                 "installed")
      ->type_name("PRODUCT");
  app.add_option("--zip", options.zip,
                 "the compression for this run: 0 archive in the customer folder, 1 in the "
                 "backup destination, 2 no archive (see backup --archive)")
      ->type_name("0|1|2")
      ->check(CLI::Range(0, 2).description(""));
  app.add_option("--answer", options.answers,
                 "the answer to the program's next question (repeat for each, in order); a "
                 "question with none left takes its default (No, Cancel)")
      ->type_name("ok|cancel|yes|no")
      ->check(CLI::IsMember({"ok", "cancel", "yes", "no"}).description(""))
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--pick", options.picks,
                 "the folder (Windows form) for the program's next folder question (repeat for "
                 "each, in order); none left cancels the question")
      ->type_name("FOLDER")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--stop-after", options.stop_after,
                 "press STOP the Nth time the program looks for user input during the command "
                 "(for tests)")
      ->type_name("N")
      ->check(CLI::Validator(CLI::PositiveNumber).description(""));
  app.add_option("--color", options.color,
                 "the per-file lines in their colours (auto: on a terminal)")
      ->type_name("auto|always|never")
      ->check(CLI::IsMember({"auto", "always", "never"}).description(""));
  app.add_flag("-q,--quiet", options.quiet, "no progress line on standard error");
  app.add_flag("--json", options.json,
               "standard output is one JSON document (the report of the command, or the values "
               "of show and config); the per-file lines go to standard error");
  // The items by their internal names, as the scripts of earlier versions
  // give them; --items is the same in the menus' words.
  app.add_option("--select", options.select)->group("");
  // --items also before the command (show shows its effect); listed with backup.
  app.add_option("--items", options.items)->group("");

  const auto command = [&app](const char* name, const char* description) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->footer(kExitCodes);
    sub->fallthrough();
    return sub;
  };
  CLI::App* show = command(
      "show",
      "Start up, open the main window and print its state, one \"Name=value\" line each, and "
      "the file items of the selected product (Item.Menu/Name=selected|not selected|unavailable).");
  CLI::App* backup = command(
      "backup",
      "Back up the selected product's configuration for a customer: the chosen file items are "
      "copied into the customer's folder under the backup destination and packed into "
      "CUSTOMER_ddmmyy.ZIP, then the summary is printed.");
  backup->add_option("CUSTOMER", options.customer, "the customer's name (the folder's name)")
      ->type_name("")
      ->required();
  backup->add_option("--product", options.product, "the product to back up")->type_name("PRODUCT");
  backup
      ->add_option(
          "--items", options.items,
          "the file items to back up, comma-separated, as the product's menus name them (without "
          "the '&', any case; \"Menu/Name\" where a name is in two menus; see show), or \"all\" or "
          "\"default\" (the product's own choice)")
      ->type_name("LIST");
  std::string archive;
  backup
      ->add_option("--archive", archive,
                   "folder: the archive in the customer's folder; root: in the backup "
                   "destination; none: no archive (for this run; the windows start with root)")
      ->type_name("folder|root|none")
      ->check(CLI::IsMember({"folder", "root", "none"}).description(""));
  backup
      ->add_option("--to", options.to,
                   "the backup destination FOLDER (Windows form, no blanks) for this run "
                   "only: it is not saved (config --backup-folder changes the saved one)")
      ->type_name("FOLDER");
  backup->add_flag("--dry-run", options.dry_run,
                   "write nothing anywhere: list each file the backup would copy or enter in "
                   "the archive only, the totals, and whether they fit the destination's free "
                   "space (exit 1 when they do not)");
  CLI::App* server =
      command("server-copy",
              "Copy the archives of the backup destination to the server, filed by product, "
              "post-processor and machine, then print the summary.");
  CLI::App* erase =
      command("erase",
              "Erase everything in the backup destination (the floppy). Only with an explicit yes "
              "(--yes or --answer yes); otherwise nothing is erased.");
  erase->add_flag("-y,--yes", options.yes, "yes, erase the backup destination");
  CLI::App* config =
      command("config",
              "Show, and with options change, what the Configurazione menu sets: the backup "
              "destination and each product's server folder, saved to ZA-RIREVO.INI as the windows "
              "save them. (The compression is not kept between runs: choose it with backup "
              "--archive.)");
  config
      ->add_option("--backup-folder", options.backup_folder,
                   "the backup destination FOLDER (Windows form, no blanks)")
      ->type_name("FOLDER");
  config
      ->add_option("--server", options.servers,
                   "the server folder of DAXOR2D, TRELUN or PLOVIK (repeat "
                   "for each)")
      ->type_name("PRODUCT=FOLDER")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  CLI::App* verify =
      command("verify",
              "Check archives: every entry decompressed and its CRC-32 checked; the bad ones "
              "are named with their archive. Without ARCHIVE, every archive of the backup "
              "destination (and of its customer folders). Exit 0 when all are whole, 1 "
              "otherwise.");
  verify
      ->add_option("ARCHIVE", options.review.archives,
                   "archives: paths (Windows form), file names in the backup destination, or "
                   "customers' names for their newest archive there")
      ->type_name("ARCHIVE");
  verify->add_flag("--server", options.review.server,
                   "every archive filed under the selected product's server folder");
  CLI::App* list =
      command("list",
              "List the backups: the archives of the backup destination and its customer "
              "folders (name, date from ddmmyy, size, entries), or with --server every archive "
              "filed under the selected product's server folder (product, post-processor, "
              "machine, customer, date, size); newest first. --json gives them under \"archives\".");
  list->add_flag("--server", options.review.server, "the server folder, not the backup unit");
  list->add_option("--customer", options.review.customer, "only this customer's archives")
      ->type_name("NAME");
  CLI::App* restore = command(
      "restore",
      "Bring files back: the archive's entries extracted below FOLDER (made if missing), byte "
      "for byte, each kept below it. Refused into a drive root, a product installation, the "
      "settings folder or a temporary folder of the program, or a folder holding one. Exit 0 "
      "when every entry was restored.");
  // restore and diff: exactly one ARCHIVE, named as verify names its archives.
  const auto one_archive = [&options](CLI::App* sub) {
    sub->add_option("ARCHIVE", options.review.archives,
                    "the archive: a path (Windows form), a file name in the backup destination, "
                    "or a customer's name for that customer's newest archive there")
        ->type_name("ARCHIVE")
        ->required()
        ->expected(1);
  };
  one_archive(restore);
  restore->add_option("--to", options.review.to, "the FOLDER to restore into (Windows form)")
      ->type_name("FOLDER")
      ->required();
  CLI::App* diff = command(
      "diff",
      "What changed in the installation since the backup in ARCHIVE: each entry against the "
      "file there now, by size and CRC-32 (changed, gone), and the files the selected items "
      "would take today that the archive lacks (new). Exit 0 when nothing changed, 1 when "
      "something did, 2 on error.");
  one_archive(diff);
  diff->add_option("--items", options.items,
                   "the file items the backup was made with (see backup --items)")
      ->type_name("LIST");
  restore
      ->add_option("--only", options.review.only,
                   "only the entries whose name matches PATTERN (* and ?, any case; a "
                   "pattern without / matches the last part of the name)")
      ->type_name("PATTERN");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
    std::string why = ParseErrorText(app, error, argc, argv);
    if (why.find("--help") == std::string::npos) why += " (vedere --help)";
    return Refuse(JsonAsked(argc, argv), CommandGiven(app, argc, argv), kUsageError, why);
  }

  const std::string named = CommandGiven(app, argc, argv);
  const auto usage = [&options, &named](const std::string& text) {
    return Refuse(options.json, named, kUsageError, text);
  };
  if (!archive.empty()) options.zip = archive == "folder" ? 0 : archive == "root" ? 1 : 2;
  if (!options.items.empty() && options.select != "default") {
    return usage("--items e --select indicano le stesse voci di file: usarne uno solo");
  }
  if (backup->parsed()) {
    if (!options.to.empty()) {
      if (const std::string why = CheckFolder("--to", options.to, true); !why.empty()) {
        return usage(why);
      }
      if (const std::string why = UnusableDestination(options.to); !why.empty()) {
        return Refuse(options.json, named, kNotDone, why);
      }
    }
    if (options.dry_run) return RunSession(options, "dry-run", RunDryRun, {});
    return RunSession(options, "backup", RunBackup, {});
  }
  if (server->parsed()) return RunSession(options, "server-copy", RunServerCopy, {});
  if (verify->parsed()) return RunSession(options, "verify", RunVerify, {});
  if (list->parsed()) return RunSession(options, "list", RunList, {});
  if (restore->parsed()) return RunSession(options, "restore", RunRestore, {});
  if (diff->parsed()) return RunSession(options, "diff", RunDiff, {});
  if (erase->parsed()) return RunSession(options, "erase", RunErase, {});
  if (show->parsed()) return RunSession(options, "show", RunShow, {});
  ConfigChanges changes;
  if (config->count("--backup-folder") > 0) {
    if (const std::string why = CheckFolder("--backup-folder", options.backup_folder, true);
        !why.empty()) {
      return usage(why);
    }
    changes.backup_folder = options.backup_folder;
  }
  for (const std::string& server_root : options.servers) {
    const std::size_t equals = server_root.find('=');
    const std::string product = ToUpper(TrimBlanks(server_root.substr(0, equals)));
    // The products whose server folder the Configurazione menu sets.
    std::string offered;
    int row = -1;
    for (int server_row : ServerMenuRows()) {
      const char* name = Products()[static_cast<std::size_t>(server_row)].name;
      offered += (offered.empty() ? "" : ", ") + std::string(name);
      if (product == name) row = server_row;
    }
    if (equals == std::string::npos || row < 0) {
      return usage("--server: " + server_root +
                   " non \xC3\xA8 PRODUCT=FOLDER con PRODUCT uno tra " + offered);
    }
    const std::string folder = server_root.substr(equals + 1);
    if (const std::string why = CheckFolder("--server", folder, false); !why.empty()) {
      return usage(why + " per " + product);
    }
    changes.servers.emplace_back(row, folder);
  }
  return RunSession(options, "config", RunConfig, std::move(changes));
}

}  // namespace
}  // namespace zr::cli

int main(int argc, char** argv) {
  std::vector<std::string> arguments = zr::ProgramArguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return zr::cli::Main(static_cast<int>(arguments.size()), pointers.data());
}
