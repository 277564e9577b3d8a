#include "ui/run_progress.h"

#include <utility>

namespace zr {

namespace {

constexpr double kMinInterval = 0.1;  // at most ten new lines a second

const char* StageText(Stage stage) {
  switch (stage) {
    case Stage::kCollecting:
      return "Copia";
    case Stage::kArchiving:
      return "Compressione";
    case Stage::kFiling:
      return "Copia sul server";
    case Stage::kErasing:
      return "Cancellazione";
    case Stage::kIdle:
      break;
  }
  return "";
}

}  // namespace

std::string RunProgressText(const RunContext& run, double run_seconds, double stage_seconds) {
  if (!run.active()) return {};
  const std::string files =
      std::to_string(run.done()) + " di " + std::to_string(run.known()) + " file";
  const std::string stage = StageText(run.stage());
  if (run.stage() == Stage::kArchiving) {
    return stage + " in corso da " + ClockText(stage_seconds) + " (" + files + ", " +
           ClockText(run_seconds) + " in tutto)";
  }
  return stage + " in corso: " + files + ", " + ClockText(run_seconds);
}

void RunProgress::Changed(const RunContext& run) {
  const double now = now_();
  bool force = false;
  if (run.runs() != runs_) {
    runs_ = run.runs();
    run_start_ = stage_start_ = now;
    stage_ = run.stage();
    force = true;
  } else if (run.stage() != stage_) {
    stage_ = run.stage();
    stage_start_ = now;
    force = true;
  }
  if (!force && shown_at_ >= 0 && now - shown_at_ < kMinInterval) return;
  std::string text = RunProgressText(run, now - run_start_, now - stage_start_);
  if (text == text_) return;
  text_ = std::move(text);
  shown_at_ = now;
  if (show_) show_(text_);
}

void RunProgress::Clear() {
  if (text_.empty()) return;
  text_.clear();
  if (show_) show_(text_);
}

}  // namespace zr
