// The console on Windows (see console.h). The console window is shared with
// the program that started us (cmd.exe, PowerShell): its output code page and
// its modes are put back as they were when the program ends, also on Ctrl+C.
#include <windows.h>
// After windows.h, which it needs.
#include <io.h>

#include <cstdlib>

#include "platform/console.h"
#include "platform/host_portable.h"
#include "platform/win32_text.h"

namespace zr {

namespace {

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

// The console as it was: output code page (0: none) and the modes of the
// output and error handles.
UINT saved_code_page = 0;
struct Output {
  DWORD handle_id;
  HANDLE handle = nullptr;  // nullptr: not a console
  DWORD saved_mode = 0;
  bool escapes = false;  // colour and cursor codes are shown, not printed
};
Output outputs[] = {{STD_OUTPUT_HANDLE}, {STD_ERROR_HANDLE}};

void RestoreConsole() {
  if (saved_code_page != 0) ::SetConsoleOutputCP(saved_code_page);
  for (const Output& output : outputs) {
    if (output.handle != nullptr) ::SetConsoleMode(output.handle, output.saved_mode);
  }
}

BOOL WINAPI OnBreak(DWORD) {
  RestoreConsole();
  return FALSE;  // and the program ends as it would have
}

}  // namespace

// The command line split by the C run-time's rules, as a wide main() gets it.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
  saved_code_page = ::GetConsoleOutputCP();
  if (saved_code_page != 0 && saved_code_page != CP_UTF8) ::SetConsoleOutputCP(CP_UTF8);
  for (Output& output : outputs) {
    HANDLE handle = ::GetStdHandle(output.handle_id);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !::GetConsoleMode(handle, &mode)) {
      continue;
    }
    output.handle = handle;
    output.saved_mode = mode;
    // Windows 10 and later; an older console refuses it and gets plain text.
    output.escapes = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                     ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
  }
  std::atexit(RestoreConsole);
  ::SetConsoleCtrlHandler(OnBreak, TRUE);
  std::vector<std::string> arguments = host::SplitCommandLine(win32::Narrow(::GetCommandLineW()));
  if (arguments.empty()) arguments.assign(argv, argv + argc);
  return arguments;
}

bool IsTerminal(std::FILE* stream) {
  if (_isatty(_fileno(stream)) == 0) return false;
  const Output& output = outputs[stream == stderr ? 1 : 0];
  // A console that cannot show the codes counts as plain text.
  return output.handle == nullptr || output.escapes;
}

int TerminalColumns(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (handle == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(handle, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace zr
