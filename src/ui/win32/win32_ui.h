// The user interface of the windows on Windows, in plain Win32: message
// boxes (MessageBoxW), the folder picker (IFileDialog), the message area (a
// RichEdit control), the beep, processing pending input and re-opening menus.
//
// Contract: as the Qt view, Win32Ui only shows what the core asks for. The
// folder picker and the message boxes are injectable. Once the program has
// ended (`ProgramEnded` caught by `RunHandler`), every later request that
// would wait for the user throws `ProgramEnded` again, so a handler that is
// still running unwinds instead of carrying on. No exception ever leaves a
// window procedure: every handler of the core runs inside RunHandler.
#ifndef ZARIREVO_UI_WIN32_WIN32_UI_H_
#define ZARIREVO_UI_WIN32_WIN32_UI_H_

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/user_interface.h"

namespace zr::win32 {

/// Messages of our own windows.
inline constexpr UINT kFlushMessage = WM_APP + 1;   // the message area's burst ends
inline constexpr UINT kReopenMessage = WM_APP + 2;  // open the menus again

/// The text of a box or label: UTF-16, carriage returns as "\r\n".
std::wstring DisplayText(const std::string& text);
/// A caption for a button or label: "&" shown as itself.
std::wstring PlainCaption(const std::string& text);
COLORREF ToColorRef(Color colour);

/// The real modal message box: exact text and title (empty -> the
/// application title), the buttons asked for, no icon when asked.
Answer ShowWin32MessageBox(const MessageBoxRequest& box, HWND owner);

/// The folder picker (IFileDialog, folders only), opened on the first mapped
/// drive; the answer in Windows form through the drive map, "" when cancelled
/// or when the folder lies outside the map.
std::string PickFolderWithDialog(Platform& platform, const std::string& prompt, HWND owner);

/// The message area: a read-only RichEdit, one coloured line per message.
/// The lines of one burst (written before the window next looks at its
/// input) are drawn and scrolled once.
class MessageArea {
 public:
  /// Creates the control as child `id` of `parent`, its text in `font`.
  void Create(HWND parent, int id, HFONT font);
  HWND hwnd() const { return hwnd_; }
  void AppendLine(const std::string& text, Color colour);
  void SetBackground(Color background);
  Color background() const { return background_; }
  /// Ends a burst: the control is drawn again with its last line in view.
  void Flush();

 private:
  HWND hwnd_ = nullptr;
  HWND parent_ = nullptr;
  Color background_ = kBackgroundNormal;
  bool first_line_ = true;
  bool in_burst_ = false;
};

class Win32Ui : public UserInterface {
 public:
  /// The longest time between two looks at the input while an operation runs.
  static constexpr std::uint64_t kInputSliceMs = 25;

  using BoxHandler = std::function<Answer(const MessageBoxRequest&)>;
  using FolderPicker = std::function<std::string(const std::string& prompt)>;

  Win32Ui();

  void set_box_handler(BoxHandler handler) { box_handler_ = std::move(handler); }
  void set_folder_picker(FolderPicker picker) { folder_picker_ = std::move(picker); }
  /// The message area; lines written before it exists are shown once it is set.
  void set_message_area(MessageArea* area);
  void set_menu_reopener(std::function<void(const std::string&)> reopen) {
    reopen_ = std::move(reopen);
  }
  void set_state_listener(std::function<void()> listener) { state_listener_ = std::move(listener); }

  bool ended() const { return ended_; }
  /// Marks the program as ended: every window hides, the message loop stops.
  void MarkEnded();

  // UserInterface.
  Answer ShowMessageBox(const MessageBoxRequest& box) override;
  std::string BrowseForFolder(const std::string& prompt) override;
  void AppendMessageLine(const std::string& text, Color text_color) override;
  void SetMessageBackground(Color background) override;
  void Beep() override;
  void ProcessPendingInput() override;
  void ReopenMenu(const std::string& keys) override;
  void StateChanged() override;

 private:
  void ThrowIfEnded() const;

  BoxHandler box_handler_;
  FolderPicker folder_picker_;
  MessageArea* area_ = nullptr;
  std::function<void(const std::string&)> reopen_;
  std::function<void()> state_listener_;
  bool ended_ = false;
  std::uint64_t last_input_ = 0;  // tick count of the last look at the input
  std::vector<std::pair<std::string, Color>> pending_lines_;
  Color pending_background_ = kBackgroundNormal;
};

/// Dispatches one message as the program's loops do (dialog keys: Tab, Enter,
/// Escape, access keys of the buttons).
void DispatchOne(MSG& msg);

/// Runs an event handler of the core: `ProgramEnded` ends the program; any
/// other exception is shown in a box and the window goes on. Returns false
/// when the program has ended.
bool RunHandler(Win32Ui& ui, const std::function<void()>& handler);

}  // namespace zr::win32

#endif  // ZARIREVO_UI_WIN32_WIN32_UI_H_
