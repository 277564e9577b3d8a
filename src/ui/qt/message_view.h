// The message area `RigaCom1`: a read-only text box to which coloured lines
// are only ever appended, with a background colour that signals alarms. It is
// a plain-text view with a colour per line: its layout takes a new line in
// constant time, where a rich-text layout slows down as a backup's tens of
// thousands of lines pile up.
//
// Contract: each line goes at the very end of the text in its own colour,
// whatever the user clicked or selected before; the view then scrolls to the
// last line. Nothing clears it. The background colour is the area's own: the
// scroll bars keep the desktop's colours.
#ifndef ZARIREVO_UI_QT_MESSAGE_VIEW_H_
#define ZARIREVO_UI_QT_MESSAGE_VIEW_H_

#include <QPlainTextEdit>
#include <QTextCursor>
#include <string>

#include "platform/user_interface.h"
#include "ui/windowed_ui.h"

namespace zr::qt {

QColor ToQColor(Color colour);
Color FromQColor(const QColor& colour);

class MessageView : public QPlainTextEdit, public MessageSink {
  Q_OBJECT

 public:
  explicit MessageView(QWidget* parent = nullptr);
  ~MessageView() override;

  /// Appends `text` as one line in `colour`, then shows the last line.
  void AppendLine(const std::string& text, Color colour) override;
  /// Sets the area's background colour.
  void SetBackground(Color background) override;
  Color background() const { return background_; }
  /// Lays out the lines appended since the last call and shows the last one.
  /// Runs by itself as soon as the window processes its events.
  void Flush();

 private:
  Color background_ = kBackgroundNormal;
  bool palette_set_ = false;
  bool first_line_ = true;
  bool in_burst_ = false;
  QTextCursor burst_;  // at the end of the text while a burst is open
};

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_MESSAGE_VIEW_H_
