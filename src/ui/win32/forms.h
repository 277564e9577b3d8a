// The windows of the program in plain Win32: the launcher `BackupBotton`, the
// main window `BaseForm` with its menu tree, and the help window. Like the Qt
// view they show the state in Program (captions, Enabled, Checked) after
// every handler and whenever the core reports a change, and hand every click
// to the core's table of commands (ui/commands.h), which holds the rules;
// they decide nothing themselves.
//
// Keys and focus as in a dialog (DispatchOne): Tab walks the controls, the
// message area included and out of it again; Escape never closes the main
// window; the customer box has the focus when the window opens, and the
// control that had it gets it back after a message box or another window.
// Sizes are in pixels at 96 dpi, scaled to the dpi of the monitor the window
// is on (and again when it moves to another, WM_DPICHANGED).
#ifndef ZARIREVO_UI_WIN32_FORMS_H_
#define ZARIREVO_UI_WIN32_FORMS_H_

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/program.h"
#include "ui/commands.h"
#include "ui/run_progress.h"
#include "ui/win32/win32_ui.h"

namespace zr::win32 {

/// Child control identifiers (1 and 2 are IDOK and IDCANCEL of the dialog
/// keys); the menu commands are numbered from kFirstMenuId in the order of
/// the core's menu tree.
enum ControlId : int {
  kSoftwareId = 101,
  kCustomerId,
  kOkId,
  kStopId,
  kExitId,
  kAreaId,
  kBackupId,
  kFirstMenuId = 1000,
};

/// Registers the window classes; once, before any window is made.
void RegisterWindowClasses();

/// The dots per inch of the monitor `window` is on (the system's when the
/// host cannot say, before Windows 10 1607).
int WindowDpi(HWND window);

/// The help window: the title and the five installation notes, laid out by
/// the core's rule (ui/help_layout.h) whenever its size changes.
class HelpWindow {
 public:
  /// The window procedure of the class (RegisterWindowClasses).
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  /// Owned by `owner` (the main window): above it, no taskbar entry of its own.
  explicit HelpWindow(HWND owner);
  ~HelpWindow();
  HWND hwnd() const { return hwnd_; }
  void Show();

 private:
  void ApplyLayout();
  void MakeFonts();

  HWND hwnd_ = nullptr;
  HWND title_ = nullptr;
  std::vector<HWND> notes_;
  HFONT title_font_ = nullptr;
  HFONT bold_font_ = nullptr;
  HFONT font_ = nullptr;
};

class MainWindow {
 public:
  /// The window procedure of the class (RegisterWindowClasses).
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  MainWindow(Program& program, Win32Ui& ui);
  ~MainWindow();
  HWND hwnd() const { return hwnd_; }

  /// Shows the state of Program in every control and menu item.
  void Refresh();
  /// Runs the command `name` of the core's table, then shows the new state.
  void Handle(const std::string& name);
  /// The run's progress line as shown now.
  const std::string& progress_text() const { return progress_.text(); }
  /// Opens the menus named from the bar down ({"Menu2", "Menu21"}), as after
  /// a click.
  void OpenMenus(const std::vector<std::string>& path);
  HelpWindow* help_window() const { return help_; }
  void set_customer(const std::string& text);
  /// Gives the focus to the first input, the customer box (when the window
  /// is shown).
  void FocusFirstInput();

 private:
  struct MenuSlot {
    HMENU owner = nullptr;    // the menu that holds the item
    UINT position = 0;        // its place there
    HMENU submenu = nullptr;  // a submenu, or nullptr for a command
    bool checkable = false;
    bool radio = false;
    std::wstring shown_caption;  // what the item shows now
    UINT shown_state = ~0u;
  };
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void BuildControls();
  void BuildMenus();
  void Layout();
  void MakeFonts();
  /// `pixels` at 96 dpi in the window's dpi.
  int Scale(int pixels) const;
  void OpenHelp();
  /// A key typed in an open menu that no "&" names: the item whose caption
  /// starts with it is highlighted (never carried out).
  LRESULT MenuChar(wchar_t key, HMENU menu);

  Program& program_;
  Win32Ui& ui_;
  MainWindowCommands commands_;
  HWND hwnd_ = nullptr;
  HMENU bar_ = nullptr;
  std::map<std::string, MenuSlot> menus_;
  std::vector<std::string> command_names_;  // menu command id - kFirstMenuId
  MessageArea area_;
  HWND software_ = nullptr, customer_frame_ = nullptr, customer_ = nullptr, date_ = nullptr;
  HWND ok_ = nullptr, stop_ = nullptr, exit_ = nullptr, messages_frame_ = nullptr;
  HWND progress_line_ = nullptr;  // the run's progress, under the message area
  RunProgress progress_;
  HFONT font_ = nullptr, bold_font_ = nullptr;
  HWND last_focus_ = nullptr;  // the control to give the focus back to
  HelpWindow* help_ = nullptr;
  bool refreshing_ = false;
};

class LauncherWindow {
 public:
  /// The window procedure of the class (RegisterWindowClasses).
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  /// `on_main` receives the main window once a `Backup` click has loaded it;
  /// the launcher then goes.
  LauncherWindow(Program& program, Win32Ui& ui, std::function<void(MainWindow*)> on_main);
  ~LauncherWindow();
  HWND hwnd() const { return hwnd_; }
  void Refresh();
  void BackupClicked();

 private:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Layout();

  Program& program_;
  Win32Ui& ui_;
  std::function<void(MainWindow*)> on_main_;
  HWND hwnd_ = nullptr, software_ = nullptr, backup_ = nullptr;
  HFONT font_ = nullptr;
  bool handed_over_ = false;
};

}  // namespace zr::win32

#endif  // ZARIREVO_UI_WIN32_FORMS_H_
