#include "progress.h"

#include <cstdio>

#include "platform/console.h"

namespace zr::cli {

namespace {

constexpr double kMinInterval = 0.1;  // at most ten updates a second
constexpr std::size_t kMaxFileShown = 48;

}  // namespace

ConsoleProgress::ConsoleProgress(std::FILE* out, bool shown, std::function<double()> now)
    : out_(out), shown_(shown), now_(std::move(now)), start_(now_()), stage_start_(start_) {}

void ConsoleProgress::Changed(const RunContext& run) {
  if (run.stage() != stage_) {
    stage_ = run.stage();
    stage_start_ = now_();
  }
  Update(run, false);
}

void ConsoleProgress::Waiting(const RunContext& run) { Changed(run); }

std::string ConsoleProgress::Text(const RunContext& run) const {
  std::string text = std::to_string(run.done()) + "/" + std::to_string(run.known()) + " files, " +
                     BytesText(run.report().Bytes()) + ", " + ClockText(now_() - start_);
  if (run.stage() == Stage::kArchiving) {
    text += "  " + std::string(StageWord(run.stage())) + " " + ClockText(now_() - stage_start_);
  }
  if (!run.current().empty()) {
    std::string file = run.current();
    if (file.size() > kMaxFileShown) file = "..." + file.substr(file.size() - kMaxFileShown + 3);
    text += "  " + file;
  }
  return text;
}

void ConsoleProgress::Update(const RunContext& run, bool force) {
  if (!shown_) return;
  const double now = now_();
  if (!force && last_update_ >= 0 && now - last_update_ < kMinInterval) return;
  last_update_ = now;
  text_ = Text(run);
  Draw();
}

std::string FitToColumns(const std::string& text, int columns) {
  if (columns <= 1) return text;
  // The last column stays free: a terminal that wraps there would start a
  // new line for every update.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (++characters == static_cast<std::size_t>(columns)) return text.substr(0, i);
  }
  return text;
}

void ConsoleProgress::Draw() {
  // Cut to the terminal's width, read at each drawing (it may be resized).
  std::fprintf(out_, "\r\x1b[K%s", FitToColumns(text_, TerminalColumns(out_)).c_str());
  std::fflush(out_);
  visible_ = true;
  drawn_ = true;
}

void ConsoleProgress::Hide() {
  if (!visible_) return;
  std::fputs("\r\x1b[K", out_);
  std::fflush(out_);
  visible_ = false;
}

void ConsoleProgress::Show() {
  if (shown_ && drawn_ && !visible_) Draw();
}

void ConsoleProgress::Finish(const RunContext& run) {
  if (!shown_ || !drawn_) return;
  text_ = Text(run);
  Draw();
  std::fputs("\n", out_);
  std::fflush(out_);
  visible_ = false;
  shown_ = false;
}

}  // namespace zr::cli
