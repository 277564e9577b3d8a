// A user interface driven by a script, for tests and the console front-end.
// Message boxes and the folder picker take their answers from queues; with an
// empty queue an OK box answers OK, OK/Cancel answers Cancel, Yes/No answers
// No and the picker cancels, so nothing destructive happens unasked. Every
// box and every message-area line is recorded. STOP can be pressed (a
// callback runs) when the window processes input for the Nth time.
#ifndef ZARIREVO_UI_SCRIPTED_UI_H_
#define ZARIREVO_UI_SCRIPTED_UI_H_

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace zr {

class ScriptedUi : public UserInterface {
 public:
  struct Box {
    MessageBoxRequest request;
    Answer answer;
  };
  struct Line {
    std::string text;
    Color color;
    Color background;  // the area's background after the line
  };

  // Script.
  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  void QueuePick(const std::string& folder) { picks_.push_back(folder); }
  /// Runs `action` when pending input is processed for the `nth` time
  /// (counted from 1, from now on).
  void OnNthInput(int nth, std::function<void()> action);
  /// Called for every box before it is answered (the console prints it).
  std::function<void(const MessageBoxRequest&, Answer)> on_box;
  /// Called for every line (the console prints it).
  std::function<void(const std::string& text, Color color, Color background)> on_line;
  /// Called for every notice (the console prints it on standard error).
  std::function<void(const std::string& text)> on_notice;
  /// After this many repetitions of the same box with no scripted answer
  /// left, `EndProgram`-like abort: throws BoxLoop (0 = never).
  int max_unanswered_repeats = 0;
  struct BoxLoop : std::exception {
    const char* what() const noexcept override { return "message box repeated with no answer"; }
  };

  // Records.
  const std::vector<Box>& boxes() const { return boxes_; }
  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<std::string>& prompts() const { return prompts_; }
  const std::vector<std::string>& notices() const { return notices_; }
  /// The menu paths opened again, each from the bar down.
  const std::vector<std::vector<std::string>>& reopened_menus() const { return reopened_; }
  Color background() const { return background_; }
  int beeps() const { return beeps_; }
  int input_count() const { return input_count_; }

  // UserInterface.
  Answer ShowMessageBox(const MessageBoxRequest& box) override;
  std::string BrowseForFolder(const std::string& prompt) override;
  void AppendMessageLine(const std::string& text, Color text_color) override;
  void SetMessageBackground(Color background) override { background_ = background; }
  void Beep() override { ++beeps_; }
  void ProcessPendingInput() override;
  void ReopenMenu(const std::vector<std::string>& path) override { reopened_.push_back(path); }
  void Notice(const std::string& text) override {
    notices_.push_back(text);
    if (on_notice) on_notice(text);
  }

 private:
  std::deque<Answer> answers_;
  std::deque<std::string> picks_;
  std::vector<Box> boxes_;
  std::vector<Line> lines_;
  std::vector<std::string> prompts_;
  std::vector<std::string> notices_;
  std::vector<std::vector<std::string>> reopened_;
  Color background_ = kBackgroundNormal;
  int beeps_ = 0;
  int input_count_ = 0;
  int trigger_at_ = 0;
  std::function<void()> trigger_;
  int unanswered_repeats_ = 0;
};

}  // namespace zr

#endif  // ZARIREVO_UI_SCRIPTED_UI_H_
