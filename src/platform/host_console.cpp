// The console on POSIX hosts (see console.h).
#include <sys/ioctl.h>
#include <unistd.h>

#include <clocale>

#include "platform/console.h"

namespace zr {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "");
  return std::vector<std::string>(argv, argv + argc);
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

int TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace zr
