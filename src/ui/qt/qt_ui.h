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

#include "ui/windowed_ui.h"

class QWidget;

namespace zr::qt {

class MessageView;

/// The text of a box or label with its carriage returns ("\r", "\r\n") as
/// line breaks.
QString DisplayText(const std::string& text);

/// The real modal message box: exact text and title (empty -> the
/// application title), the buttons asked for, no icon when asked.
Answer ShowQtMessageBox(const MessageBoxRequest& box, QWidget* parent);

class QtUi : public WindowedUi {
 public:
  /// The longest time between two looks at the input while an operation runs.
  static constexpr qint64 kInputSliceMs = 25;

  /// Message boxes are ShowQtMessageBox on the active window until
  /// set_box_handler says otherwise.
  QtUi();

  /// The message area; lines written before it exists are shown once it is set.
  void set_message_view(MessageView* view);

  /// What ending does to the event loops (default: stops them all).
  void set_end_action(std::function<void()> action) { end_action_ = std::move(action); }

  /// Marks the program as ended and stops every event loop.
  void MarkEnded();

  // UserInterface.
  void Beep() override;
  void ProcessPendingInput() override;
  /// On standard error, where a start from a terminal shows it.
  void Notice(const std::string& text) override;

 private:
  MessageView* view_ = nullptr;
  std::function<void()> end_action_;
  // Since the window last processed its input.
  QElapsedTimer input_clock_;
};

/// Runs an event handler of the core: `ProgramEnded` ends the program (all
/// windows close, the event loops stop); any other exception is shown in a
/// box and the window goes on. Returns false when the program has ended.
bool RunHandler(QtUi& ui, const std::function<void()>& handler);

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_QT_UI_H_
