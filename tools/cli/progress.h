// The progress display and the closing summary of za-rirevo-cli.
//
// ConsoleProgress is the program's progress observer during a command: it
// counts what the operations report (files known, done, entered in the
// archive only, failed, bytes) and, when shown, keeps one line on standard
// error up to date: "files done/known, bytes, elapsed, current file". The
// line is drawn again in place ("\r", clear to the end of the line); its
// figures change at most ten times a second. The message-area lines and boxes
// printed on the same terminal clear it first and show it again after
// (Hide/Show). Finish leaves its last state on its own line.
#ifndef ZARIREVO_TOOLS_CLI_PROGRESS_H_
#define ZARIREVO_TOOLS_CLI_PROGRESS_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "app/program_state.h"

namespace zr::cli {

/// The figures of a command, for the summary.
struct Figures {
  int known = 0;
  int done = 0;    // copied, filed or erased
  int listed = 0;  // entered in the archive only
  int failed = 0;
  std::uint64_t bytes = 0;
  std::string archive;  // the archive made, "" when none
  std::uint64_t archive_bytes = 0;
  double seconds = 0;
};

class ConsoleProgress : public ProgressObserver {
 public:
  /// Draws on `out` when `shown`; `size_of` gives a file's size in bytes (0
  /// when it cannot be read), `now` the seconds of a steady clock.
  ConsoleProgress(std::FILE* out, bool shown,
                  std::function<std::uint64_t(const std::string&)> size_of,
                  std::function<double()> now);

  void FilesKnown(int count) override;
  void FileStarted(const std::string& file) override;
  void FileDone(const std::string& file, const std::string& written, Done how, int files) override;

  /// Clears the line before other output on the terminal / draws it again after.
  void Hide();
  void Show();
  /// Draws the last state and ends its line (when it was ever drawn).
  void Finish();

  Figures& figures() { return figures_; }
  /// The progress text for the current figures.
  std::string Text() const;

 private:
  void Update(bool force);
  void Draw();

  std::FILE* out_;
  bool shown_;
  std::function<std::uint64_t(const std::string&)> size_of_;
  std::function<double()> now_;
  double start_;
  double last_update_ = -1;
  bool visible_ = false;  // the line is on the terminal now
  bool drawn_ = false;    // it was drawn at least once
  std::string text_;      // what was drawn last
  std::string current_;
  std::uint64_t pending_bytes_ = 0;
  Figures figures_;
};

/// "1.2 MB", "512 B".
std::string BytesText(std::uint64_t bytes);
/// The summary lines of `command` ("backup", "server-copy", "erase").
std::string SummaryText(const std::string& command, const Figures& figures);
/// The summary as one JSON object on one line.
std::string SummaryJson(const std::string& command, int exit_code, const Figures& figures);

}  // namespace zr::cli

#endif  // ZARIREVO_TOOLS_CLI_PROGRESS_H_
