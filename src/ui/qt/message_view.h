// The message area `RigaCom1`: a read-only rich-text box to which coloured
// lines are only ever appended, with a background colour that signals alarms.
//
// Contract: each line goes at the very end of the text in its own colour,
// whatever the user clicked or selected before; the view then scrolls to the
// last line. Nothing clears it.
#ifndef ZARIREVO_UI_QT_MESSAGE_VIEW_H_
#define ZARIREVO_UI_QT_MESSAGE_VIEW_H_

#include <QTextEdit>
#include <string>

#include "ui/user_interface.h"

namespace zr::qt {

QColor ToQColor(Color colour);
Color FromQColor(const QColor& colour);

class MessageView : public QTextEdit {
  Q_OBJECT

 public:
  explicit MessageView(QWidget* parent = nullptr);

  /// Appends `text` as one line in `colour`, then shows the last line.
  void AppendLine(const std::string& text, Color colour);
  /// Sets the area's background colour.
  void SetBackground(Color background);
  Color background() const { return background_; }

 private:
  Color background_ = kBackgroundNormal;
  bool first_line_ = true;
};

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_MESSAGE_VIEW_H_
