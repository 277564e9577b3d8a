// The launcher window `BackupBotton`: the product button `Software_B` and the
// `Backup` button (the default button, so Enter opens the main window), each
// with a small label above it and a tooltip that say what it does.
// It shows the launcher's state in Program and calls the start-up handlers;
// the decisions are theirs.
#ifndef ZARIREVO_UI_QT_LAUNCHER_WINDOW_H_
#define ZARIREVO_UI_QT_LAUNCHER_WINDOW_H_

#include <QDialog>
#include <functional>

#include "ui/program.h"
#include "ui/qt/qt_ui.h"

class QPushButton;

namespace zr::qt {

/// Window title of the launcher. The program's historical caption "Form1"
/// told users nothing, so the launcher carries the program's name.
inline constexpr const char* kLauncherTitle = "ZA-Rirevo";

class LauncherWindow : public QDialog {
  Q_OBJECT

 public:
  /// `make_main` runs after a `Backup` click took the product over: it makes
  /// the main window (or returns nullptr), which is shown once it has loaded;
  /// the launcher then closes.
  LauncherWindow(Program& program, QtUi& ui, std::function<QWidget*()> make_main,
                 QWidget* parent = nullptr);

  /// Shows the launcher state (captions, enabled).
  void Refresh();
  QPushButton* software_button() const { return software_; }
  QPushButton* backup_button() const { return backup_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void BackupClicked();

  Program& program_;
  QtUi& ui_;
  std::function<QWidget*()> make_main_;
  QPushButton* software_ = nullptr;
  QPushButton* backup_ = nullptr;
  bool handed_over_ = false;
};

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_LAUNCHER_WINDOW_H_
