// The progress display of za-rirevo-cli.
//
// ConsoleProgress watches the run of a command (the program's RunContext)
// and, when shown, keeps one line on standard error up to date: "files
// done/known, bytes, elapsed, stage, current file". While the archiver runs
// the line shows the archive stage and its elapsed time, drawn on each wait
// of the run. The line is drawn again in place ("\r", clear to the end of the
// line); its figures change at most ten times a second. The message-area
// lines and boxes printed on the same terminal clear it first and show it
// again after (Hide/Show). Finish leaves its last state on its own line.
// The closing summary is not counted here: it is a function of the run's
// report (app/operation_report.h).
#ifndef ZARIREVO_TOOLS_CLI_PROGRESS_H_
#define ZARIREVO_TOOLS_CLI_PROGRESS_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "app/run_context.h"

namespace zr::cli {

class ConsoleProgress : public RunWatcher {
 public:
  /// Draws on `out` when `shown`; `now` gives the seconds of a steady clock.
  ConsoleProgress(std::FILE* out, bool shown, std::function<double()> now);

  void Changed(const RunContext& run) override;
  void Waiting(const RunContext& run) override;

  /// Clears the line before other output on the terminal / draws it again after.
  void Hide();
  void Show();
  /// Draws the final state of `run` and ends its line (when it was ever drawn).
  void Finish(const RunContext& run);

  /// Seconds since the command started.
  double Elapsed() const { return now_() - start_; }
  /// The progress text for `run` now.
  std::string Text(const RunContext& run) const;

 private:
  void Update(const RunContext& run, bool force);
  void Draw();

  std::FILE* out_;
  bool shown_;
  std::function<double()> now_;
  double start_;
  double stage_start_;
  Stage stage_ = Stage::kIdle;
  double last_update_ = -1;
  bool visible_ = false;  // the line is on the terminal now
  bool drawn_ = false;    // it was drawn at least once
  std::string text_;      // what was drawn last
};

/// `text` cut to fewer characters than `columns` (UTF-8 characters, whole);
/// as it is when `columns` is not above 1 (width unknown).
std::string FitToColumns(const std::string& text, int columns);

}  // namespace zr::cli

#endif  // ZARIREVO_TOOLS_CLI_PROGRESS_H_
