// The console user interface of za-rirevo-cli: the scripted interface (answers
// and picked folders from queues, everything recorded) that also prints what a
// window would show. A message box is printed as a block: "[TITLE]" (the
// application title when the box has none), its text with the carriage-return
// breaks as new lines, and "-> ANSWER". A message-area line is printed as its
// text, in 24-bit ANSI colour when colours are on, preceded by "! " when it is
// an alarm line. The same box shown a fifth time again with no answer left
// throws ScriptedUi::BoxLoop instead of repeating for ever. A write that
// finds its reader gone (EPIPE) is noted and printing stops.
#ifndef ZARIREVO_TOOLS_CLI_CONSOLE_UI_H_
#define ZARIREVO_TOOLS_CLI_CONSOLE_UI_H_

#include <cstdio>
#include <functional>
#include <string>

#include "ui/scripted_ui.h"

namespace zr::cli {

/// Repetitions of one box with no answer left before the command is ended.
inline constexpr int kMaxUnansweredRepeats = 5;

class ConsoleUi : public ScriptedUi {
 public:
  /// Prints to `out` (nowhere when null); `colour` switches the ANSI
  /// colours of the lines on.
  ConsoleUi(std::FILE* out, bool colour);

  void ProcessPendingInput() override;
  /// Called each time the program takes its pending input (signals are read there).
  std::function<void()> on_input;
  /// A write failed because the reader of the output is gone (a closed pipe).
  bool output_closed() const { return output_closed_; }

  std::string BrowseForFolder(const std::string& prompt) override;
  void Beep() override;

  /// Called before and after anything is printed (the progress line steps aside).
  std::function<void()> before_output;
  std::function<void()> after_output;

  /// The box block as printed (for tests).
  static std::string FormatBox(const MessageBoxRequest& box, Answer answer);
  /// The line as printed, without colour (for tests).
  static std::string FormatLine(const std::string& text, bool alarm);

 private:
  void PrintLine(const std::string& text, Color colour);
  void Print(const std::string& text);

  std::FILE* out_;
  bool colour_;
  bool alarm_pending_ = false;
  bool output_closed_ = false;  // a beep came since the last line: the next line is an alarm
};

}  // namespace zr::cli

#endif  // ZARIREVO_TOOLS_CLI_CONSOLE_UI_H_
