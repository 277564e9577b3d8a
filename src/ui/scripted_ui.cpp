#include "ui/scripted_ui.h"

namespace zr {

void ScriptedUi::OnNthInput(int nth, std::function<void()> action) {
  trigger_at_ = input_count_ + nth;
  trigger_ = std::move(action);
}

Answer ScriptedUi::ShowMessageBox(const MessageBoxRequest& box) {
  Answer answer = Answer::kOk;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
    unanswered_repeats_ = 0;
  } else {
    switch (box.buttons) {
      case Buttons::kOk: answer = Answer::kOk; break;
      case Buttons::kOkCancel: answer = Answer::kCancel; break;
      case Buttons::kYesNo: answer = Answer::kNo; break;
    }
    const bool same = !boxes_.empty() && boxes_.back().request.text == box.text &&
                      boxes_.back().request.title == box.title;
    unanswered_repeats_ = same ? unanswered_repeats_ + 1 : 0;
  }
  boxes_.push_back({box, answer});
  if (on_box) on_box(box, answer);
  if (max_unanswered_repeats > 0 && unanswered_repeats_ >= max_unanswered_repeats) {
    throw BoxLoop();
  }
  return answer;
}

std::string ScriptedUi::BrowseForFolder(const std::string& prompt) {
  prompts_.push_back(prompt);
  if (picks_.empty()) return {};
  std::string pick = picks_.front();
  picks_.pop_front();
  return pick;
}

void ScriptedUi::AppendMessageLine(const std::string& text, Color text_color) {
  lines_.push_back({text, text_color, background_});
  if (on_line) on_line(text, text_color, background_);
}

void ScriptedUi::ProcessPendingInput() {
  ++input_count_;
  if (trigger_ && input_count_ == trigger_at_) {
    auto action = std::move(trigger_);
    trigger_ = nullptr;
    action();
  }
}

}  // namespace zr
