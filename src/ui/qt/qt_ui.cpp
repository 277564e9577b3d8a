#include "ui/qt/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <exception>
#include <utility>

#include "ui/qt/message_view.h"

namespace zr::qt {

QString DisplayText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

Answer ShowQtMessageBox(const MessageBoxRequest& box, QWidget* parent) {
  const QString title =
      box.title.empty() ? QString::fromUtf8(kApplicationTitle) : QString::fromStdString(box.title);
  QMessageBox message(parent);
  message.setWindowTitle(title);
  message.setTextFormat(Qt::PlainText);  // a file name with "<" stays as it is
  message.setText(DisplayText(box.text));
  Answer on_close = Answer::kOk;
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (box.buttons) {
    case Buttons::kOk:
      message.setStandardButtons(QMessageBox::Ok);
      message.setDefaultButton(QMessageBox::Ok);
      break;
    case Buttons::kOkCancel:
      message.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      message.setDefaultButton(QMessageBox::Ok);
      message.setEscapeButton(QMessageBox::Cancel);
      on_close = Answer::kCancel;
      break;
    case Buttons::kYesNo:
      message.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      message.setDefaultButton(box.default_no ? QMessageBox::No : QMessageBox::Yes);
      message.setEscapeButton(QMessageBox::No);
      icon = QMessageBox::Question;
      on_close = Answer::kNo;
      break;
  }
  message.setIcon(box.no_icon ? QMessageBox::NoIcon : icon);
  // The buttons in Italian, as the texts around them, with or without Qt's
  // own translations installed.
  for (const auto& [button, text] :
       {std::pair{QMessageBox::Ok, "OK"}, std::pair{QMessageBox::Cancel, "Annulla"},
        std::pair{QMessageBox::Yes, "&S\u00ec"}, std::pair{QMessageBox::No, "&No"}}) {
    if (QAbstractButton* shown = message.button(button)) shown->setText(QString::fromUtf8(text));
  }
  message.exec();
  QAbstractButton* clicked = message.clickedButton();
  switch (clicked == nullptr ? QMessageBox::NoButton : message.standardButton(clicked)) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    default:
      return on_close;
  }
}

QtUi::QtUi()
    : WindowedUi([](const MessageBoxRequest& box) {
        return ShowQtMessageBox(box, QApplication::activeWindow());
      }),
      end_action_([] { QCoreApplication::exit(0); }) {}

void QtUi::set_message_view(MessageView* view) {
  view_ = view;
  SetMessageSink(view);
}

void QtUi::MarkEnded() {
  if (!SetEnded()) return;
  // Stops the main loop and every nested one (modal boxes, dialogs).
  if (end_action_) end_action_();
}

void QtUi::Beep() { QApplication::beep(); }

void QtUi::Notice(const std::string& text) {
  std::fprintf(stderr, "za-rirevo: %s\n", text.c_str());
}

void QtUi::ProcessPendingInput() {
  ThrowIfEnded();
  // Clicks (STOP) are handled and the window repaints between two files, but
  // not more often than every kInputSliceMs: a look at the input (and the
  // repaint it brings) costs far more than copying a small file, and a user
  // does not tell 25 ms from none.
  if (input_clock_.isValid() && input_clock_.elapsed() < kInputSliceMs) return;
  if (view_ != nullptr) view_->Flush();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  input_clock_.start();
  ThrowIfEnded();
}

bool RunHandler(QtUi& ui, const std::function<void()>& handler) {
  if (ui.ended()) return false;
  try {
    handler();
  } catch (const ProgramEnded&) {
    ui.MarkEnded();
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    return false;
  } catch (const std::exception& error) {
    // An unexpected failure of an operation must not take the program down
    // with the user's work; it is shown and the window goes on.
    MessageBoxRequest box;
    box.text = std::string("Errore imprevisto: ") + error.what();
    box.buttons = Buttons::kOk;
    try {
      ui.ShowMessageBox(box);
    } catch (const ProgramEnded&) {
      return false;
    }
  }
  return !ui.ended();
}

}  // namespace zr::qt
