// The main window `BaseForm`: the product button, ESCI / STOP / OK, the
// customer frame (NomeCliente, DataOggi), the message area and the whole menu
// tree. It shows the state in Program (captions, Enabled, Checked) after
// every handler and whenever the core reports a state change, and hands every
// click to the core's handlers; it decides nothing itself.
//
// Every click goes through the core's table of commands (ui/commands.h),
// which holds the rules: while an operation runs, only STOP, ESCI and the
// close box act; the window shows the other controls disabled then.
//
// Menus re-open after a click as the core asks (UserInterface::ReopenMenu),
// so several items can be changed in a row. The close box ends the program
// without saving; ESCI and the close box during a backup stop it first
// (MainWindowExit).
#ifndef ZARIREVO_UI_QT_BASE_FORM_WINDOW_H_
#define ZARIREVO_UI_QT_BASE_FORM_WINDOW_H_

#include <QElapsedTimer>
#include <QMainWindow>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "ui/program.h"
#include "ui/commands.h"
#include "ui/run_progress.h"
#include "ui/qt/qt_ui.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace zr::qt {

class HelpWindow;
class MessageView;

class BaseFormWindow : public QMainWindow {
  Q_OBJECT

 public:
  BaseFormWindow(Program& program, QtUi& ui, QWidget* parent = nullptr);
  ~BaseFormWindow() override;

  /// Shows the state of Program in every control and menu item.
  void Refresh();

  /// The action of a menu item or submenu by its name ("Menu211", "Menu21").
  QAction* action(const std::string& name) const;
  /// The submenu by its name ("Menu2", "Menu21"), or nullptr.
  QMenu* menu(const std::string& name) const;
  /// Opens the menu path (bar menu, then submenus), as after a click.
  void OpenMenuPath(const std::vector<std::string>& path);
  /// The help window, once opened.
  HelpWindow* help_window() const { return help_; }

  MessageView* message_view() const { return message_view_; }
  /// The run's progress line as shown now (in the status bar).
  const std::string& progress_text() const { return progress_->text(); }
  QLineEdit* customer_box() const { return customer_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* stop_button() const { return stop_; }
  QPushButton* exit_button() const { return exit_; }
  QPushButton* software_button() const { return software_; }
  QLabel* date_label() const { return date_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void MenuClicked(const std::string& name);
  void OpenHelp();
  /// Runs the command `name` of the core's table, then shows the new state.
  void Handle(const std::string& name);

  Program& program_;
  QtUi& ui_;
  MainWindowCommands commands_;
  QElapsedTimer clock_;
  std::unique_ptr<RunProgress> progress_;  // the run context's watcher
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  MessageView* message_view_ = nullptr;
  QLineEdit* customer_ = nullptr;
  QLabel* date_ = nullptr;
  QPushButton* software_ = nullptr;
  QPushButton* exit_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* ok_ = nullptr;
  HelpWindow* help_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace zr::qt

#endif  // ZARIREVO_UI_QT_BASE_FORM_WINDOW_H_
