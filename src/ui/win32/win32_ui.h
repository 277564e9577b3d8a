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
#include "ui/windowed_ui.h"

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
/// application title), the buttons asked for, no icon when asked, the second
/// button (No, Cancel) the default when asked.
Answer ShowWin32MessageBox(const MessageBoxRequest& box, HWND owner);

/// The folder picker (IFileDialog, folders only), opened on the first mapped
/// drive; the answer in Windows form through the drive map, "" when cancelled
/// or when the folder lies outside the map.
std::string PickFolderWithDialog(Platform& platform, const std::string& prompt, HWND owner);

/// The message area: a read-only RichEdit, one coloured line per message.
/// The lines of one burst (written before the window next looks at its
/// input) are drawn and scrolled once. Under the dialog keys it takes only the
/// arrows: Tab moves on to the next control and Escape is the window's, never
/// a close.
class MessageArea : public MessageSink {
 public:
  /// Creates the control as child `id` of `parent`, its text in `font`.
  void Create(HWND parent, int id, HFONT font);
  HWND hwnd() const { return hwnd_; }
  void AppendLine(const std::string& text, Color colour) override;
  void SetBackground(Color background) override;
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

class Win32Ui : public WindowedUi {
 public:
  /// The longest time between two looks at the input while an operation runs.
  static constexpr std::uint64_t kInputSliceMs = 25;

  /// Message boxes are ShowWin32MessageBox on the active window until
  /// set_box_handler says otherwise.
  Win32Ui();

  /// The message area; lines written before it exists are shown once it is set.
  void set_message_area(MessageArea* area);

  /// Marks the program as ended: every window hides, the message loop stops.
  void MarkEnded();

  // UserInterface.
  void Beep() override;
  void ProcessPendingInput() override;

 private:
  MessageArea* area_ = nullptr;
  std::uint64_t last_input_ = 0;  // tick count of the last look at the input
};

/// The platform of the windows: each program it runs (the archiver) starts
/// under the hourglass; the main window keeps it while the run's stage is
/// the archive's.
class WaitCursorPlatform : public ForwardingPlatform {
 public:
  explicit WaitCursorPlatform(Platform& target) : ForwardingPlatform(target) {}
  Status Run(const std::string& command_line, int* exit_code,
             const std::function<bool()>& poll = {}) override;
  Status OpenAppending(const std::string& path, std::unique_ptr<AppendingFile>* file) override {
    return target_.OpenAppending(path, file);
  }
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
