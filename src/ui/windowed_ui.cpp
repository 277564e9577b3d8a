#include "ui/windowed_ui.h"

namespace zr {

WindowedUi::WindowedUi(BoxHandler real_boxes)
    : box_handler_(std::move(real_boxes)),
      folder_picker_([](const std::string&) { return std::string(); }) {}

void WindowedUi::SetMessageSink(MessageSink* sink) {
  sink_ = sink;
  if (sink_ == nullptr) return;
  for (const auto& [text, colour] : pending_lines_) sink_->AppendLine(text, colour);
  pending_lines_.clear();
  sink_->SetBackground(pending_background_);
}

bool WindowedUi::SetEnded() {
  if (ended_) return false;
  ended_ = true;
  return true;
}

void WindowedUi::ThrowIfEnded() const {
  if (ended_) throw ProgramEnded();
}

Answer WindowedUi::ShowMessageBox(const MessageBoxRequest& box) {
  ThrowIfEnded();
  const Answer answer = box_handler_(box);
  ThrowIfEnded();
  return answer;
}

std::string WindowedUi::BrowseForFolder(const std::string& prompt) {
  ThrowIfEnded();
  std::string folder = folder_picker_(prompt);
  ThrowIfEnded();
  return folder;
}

void WindowedUi::AppendMessageLine(const std::string& text, Color text_color) {
  if (sink_ != nullptr) {
    sink_->AppendLine(text, text_color);
  } else {
    pending_lines_.emplace_back(text, text_color);
  }
}

void WindowedUi::SetMessageBackground(Color background) {
  if (sink_ != nullptr) {
    sink_->SetBackground(background);
  } else {
    pending_background_ = background;
  }
}

void WindowedUi::ReopenMenu(const std::vector<std::string>& path) {
  if (reopen_) reopen_(path);
}

void WindowedUi::StateChanged() {
  if (state_listener_) state_listener_();
}

}  // namespace zr
