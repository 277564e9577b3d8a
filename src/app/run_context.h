// The run of one operation (the customer backup, the server copy, the erase):
// its progress, its report and its cancellation, in one object that the
// operation receives through the Session.
//
// The operation tells it what happens as it happens: files found by a
// listing (FilesKnown), the file in hand (FileStarted), what became of each
// file (FileDone, which writes the report), the stage it is in. A front-end
// watches it to draw its progress (RunWatcher). Every way of stopping a run,
// STOP, ESCI, the close box, a signal or a closed output pipe, ends in
// Cancel; the operation looks at cancelled() where it may stop and cleans up
// as for STOP. Poll() is what a long wait (the archiver) calls between two
// looks at its child, after the window has taken its pending input: the
// watcher redraws its progress, and the answer says whether to go on.
#ifndef ZARIREVO_APP_RUN_CONTEXT_H_
#define ZARIREVO_APP_RUN_CONTEXT_H_

#include <string>

#include "app/operation_report.h"

namespace zr {

enum class Stage { kIdle, kCollecting, kArchiving, kFiling, kErasing };

/// "collecting", "archiving", "filing", "erasing" ("" when idle).
const char* StageWord(Stage stage);

/// A time a run or a stage has taken, as the progress shows it ("M:SS").
std::string ClockText(double seconds);

class RunContext;

/// What a front-end does while a run goes on; the defaults do nothing.
struct RunWatcher {
  virtual ~RunWatcher() = default;
  /// The figures, the file in hand or the stage changed.
  virtual void Changed(const RunContext& /*run*/) {}
  /// A long wait goes on (called about ten times a second).
  virtual void Waiting(const RunContext& run) { Changed(run); }
};

class RunContext {
 public:
  RunContext() = default;
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  /// A new run of `operation`: a fresh report, not cancelled.
  void Begin(Operation operation, Stage stage);
  /// The run has ended: the stage is idle, the report stays for reading.
  void End();
  bool active() const { return active_; }

  /// A front-end's command holds the context from its start to its end,
  /// whether it begins a run (the backup, the server copy, the erase) or not
  /// (a folder picker, a settings change): while it is held no second
  /// command starts, and an exit asked waits for the command to return.
  /// Holding is not running: only Begin makes the context active.
  class Hold {
   public:
    /// Takes the context unless it is held already (taken() then says false).
    explicit Hold(RunContext& run) : run_(run.held_ ? nullptr : &run) {
      if (run_ != nullptr) run_->held_ = true;
    }
    ~Hold() {
      if (run_ != nullptr) run_->held_ = false;
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    bool taken() const { return run_ != nullptr; }

   private:
    RunContext* run_;
  };
  /// A command holds the context now.
  bool held() const { return held_; }
  /// Runs begun so far (a front-end tells whether its command started one).
  int runs() const { return runs_; }

  void SetStage(Stage stage);
  Stage stage() const { return stage_; }

  /// A listing found `count` more files to handle.
  void FilesKnown(int count);
  void FileStarted(const std::string& file);
  /// What became of `file`; `files` records of it (a group refused at once).
  void FileDone(const std::string& file, FileOutcome outcome, const std::string& reason = {},
                std::uint64_t bytes = 0, int files = 1);

  /// Asks the run to stop at its next look; the first cause stays.
  void Cancel(CancelCause cause);
  bool cancelled() const { return cause_ != CancelCause::kNone; }
  CancelCause cause() const { return cause_; }

  /// Called by long waits between two looks; false when the run is cancelled.
  bool Poll();

  int known() const { return known_; }
  int done() const { return done_; }
  const std::string& current() const { return current_; }

  OperationReport& report() { return report_; }
  const OperationReport& report() const { return report_; }

  /// The front-end's watcher (null: none).
  RunWatcher* watcher = nullptr;

 private:
  void Notify();

  OperationReport report_;
  Stage stage_ = Stage::kIdle;
  bool active_ = false;
  bool held_ = false;
  int runs_ = 0;
  CancelCause cause_ = CancelCause::kNone;
  int known_ = 0;
  int done_ = 0;
  std::string current_;
};

}  // namespace zr

#endif  // ZARIREVO_APP_RUN_CONTEXT_H_
