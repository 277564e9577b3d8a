#include "ui/qt/launcher_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

#include "app/startup.h"
#include "ui/base_form.h"

namespace zr::qt {

LauncherWindow::LauncherWindow(Program& program, QtUi& ui, std::function<QWidget*()> make_main,
                               QWidget* parent)
    : QDialog(parent), program_(program), ui_(ui), make_main_(std::move(make_main)) {
  setObjectName(QStringLiteral("BackupBotton"));
  setWindowTitle(QString::fromUtf8(kLauncherTitle));
  auto* layout = new QHBoxLayout(this);
  software_ = new QPushButton(this);
  software_->setObjectName(QStringLiteral("Software_B"));
  software_->setAutoDefault(false);
  software_->setMinimumSize(150, 90);
  backup_ = new QPushButton(this);
  backup_->setObjectName(QStringLiteral("Backup"));
  backup_->setDefault(true);
  backup_->setMinimumSize(150, 90);
  QFont big = backup_->font();
  big.setPointSize(big.pointSize() + 3);
  big.setBold(true);
  backup_->setFont(big);
  software_->setFont(big);
  // The captions are the product's name and the program's version, which do
  // not say what a click does: the tooltips and accessible names do.
  software_->setToolTip(
      QStringLiteral("Il prodotto di cui fare il backup: un clic passa al "
                     "prossimo prodotto installato"));
  software_->setAccessibleName(QStringLiteral("Prodotto"));
  backup_->setToolTip(
      QStringLiteral("Apre la finestra del backup per il prodotto mostrato "
                     "accanto (Invio)"));
  backup_->setAccessibleName(QStringLiteral("Backup"));
  auto* product_column = new QVBoxLayout();
  auto* backup_column = new QVBoxLayout();
  for (auto [column, button, text] : {std::tuple{product_column, software_, "Prodotto"},
                                      std::tuple{backup_column, backup_, "Backup"}}) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setAlignment(Qt::AlignHCenter);
    label->setBuddy(button);
    column->addWidget(label);
    column->addWidget(button);
    layout->addLayout(column);
  }
  connect(software_, &QPushButton::clicked, this, [this] {
    RunHandler(ui_, [this] { LauncherSoftwareClick(program_); });
    Refresh();
  });
  connect(backup_, &QPushButton::clicked, this, [this] { BackupClicked(); });
  Refresh();
}

void LauncherWindow::Refresh() {
  software_->setText(DisplayText(program_.launcher.Software_B.caption).replace('&', "&&"));
  software_->setEnabled(program_.launcher.Software_B.enabled);
  backup_->setText(DisplayText(program_.launcher.Backup.caption).replace('&', "&&"));
  backup_->setEnabled(program_.launcher.Backup.enabled);
}

void LauncherWindow::BackupClicked() {
  QWidget* main_window = nullptr;
  const bool alive = RunHandler(ui_, [this, &main_window] {
    OpenMainWindow(program_, [this, &main_window] {
      handed_over_ = true;
      if (make_main_) main_window = make_main_();
    });
  });
  if (!alive) return;
  // The window's load has run before it is shown, as for any form.
  if (main_window != nullptr) main_window->show();
  hide();
  deleteLater();
}

void LauncherWindow::closeEvent(QCloseEvent* event) {
  // The close box ends the program without saving, as for the main window.
  if (!handed_over_) ui_.MarkEnded();
  event->accept();
}

void LauncherWindow::reject() {
  // Escape on a dialog would only hide it and leave the program running.
  close();
}

}  // namespace zr::qt
