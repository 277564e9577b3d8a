#include "ui/qt/launcher_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>

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
