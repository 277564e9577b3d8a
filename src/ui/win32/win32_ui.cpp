#include "ui/win32/win32_ui.h"

#include <commctrl.h>
#include <richedit.h>
#include <shobjidl.h>

#include <exception>

#include "platform/win32_text.h"
#include "platform/windows_path.h"

namespace zr::win32 {

std::wstring DisplayText(const std::string& text) {
  std::wstring shown;
  const std::wstring wide = Widen(text);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\r') {
      shown += L"\r\n";
      if (i + 1 < wide.size() && wide[i + 1] == L'\n') ++i;
    } else if (wide[i] == L'\n') {
      shown += L"\r\n";
    } else {
      shown += wide[i];
    }
  }
  return shown;
}

std::wstring PlainCaption(const std::string& text) {
  std::wstring caption;
  for (wchar_t c : DisplayText(text)) {
    if (c == L'&') caption += L'&';
    caption += c;
  }
  return caption;
}

COLORREF ToColorRef(Color colour) {
  return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

Answer ShowWin32MessageBox(const MessageBoxRequest& box, HWND owner) {
  const std::wstring title = Widen(box.title.empty() ? kApplicationTitle : box.title);
  UINT flags = MB_SETFOREGROUND;
  flags |= owner == nullptr ? MB_TASKMODAL : MB_APPLMODAL;
  Answer on_failure = Answer::kOk;
  UINT icon = MB_ICONINFORMATION;
  switch (box.buttons) {
    case Buttons::kOk:
      flags |= MB_OK;
      break;
    case Buttons::kOkCancel:
      flags |= MB_OKCANCEL;
      on_failure = Answer::kCancel;
      break;
    case Buttons::kYesNo:
      flags |= MB_YESNO;
      icon = MB_ICONQUESTION;
      on_failure = Answer::kNo;
      break;
  }
  if (!box.no_icon) flags |= icon;
  if (box.default_no) flags |= MB_DEFBUTTON2;
  // The answers of MessageBoxW are the program's own (IDOK, IDCANCEL, IDYES, IDNO).
  switch (MessageBoxW(owner, DisplayText(box.text).c_str(), title.c_str(), flags)) {
    case IDOK:
      return Answer::kOk;
    case IDCANCEL:
      return Answer::kCancel;
    case IDYES:
      return Answer::kYes;
    case IDNO:
      return Answer::kNo;
    default:
      return on_failure;
  }
}

std::string PickFolderWithDialog(Platform& platform, const std::string& prompt, HWND owner) {
  IFileDialog* dialog = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog)))) {
    return "";
  }
  std::string answer;
  DWORD options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                     FOS_NOCHANGEDIR);
  dialog->SetTitle(Widen(prompt).c_str());
  // Opens on the first mapped drive that is ready.
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string host;
    if (!platform.ToHostPath(std::string(1, letter) + ":\\", &host).ok() || host.empty()) continue;
    IShellItem* start = nullptr;
    if (SUCCEEDED(
            SHCreateItemFromParsingName(Widen(host).c_str(), nullptr, IID_PPV_ARGS(&start)))) {
      dialog->SetFolder(start);
      start->Release();
    }
    break;
  }
  if (dialog->Show(owner) == S_OK) {
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog->GetResult(&item))) {
      PWSTR path = nullptr;
      if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path != nullptr) {
        // A drive root keeps its backslash, a folder outside the map is no answer.
        const std::string windows = platform.FromHostPath(Narrow(path));
        if (!windows.empty()) answer = PickedFolderForm(windows);
        CoTaskMemFree(path);
      }
      item->Release();
    }
  }
  dialog->Release();
  return answer;
}

namespace {

// The message area's own keys: the arrows only. Asked nothing of the RichEdit
// (which would then act as in a dialog and turn Escape into WM_CLOSE for the
// main window), so IsDialogMessage keeps Tab and Escape.
LRESULT CALLBACK AreaKeys(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                          DWORD_PTR) {
  if (message == WM_GETDLGCODE) return DLGC_WANTARROWS;
  if ((message == WM_KEYDOWN && (wparam == VK_ESCAPE || wparam == VK_TAB)) ||
      (message == WM_CHAR && (wparam == 27 || wparam == L'\t'))) {
    return 0;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

void MessageArea::Create(HWND parent, int id, HFONT font) {
  // RichEdit 4.1 (Msftedit.dll): coloured text, and fast with many lines.
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
  (void)library;
  parent_ = parent;
  hwnd_ =
      CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                          ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                      0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  SendMessageW(hwnd_, EM_SETTARGETDEVICE, 0, 1);  // no wrapping: one message, one line
  SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, ToColorRef(background_));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowSubclass(hwnd_, AreaKeys, 0, 0);
}

void MessageArea::AppendLine(const std::string& text, Color colour) {
  if (hwnd_ == nullptr) return;
  if (!in_burst_) {
    in_burst_ = true;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    // Drawn again once the window is back in its loop, or at the next look at its input.
    PostMessageW(parent_, kFlushMessage, 0, 0);
  }
  // The user's selection never decides where a line goes: always at the end.
  CHARRANGE end{-1, -1};
  SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = ToColorRef(colour);
  SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  std::wstring line = first_line_ ? L"" : L"\r";
  first_line_ = false;
  line += Widen(text);
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
}

void MessageArea::Flush() {
  if (!in_burst_ || hwnd_ == nullptr) return;
  in_burst_ = false;
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  SendMessageW(hwnd_, WM_VSCROLL, SB_BOTTOM, 0);
  SendMessageW(hwnd_, WM_HSCROLL, SB_LEFT, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void MessageArea::SetBackground(Color background) {
  background_ = background;
  if (hwnd_ != nullptr) SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, ToColorRef(background));
}

Win32Ui::Win32Ui()
    : WindowedUi([](const MessageBoxRequest& box) {
        return ShowWin32MessageBox(box, GetActiveWindow());
      }) {}

void Win32Ui::set_message_area(MessageArea* area) {
  area_ = area;
  SetMessageSink(area);
}

void Win32Ui::MarkEnded() {
  if (!SetEnded()) return;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        ShowWindow(window, SW_HIDE);
        return TRUE;
      },
      0);
  PostQuitMessage(0);
}

void Win32Ui::Beep() { MessageBeep(MB_OK); }

Status WaitCursorPlatform::Run(const std::string& command_line, int* exit_code,
                               const std::function<bool()>& poll) {
  HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const Status status = ForwardingPlatform::Run(command_line, exit_code, poll);
  SetCursor(before);
  return status;
}

void DispatchOne(MSG& msg) {
  // Tab, Enter, Escape and the buttons' access keys, as in a dialog.
  HWND root = msg.hwnd == nullptr ? nullptr : GetAncestor(msg.hwnd, GA_ROOT);
  if (root != nullptr && IsDialogMessageW(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void Win32Ui::ProcessPendingInput() {
  ThrowIfEnded();
  // Clicks (STOP) are handled and the window repaints between two files, but
  // not more often than every kInputSliceMs: a look at the input costs far
  // more than copying a small file.
  const std::uint64_t now = GetTickCount64();
  if (last_input_ != 0 && now - last_input_ < kInputSliceMs) return;
  if (area_ != nullptr) area_->Flush();
  MSG msg;
  while (!ended() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      SetEnded();
      break;
    }
    DispatchOne(msg);
  }
  last_input_ = GetTickCount64();
  ThrowIfEnded();
}

bool RunHandler(Win32Ui& ui, const std::function<void()>& handler) {
  if (ui.ended()) return false;
  try {
    handler();
  } catch (const ProgramEnded&) {
    ui.MarkEnded();
    return false;
  } catch (const std::exception& error) {
    // An unexpected failure of an operation must not take the program down
    // with the user's work; it is shown and the window goes on.
    MessageBoxRequest box;
    box.text = std::string("Errore imprevisto: ") + error.what();
    try {
      ui.ShowMessageBox(box);
    } catch (const ProgramEnded&) {
      return false;
    }
  }
  return !ui.ended();
}

}  // namespace zr::win32
