// What the core asks of the windows: message boxes, the folder picker, the
// message area, a beep, letting the window process pending input, re-opening
// a menu, and ending the program at once.
//
// Two implementations: the Qt windows (ui/qt/) and ScriptedUi
// (ui/scripted_ui.h) for tests and the console front-end. The interface sits
// at the bottom beside Platform, so that every layer may be handed one. The
// rules of the program (which box, which text, which colour) live in the core;
// an implementation only shows.
#ifndef ZARIREVO_PLATFORM_USER_INTERFACE_H_
#define ZARIREVO_PLATFORM_USER_INTERFACE_H_

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace zr {

/// A 32-bit red-green-blue colour: 0x00RRGGBB.
using Color = std::uint32_t;
constexpr Color Rgb(unsigned r, unsigned g, unsigned b) { return (r << 16) | (g << 8) | b; }

constexpr Color kBackgroundNormal = Rgb(192, 192, 192);  // light grey
constexpr Color kBackgroundAlarm = Rgb(255, 0, 0);       // red
constexpr Color kBackgroundZipOnly = Rgb(255, 0, 0);     // palette colour 12, light red

/// The application title, carried by a message box that has none of its own.
inline constexpr const char* kApplicationTitle = "ZA-Rirevo";

enum class Buttons { kOk, kOkCancel, kYesNo };
enum class Answer { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

/// One message box. `text` uses "\r" (carriage return) as line break, as the
/// program builds it. An empty `title` means the application title.
struct MessageBoxRequest {
  std::string text;
  std::string title;
  Buttons buttons = Buttons::kOk;
  bool no_icon = false;
  bool default_no = false;  // Enter answers No: a question whose Yes destroys something
};

/// Thrown by `EndProgram`: the program ends at once, nothing is saved. Caught
/// only at the top of a front-end (and by MainWindowExit, which lets a running
/// operation finish first). It is the one exception that crosses modules:
/// "end the program at once" can be asked from deep inside any operation (a
/// Cancel in a drive box, Chiudi, ESCI), and every frame between must be left
/// without further work. Everything else is a returned value.
/// `settings_saved` is true only when ExitProgram ended it after saving.
struct ProgramEnded : std::exception {
  explicit ProgramEnded(bool saved = false) : settings_saved(saved) {}
  const char* what() const noexcept override { return "program ended"; }
  bool settings_saved;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  /// Shows a modal message box and returns the button pressed.
  virtual Answer ShowMessageBox(const MessageBoxRequest& box) = 0;

  /// The folder picker: a Windows-form folder path (a drive root with its
  /// backslash, "A:\", any other folder without one), or "" when cancelled.
  virtual std::string BrowseForFolder(const std::string& prompt) = 0;

  /// Appends one line at the end of the message area in `text_color`
  /// (the text already holds any suffix; no line end).
  virtual void AppendMessageLine(const std::string& text, Color text_color) = 0;
  /// Sets the message area's background colour.
  virtual void SetMessageBackground(Color background) = 0;
  virtual void Beep() = 0;

  /// Lets the window process pending input (clicks on STOP, menu items) and
  /// repaint. Handlers run inside this call.
  virtual void ProcessPendingInput() = 0;

  /// Opens the given submenu again after a menu click, so that several items
  /// can be changed in a row. `path` names the menus from the bar down
  /// ({"Menu2", "Menu21"}: FileToCopy, then File_Configurazioni).
  virtual void ReopenMenu(const std::vector<std::string>& path) = 0;

  /// Tells the window that control states (enabled buttons, captions, menu
  /// items) changed and should be shown again.
  virtual void StateChanged() {}

  /// A one-line note for the person who started the program, outside the
  /// windows (a settings file made where there was none): the windows and
  /// the console write it on standard error; by default it goes nowhere.
  virtual void Notice(const std::string& text) { (void)text; }

  /// Ends the program at once, nothing saved: throws ProgramEnded.
  [[noreturn]] virtual void EndProgram() { throw ProgramEnded(); }
};

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_USER_INTERFACE_H_
