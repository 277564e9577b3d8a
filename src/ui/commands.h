// The main window's commands in one table: every menu item, button and key
// of the main window by its name ("Menu211", "Menu12", "OK_B", "StopB",
// "EsciB", ...), with its handler and the rules for when it may run. The
// windows and the console both dispatch through it, so both follow the same
// rules:
//  - a disabled item or button cannot be pressed;
//  - one command at a time: while one is in hand, above all an operation
//    that runs (a backup lets the window take input between two files), only
//    STOP, ESCI and the close box act; any other command is refused and
//    changes nothing;
//  - ESCI and the close box during an operation stop it and end the program
//    once it has returned, its clean-up done (MainWindowExit).
// Every operation runs as the window's Job, which shows the files the
// operation tells its run context (program.run) and keeps how it ended.
#ifndef ZARIREVO_UI_COMMANDS_H_
#define ZARIREVO_UI_COMMANDS_H_

#include <functional>
#include <map>
#include <string>

#include "ui/program.h"
#include "ui/base_form.h"

namespace zr {

/// The command of the main window in hand, at most one at a time, with the
/// progress of the operation it runs (files done out of files known, as the
/// operation tells its run context) and how it ended. It holds the run
/// context while it runs (RunContext::Hold), which is all it knows of
/// running.
class Job {
 public:
  explicit Job(Program& program) : program_(program) {}
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  /// Runs `work` (true when it ended as the user meant) as the job. False,
  /// and nothing runs, while another job runs.
  bool Run(const std::function<bool()>& work);
  /// STOP: the running backup or server copy stops at its next look at the
  /// STOP flag, and cleans up as it does for the button.
  void Cancel();

  bool running() const { return program_.run.held(); }
  int files_done() const { return program_.run.done(); }
  int files_known() const { return program_.run.known(); }
  /// How the last job that returned ended: true when as the user meant.
  bool succeeded() const { return succeeded_; }

 private:
  Program& program_;
  bool succeeded_ = false;
};

/// What became of a command.
enum class CommandResult {
  kDone,      // ran and ended as the user meant
  kNotDone,   // ran, but did not end so (stopped, failed, nothing to do)
  kUnknown,   // no such command (or none given by this front-end)
  kDisabled,  // its item or button is disabled
  kBusy,      // another operation runs
};

/// The main window as the views show it: the model with the rule of an
/// operation that runs applied, so that a view only renders it.
struct ShownMainWindow {
  /// The controls: the product button and OK are off while an operation
  /// runs; STOP is on exactly while a backup or a server copy runs; once
  /// pressed during an operation, ESCI is off (the exit is on its way: the
  /// program ends when the operation has stopped and cleaned up).
  BaseFormControls controls;
  bool menu_bar_enabled = true;     // the bar menus: off while an operation runs
  bool customer_read_only = false;  // the name box: read-only while an operation runs
};

class MainWindowCommands {
 public:
  explicit MainWindowCommands(Program& program);
  MainWindowCommands(const MainWindowCommands&) = delete;
  MainWindowCommands& operator=(const MainWindowCommands&) = delete;

  /// Gives a command that only the front-end can carry out (Menu41, the help
  /// window). A front-end that gives none does not offer it.
  void SetFrontEndHandler(const std::string& name, std::function<void()> handler);

  /// Runs the command `name` when the rules allow it; the interface is then
  /// told of the new state. ProgramEnded passes (Chiudi, ESCI, the close box).
  CommandResult Run(const std::string& name);
  /// True when Run(name) would run the command now.
  bool CanRun(const std::string& name) const;
  /// The customer name box changed; a change typed while an operation runs
  /// is ignored (the box is read-only then).
  void TypeCustomer(const std::string& text);

  /// An operation runs (the backup, the server copy, the erase): the window
  /// shows itself busy. A command that begins no run (a folder picker, a
  /// settings change) is refused meanwhile but does not make it busy.
  bool busy() const { return program_.run.active(); }
  /// The main window's model as it is to be shown now.
  ShownMainWindow Shown() const;
  const Job& job() const { return job_; }
  MainWindowExit& exit() { return exit_; }

 private:
  struct Command {
    std::function<bool()> handler;  // true: ended as the user meant
    std::function<bool()> enabled;  // empty: always enabled
    bool while_busy = false;        // acts during an operation
  };
  void Add(const std::string& name, MenuItem* control, std::function<bool()> handler,
           bool while_busy = false);
  const Command* Find(const std::string& name) const;
  CommandResult Refusal(const Command* command) const;

  Program& program_;
  Job job_;
  MainWindowExit exit_;
  std::map<std::string, Command> commands_;
};

}  // namespace zr

#endif  // ZARIREVO_UI_COMMANDS_H_
