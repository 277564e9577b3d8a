#include "ui/qt/help_window.h"

#include <QFont>
#include <QLabel>
#include <QResizeEvent>

#include "ui/qt/qt_ui.h"

namespace zr::qt {

namespace {

QRect ToPixels(const LabelBox& box, double dpi) {
  return QRect(TwipsToPixels(box.left, dpi), TwipsToPixels(box.top, dpi),
               TwipsToPixels(box.width, dpi), TwipsToPixels(box.height, dpi));
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpForm"));
  setWindowTitle(QString::fromUtf8(kHelpCaption));
  title_ = new QLabel(QString::fromUtf8(kHelpTitle), this);
  title_->setObjectName(QStringLiteral("TitoloHelp_L"));
  QFont title_font(QStringLiteral("Arial"));
  title_font.setPointSize(14);
  title_font.setBold(true);
  title_->setFont(title_font);
  title_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  for (int i = 0; i < kHelpNoteCount; ++i) {
    notes_[i] = new QLabel(DisplayText(HelpNotes()[i]), this);
    notes_[i]->setObjectName(QStringLiteral("NoteInstallazione_L%1").arg(i));
    notes_[i]->setTextFormat(Qt::PlainText);
    notes_[i]->setWordWrap(true);
    notes_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  QFont heading = notes_[0]->font();
  heading.setBold(true);
  notes_[0]->setFont(heading);
  resize(TwipsToPixels(9600, dpi()), TwipsToPixels(9000, dpi()));
}

double HelpWindow::dpi() const { return dpi_override_ > 0 ? dpi_override_ : logicalDpiX(); }

void HelpWindow::ApplyLayout() {
  const double resolution = dpi();
  // The title and label 0 keep their own (one-line) heights; the others are
  // fixed by the rule. A label clips what does not fit.
  const int title_height = PixelsToTwips(title_->sizeHint().height(), resolution);
  const int note0_height = PixelsToTwips(notes_[0]->sizeHint().height(), resolution);
  layout_ = LayoutHelpForm(PixelsToTwips(width(), resolution), title_height, note0_height);
  title_->setGeometry(ToPixels(layout_.title, resolution));
  for (int i = 0; i < kHelpNoteCount; ++i) {
    notes_[i]->setGeometry(ToPixels(layout_.notes[i], resolution));
  }
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyLayout();
}

}  // namespace zr::qt
