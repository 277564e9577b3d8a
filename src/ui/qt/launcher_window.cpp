#include "ui/qt/launcher_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>

#include "app/startup.h"

namespace zr::qt {

LauncherWindow::LauncherWindow(Program& program, QtUi& ui, std::function<void()> open_main,
                               QWidget* parent)
    : QDialog(parent), program_(program), ui_(ui), open_main_(std::move(open_main)) {
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
  layout->addWidget(software_);
  layout->addWidget(backup_);
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
  if (!RunHandler(ui_, [this] { LauncherBackupClick(program_); })) return;
  handed_over_ = true;
  if (open_main_) open_main_();
  if (ui_.ended()) return;
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
