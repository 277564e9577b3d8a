// The progress of a run as the main window shows it, in one line under the
// message area: the stage, the files done out of those known and the time
// since the run began; while the archiver runs, how long it has been at
// work. The windows own one, as the run context's watcher, and show each new
// line it gives them.
#ifndef ZARIREVO_UI_RUN_PROGRESS_H_
#define ZARIREVO_UI_RUN_PROGRESS_H_

#include <functional>
#include <string>
#include <utility>

#include "app/run_context.h"

namespace zr {

/// "Copia in corso: 3 di 12 file, 0:07"; while archiving "Compressione in
/// corso da 0:02 (12 di 12 file, 0:09 in tutto)"; "" when nothing runs.
std::string RunProgressText(const RunContext& run, double run_seconds, double stage_seconds);

class RunProgress : public RunWatcher {
 public:
  /// `now` gives steady seconds; `show` receives each new line.
  RunProgress(std::function<double()> now, std::function<void(const std::string&)> show)
      : now_(std::move(now)), show_(std::move(show)) {}

  void Changed(const RunContext& run) override;
  /// The line now ("" when nothing runs).
  const std::string& text() const { return text_; }
  /// The run has ended: the line goes.
  void Clear();

 private:
  std::function<double()> now_;
  std::function<void(const std::string&)> show_;
  int runs_ = -1;  // the run whose line this is
  Stage stage_ = Stage::kIdle;
  double run_start_ = 0, stage_start_ = 0, shown_at_ = -1;
  std::string text_;
};

}  // namespace zr

#endif  // ZARIREVO_UI_RUN_PROGRESS_H_
