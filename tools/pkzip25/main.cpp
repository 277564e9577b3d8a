// PkZip25: the command-line archiver started by the backup program.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "pkzip25.h"
#include "platform/host_platform.h"

namespace {

int Run(const std::vector<std::string>& args) {
  if (args == std::vector<std::string>{"--help"}) {
    // The usage text in the form help2man reads: "Usage:" and "  or:" lines.
    std::string usage = pkzip::UsageText();
    usage[0] = 'U';
    for (std::size_t at; (at = usage.find("\n       PkZip25")) != std::string::npos;) {
      usage.replace(at, 7, "\n  or: ");
    }
    std::cout << usage
              << "\nOptions:\n  --help     print this text and exit\n"
                 "  --version  print the version and exit\n";
    return pkzip::kExitOk;
  }
  if (args == std::vector<std::string>{"--version"}) {
    std::cout << "PkZip25 (ZA-Rirevo) " << ZARIREVO_VERSION_MAJOR << '.' << ZARIREVO_VERSION_MINOR
              << '.' << ZARIREVO_VERSION_REVISION << "\n";
    return pkzip::kExitOk;
  }
  std::unique_ptr<zr::Platform> platform = zr::CreateHostPlatform(zr::DriveMap::FromEnvironment());
  return pkzip::RunPkZip(*platform, args, std::cerr);
}

}  // namespace

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_text.h"

// Windows hands the arguments over as UTF-16: UTF-8 inside, as on every host,
// and UTF-8 out to the console. The manifest makes UTF-8 the code page of the
// narrow file functions that libzip and libarchive call.
int wmain(int argc, wchar_t** wargv) {
  ::SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(zr::win32::Narrow(wargv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) {
  // Entry names are UTF-8; libarchive converts them through the locale's character set.
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "");
  return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
