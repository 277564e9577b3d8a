#include "progress.h"

#include <cstdio>

namespace zr::cli {

namespace {

constexpr double kMinInterval = 0.1;  // at most ten updates a second
constexpr std::size_t kMaxFileShown = 48;

std::string Seconds(double seconds) {
  char text[32];
  const long whole = static_cast<long>(seconds);
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

std::string JsonString(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      result += '\\';
      result += c;
    } else if (code < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
      result += escaped;
    } else {
      result += c;
    }
  }
  return result + "\"";
}

// What the done files are, by command.
const char* DoneWord(const std::string& command) {
  if (command == "erase") return "erased";
  if (command == "server-copy") return "filed";
  return "copied";
}

}  // namespace

ConsoleProgress::ConsoleProgress(std::FILE* out, bool shown,
                                 std::function<std::uint64_t(const std::string&)> size_of,
                                 std::function<double()> now)
    : out_(out),
      shown_(shown),
      size_of_(std::move(size_of)),
      now_(std::move(now)),
      start_(now_()) {}

void ConsoleProgress::FilesKnown(int count) {
  figures_.known += count;
  Update(false);
}

void ConsoleProgress::FileStarted(const std::string& file) {
  current_ = file;
  pending_bytes_ = size_of_(file);
  Update(false);
}

void ConsoleProgress::FileDone(const std::string& file, const std::string& written, Done how,
                               int files) {
  switch (how) {
    case Done::kCopied:
      figures_.done += files;
      break;
    case Done::kListed:
      figures_.listed += files;
      break;
    case Done::kFailed:
      figures_.failed += files;
      break;
  }
  if (how != Done::kFailed) {
    const std::uint64_t written_bytes = written.empty() ? 0 : size_of_(written);
    figures_.bytes += written_bytes != 0 ? written_bytes : (file == current_ ? pending_bytes_ : 0);
  }
  pending_bytes_ = 0;
  Update(false);
}

std::string ConsoleProgress::Text() const {
  const int finished = figures_.done + figures_.listed + figures_.failed;
  std::string text = std::to_string(finished) + "/" + std::to_string(figures_.known) + " files, " +
                     BytesText(figures_.bytes) + ", " + Seconds(now_() - start_);
  if (!current_.empty()) {
    std::string file = current_;
    if (file.size() > kMaxFileShown) file = "..." + file.substr(file.size() - kMaxFileShown + 3);
    text += "  " + file;
  }
  return text;
}

void ConsoleProgress::Update(bool force) {
  if (!shown_) return;
  const double now = now_();
  if (!force && last_update_ >= 0 && now - last_update_ < kMinInterval) return;
  last_update_ = now;
  text_ = Text();
  Draw();
}

void ConsoleProgress::Draw() {
  std::fprintf(out_, "\r\x1b[K%s", text_.c_str());
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

void ConsoleProgress::Finish() {
  figures_.seconds = now_() - start_;
  if (!shown_ || !drawn_) return;
  current_.clear();
  Update(true);
  std::fputs("\n", out_);
  std::fflush(out_);
  visible_ = false;
  shown_ = false;
}

std::string BytesText(std::uint64_t bytes) {
  const char* units[] = {"B", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
  } else {
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  }
  return text;
}

std::string SummaryText(const std::string& command, const Figures& figures) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", figures.seconds);
  std::string text = "Files " + std::string(DoneWord(command)) + ": " +
                     std::to_string(figures.done) + " (" + BytesText(figures.bytes) + ")\n";
  if (command == "backup") {
    text += "Files entered in the archive only: " + std::to_string(figures.listed) + "\n";
  }
  text += "Files failed: " + std::to_string(figures.failed) + "\n";
  if (command == "backup") {
    text += "Archive: " +
            (figures.archive.empty()
                 ? std::string("none")
                 : figures.archive + " (" + BytesText(figures.archive_bytes) + ")") +
            "\n";
  }
  return text + "Time: " + seconds + "\n";
}

std::string SummaryJson(const std::string& command, int exit_code, const Figures& figures) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", figures.seconds);
  std::string json =
      "{\"command\":" + JsonString(command) + ",\"exit_code\":" + std::to_string(exit_code) +
      ",\"files_known\":" + std::to_string(figures.known) + ",\"files_" + DoneWord(command) +
      "\":" + std::to_string(figures.done) +
      ",\"files_archive_only\":" + std::to_string(figures.listed) +
      ",\"files_failed\":" + std::to_string(figures.failed) +
      ",\"bytes\":" + std::to_string(figures.bytes) +
      ",\"archive\":" + (figures.archive.empty() ? "null" : JsonString(figures.archive)) +
      ",\"archive_bytes\":" + std::to_string(figures.archive_bytes) + ",\"seconds\":" + seconds +
      "}";
  return json + "\n";
}

}  // namespace zr::cli
