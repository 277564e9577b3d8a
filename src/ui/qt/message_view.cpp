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

namespace {

constexpr const char* kScrollBarStyle =
    "QScrollBar { background: #f0f0f0; border: 1px solid #c8c8c8; }"
    "QScrollBar:vertical { width: 14px; margin: 0; }"
    "QScrollBar:horizontal { height: 14px; margin: 0; }"
    "QScrollBar::handle { background: #8a8a8a; border-radius: 4px; margin: 2px; }"
    "QScrollBar::handle:hover { background: #6e6e6e; }"
    "QScrollBar::handle:vertical { min-height: 24px; }"
    "QScrollBar::handle:horizontal { min-width: 24px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: none; }";

}  // namespace

MessageView::MessageView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setUndoRedoEnabled(false);
  // The desktop's style (Fusion) draws a scroll bar's thumb white and its
  // groove light grey: beside the grey area a large thumb (a list a little
  // longer than the view) read as the groove and the groove as the thumb, so
  // the list seemed to scroll the wrong way. Here the thumb is dark on a
  // light groove, as most desktops draw it.
  for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
    bar->setStyleSheet(QString::fromLatin1(kScrollBarStyle));
  }
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
