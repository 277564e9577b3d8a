#include "ui/qt/help_window.h"

#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

#include "ui/qt/qt_ui.h"

namespace zr::qt {

namespace {

// Where the drives and the archiver are on Linux; the notes above speak of
// the Windows installation.
constexpr const char* kLinuxNote =
    "Su Linux (pacchetto za-rirevo) le unit\u00e0 A:, C:, S: ... sono cartelle di questo "
    "computer, indicate nella variabile d'ambiente ZARIREVO_DRIVES, per esempio "
    "A=/media/floppy;C=/mnt/c;S=/mnt/server (senza di essa C: \u00e8 la radice / e non ci "
    "sono altre unit\u00e0). Il programma si avvia con: za-rirevo '/Fc:\\kyconfig\\system'. "
    "L'archiviatore del pacchetto \u00e8 /usr/lib/za-rirevo/PkZip25.EXE: mappare quella "
    "cartella come unit\u00e0 (T=/usr/lib/za-rirevo) e indicare in Za-Rirevo.ini "
    "ZIPFILE=T:\\PkZip25. Dettagli: man za-rirevo.";

constexpr int kCloseMargin = 8;  // pixels around the close button

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
  linux_ = new QLabel(QString::fromUtf8(kLinuxNote), this);
  linux_->setObjectName(QStringLiteral("NoteLinux_L"));
  linux_->setTextFormat(Qt::PlainText);
  linux_->setWordWrap(true);
  linux_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  linux_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  close_ = new QPushButton(QStringLiteral("Chiudi"), this);
  close_->setObjectName(QStringLiteral("Chiudi_B"));
  close_->setDefault(true);
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  for (const QKeySequence& key :
       {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
  }
  resize(TwipsToPixels(9600, dpi()), TwipsToPixels(10200, dpi()));
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
  // The Linux note under the last one, as tall as its text; the close button
  // in the bottom right corner.
  const QRect last = notes_[kHelpNoteCount - 1]->geometry();
  const int top = last.bottom() + 1 + TwipsToPixels(kHelpGap, resolution);
  linux_->setGeometry(last.left(), top, last.width(),
                      last.width() > 0 ? linux_->heightForWidth(last.width()) : 0);
  const QSize button = close_->sizeHint();
  close_->setGeometry(width() - button.width() - kCloseMargin,
                      height() - button.height() - kCloseMargin, button.width(), button.height());
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyLayout();
}

}  // namespace zr::qt
