// PkZip25: the command-line archiver started by the backup program.
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "pkzip25.h"
#include "platform/console.h"
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

// Arguments in UTF-8 on every host; libarchive converts entry names through
// the C library's character type, which ProgramArguments makes UTF-8.
int main(int argc, char** argv) {
  const std::vector<std::string> arguments = zr::ProgramArguments(argc, argv);
  return Run(
      std::vector<std::string>(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()));
}
