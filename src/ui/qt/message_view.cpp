#include "ui/qt/message_view.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>

namespace zr::qt {

QColor ToQColor(Color colour) {
  return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

Color FromQColor(const QColor& colour) {
  return Rgb(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
             static_cast<unsigned>(colour.blue()));
}

MessageView::MessageView(QWidget* parent) : QTextEdit(parent) {
  setReadOnly(true);
  setAcceptRichText(false);
  setLineWrapMode(QTextEdit::NoWrap);
  setUndoRedoEnabled(false);
  SetBackground(kBackgroundNormal);
}

void MessageView::AppendLine(const std::string& text, Color colour) {
  // A separate cursor, so the user's selection or caret never decides where
  // the line goes.
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setForeground(ToQColor(colour));
  if (!first_line_) cursor.insertBlock();
  first_line_ = false;
  cursor.insertText(QString::fromStdString(text), format);
  // Show the new line at once and keep it in view.
  setTextCursor(cursor);
  ensureCursorVisible();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  horizontalScrollBar()->setValue(0);
}

void MessageView::SetBackground(Color background) {
  background_ = background;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(background));
  setPalette(pal);
}

}  // namespace zr::qt
