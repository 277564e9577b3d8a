// The user interface of the windows: message boxes, the folder picker, the
// message area, the beep, processing pending input and re-opening menus, over
// Qt Widgets.
//
// Contract: QtUi only shows what the core asks for. The folder picker and the
// message boxes are injectable (tests answer them without a modal loop).
// Once the program has ended (`ProgramEnded` caught by `RunHandler`), every
// later request that would wait for the user throws `ProgramEnded` again, so
// a handler that is still running unwinds instead of carrying on.
#ifndef ZARIREVO_UI_QT_QT_UI_H_
#define ZARIREVO_UI_QT_QT_UI_H_

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

class QWidget;

namespace zr::qt {

class MessageView;

/// The text of a box or label with its carriage returns ("\r", "\r\n") as
/// line breaks.
QString DisplayText(const std::string& text);

/// The real modal message box: exact text and title (empty -> the
/// application title), the buttons asked for, no icon when asked.
Answer ShowQtMessageBox(const MessageBoxRequest& box, QWidget* parent);

class QtUi : public UserInterface {
 public:
  /// The longest time between two looks at the input while an operation runs.
  static constexpr qint64 kInputSliceMs = 25;

  using BoxHandler = std::function<Answer(const MessageBoxRequest&)>;
  using FolderPicker = std::function<std::string(const std::string& prompt)>;

  QtUi();

  /// Where message boxes come from (default: ShowQtMessageBox on the active window).
  void set_box_handler(BoxHandler handler) { box_handler_ = std::move(handler); }
  /// The folder picker (default: cancels).
  void set_folder_picker(FolderPicker picker) { folder_picker_ = std::move(picker); }
  /// The message area; lines written before it exists are shown once it is set.
  void set_message_view(MessageView* view);
  /// Re-opens the menu path for the given access keys ("%TF").
  void set_menu_reopener(std::function<void(const std::string&)> reopen) {
    reopen_ = std::move(reopen);
  }
  /// Called when control states changed.
  void set_state_listener(std::function<void()> listener) { state_listener_ = std::move(listener); }

  /// What ending does to the event loops (default: stops them all).
  void set_end_action(std::function<void()> action) { end_action_ = std::move(action); }

  bool ended() const { return ended_; }
  /// Marks the program as ended and stops every event loop.
  void MarkEnded();

  // UserInterface.
  Answer ShowMessageBox(const MessageBoxRequest& box) override;
  std::string BrowseForFolder(const std::string& prompt) override;
  void AppendMessageLine(const std::string& text, Color text_color) override;
  void SetMessageBackground(Color background) override;
  void Beep() override;
  void ProcessPendingInput() override;
  void ReopenMenu(const std::string& keys) override;
  void StateChanged() override;

 private:
  void ThrowIfEnded() const;

  BoxHandler box_handler_;
  FolderPicker folder_picker_;
  MessageView* view_ = nullptr;
  std::function<void(const std::string&)> reopen_;
  std::function<void()> state_listener_;
  std::function<void()> end_action_;
  bool ended_ = false;
  // Since the window last processed its input.
  QElapsedTimer input_clock_;
  // Lines and background written before the message area exists.
  std::vector<std::pair<std::string, Color>> pending_lines_;
  Color pending_background_ = kBackgroundNormal;
};

/// Runs an event handler of the core: `ProgramEnded` ends the program (all
/// windows close, the event loops stop); any other exception is shown in a
/// box and the window goes on. Returns false when the program has ended.
bool RunHandler(QtUi& ui, const std::function<void()>& handler);

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_QT_UI_H_
