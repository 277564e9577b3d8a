#include "ui/qt/message_view.h"

#include <QPalette>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

namespace zr::qt {

QColor ToQColor(Color colour) {
  return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

Color FromQColor(const QColor& colour) {
  return Rgb(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
             static_cast<unsigned>(colour.blue()));
}

MessageView::MessageView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setUndoRedoEnabled(false);
  SetBackground(kBackgroundNormal);
}

MessageView::~MessageView() { Flush(); }

void MessageView::AppendLine(const std::string& text, Color colour) {
  // The lines of one burst (all those written before the window next looks
  // at its events) go in through one edit block of a cursor of their own: the
  // user's selection or caret never decides where a line goes, and the text
  // is laid out and scrolled once per burst instead of once per line.
  if (!in_burst_) {
    in_burst_ = true;
    burst_ = QTextCursor(document());
    burst_.movePosition(QTextCursor::End);
    burst_.beginEditBlock();
    QTimer::singleShot(0, this, [this] { Flush(); });
  }
  QTextCharFormat format;
  format.setForeground(ToQColor(colour));
  if (!first_line_) burst_.insertBlock(QTextBlockFormat(), format);
  first_line_ = false;
  burst_.insertText(QString::fromStdString(text), format);
}

void MessageView::Flush() {
  if (!in_burst_) return;
  in_burst_ = false;
  burst_.endEditBlock();
  burst_ = QTextCursor();
  // The last line in view.
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  horizontalScrollBar()->setValue(0);
}

void MessageView::SetBackground(Color background) {
  if (background == background_ && palette_set_) return;
  palette_set_ = true;
  background_ = background;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(background));
  setPalette(pal);
}

}  // namespace zr::qt
