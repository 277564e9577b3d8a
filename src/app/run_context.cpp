#include "app/run_context.h"

#include <cstdio>

namespace zr {

const char* StageWord(Stage stage) {
  switch (stage) {
    case Stage::kCollecting:
      return "collecting";
    case Stage::kArchiving:
      return "archiving";
    case Stage::kFiling:
      return "filing";
    case Stage::kErasing:
      return "erasing";
    case Stage::kIdle:
      break;
  }
  return "";
}

std::string ClockText(double seconds) {
  const long whole = seconds < 0 ? 0 : static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

void RunContext::Begin(Operation operation, Stage stage) {
  report_ = OperationReport{};
  report_.operation = operation;
  stage_ = stage;
  active_ = true;
  ++runs_;
  cause_ = CancelCause::kNone;
  known_ = done_ = 0;
  current_.clear();
  Notify();
}

void RunContext::End() {
  active_ = false;
  stage_ = Stage::kIdle;
  current_.clear();
  report_.known = known_;
  if (cause_ != CancelCause::kNone) {
    report_.outcome = RunOutcome::kCancelled;
    report_.cancel = cause_;
  }
}

void RunContext::SetStage(Stage stage) {
  stage_ = stage;
  current_.clear();
  Notify();
}

void RunContext::FilesKnown(int count) {
  known_ += count;
  Notify();
}

void RunContext::FileStarted(const std::string& file) {
  current_ = file;
  Notify();
}

void RunContext::FileDone(const std::string& file, FileOutcome outcome, const std::string& reason,
                          std::uint64_t bytes, int files) {
  for (int i = 0; i < files; ++i) {
    report_.files.push_back({file, outcome, reason, i == 0 ? bytes : 0});
  }
  done_ += files;
  // A file no listing announced (a single file, a kept one) still counts.
  if (done_ > known_) known_ = done_;
  Notify();
}

void RunContext::Cancel(CancelCause cause) {
  if (cause_ == CancelCause::kNone) cause_ = cause;
}

bool RunContext::Poll() {
  if (watcher != nullptr) watcher->Waiting(*this);
  return !cancelled();
}

void RunContext::Notify() {
  if (watcher != nullptr) watcher->Changed(*this);
}

}  // namespace zr
