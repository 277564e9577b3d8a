#include "console_ui.h"

#include <cerrno>

#include "platform/cancel_signals.h"

namespace zr::cli {

namespace {

const char* AnswerText(Answer answer) {
  switch (answer) {
    case Answer::kOk:
      return "OK";
    case Answer::kCancel:
      return "CANCEL";
    case Answer::kYes:
      return "YES";
    case Answer::kNo:
      return "NO";
  }
  return "?";
}

// A text whose line breaks are CR, CR LF or LF CR, with each break as one new line.
std::string WithNewLines(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      result += '\n';
      const char pair = c == '\r' ? '\n' : '\r';
      if (i + 1 < text.size() && text[i + 1] == pair) ++i;
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

ConsoleUi::ConsoleUi(std::FILE* out, bool colour) : out_(out), colour_(colour) {
  max_unanswered_repeats = kMaxUnansweredRepeats;
  on_box = [this](const MessageBoxRequest& box, Answer answer) { Print(FormatBox(box, answer)); };
  on_line = [this](const std::string& text, Color colour, Color) { PrintLine(text, colour); };
  on_notice = [this](const std::string& text) {
    if (before_output) before_output();
    std::fprintf(stderr, "za-rirevo-cli: %s\n", text.c_str());
    if (after_output) after_output();
  };
}

std::string ConsoleUi::FormatBox(const MessageBoxRequest& box, Answer answer) {
  const std::string title = box.title.empty() ? kApplicationTitle : box.title;
  return "[" + title + "]\n" + WithNewLines(box.text) + "\n-> " + AnswerText(answer) + "\n";
}

std::string ConsoleUi::FormatLine(const std::string& text, bool alarm) {
  return (alarm ? "! " : "") + text;
}

std::string ConsoleUi::BrowseForFolder(const std::string& prompt) {
  const std::string folder = ScriptedUi::BrowseForFolder(prompt);
  Print("? " + prompt + "\n-> " + (folder.empty() ? "CANCEL" : folder) + "\n");
  return folder;
}

void ConsoleUi::Beep() {
  ScriptedUi::Beep();
  alarm_pending_ = true;
}

void ConsoleUi::PrintLine(const std::string& text, Color colour) {
  const std::string line = FormatLine(text, alarm_pending_);
  alarm_pending_ = false;
  if (colour_) {
    char start[32];
    std::snprintf(start, sizeof start, "\x1b[38;2;%u;%u;%um", (colour >> 16) & 0xFF,
                  (colour >> 8) & 0xFF, colour & 0xFF);
    Print(start + line + "\x1b[0m\n");
  } else {
    Print(line + "\n");
  }
}

void ConsoleUi::Print(const std::string& text) {
  if (out_ == nullptr || output_closed_) return;
  if (before_output) before_output();
  errno = 0;
  if (std::fputs(text.c_str(), out_) < 0 || std::fflush(out_) != 0) {
    if (IsClosedOutput(errno)) output_closed_ = true;
    std::clearerr(out_);
  }
  if (after_output) after_output();
}

void ConsoleUi::ProcessPendingInput() {
  ScriptedUi::ProcessPendingInput();
  if (on_input) on_input();
}

}  // namespace zr::cli
