// PkZip25: the command-line archiver started by the backup program.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "pkzip25.h"
#include "platform/host_platform.h"

int main(int argc, char** argv) {
  // Entry names are UTF-8; libarchive converts them through the locale's character set.
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "");
  std::vector<std::string> args(argv + 1, argv + argc);
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
