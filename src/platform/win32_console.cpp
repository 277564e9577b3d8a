// The console on Windows (see console.h).
#include <windows.h>
// After windows.h, which it needs.
#include <io.h>

#include "platform/console.h"
#include "platform/host_portable.h"
#include "platform/win32_text.h"

namespace zr {

// The command line split by the C run-time's rules, as a wide main() gets it.
std::vector<std::string> ProgramArguments(int argc, char** argv) {
  ::SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments = host::SplitCommandLine(win32::Narrow(::GetCommandLineW()));
  if (arguments.empty()) arguments.assign(argv, argv + argc);
  return arguments;
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

int TerminalColumns(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (handle == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(handle, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace zr
