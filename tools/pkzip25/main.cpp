// PkZip25: the command-line archiver started by the backup program.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "pkzip25.h"
#include "platform/host_platform.h"

int main(int argc, char** argv) {
  // Entry names are UTF-8; libarchive converts them through the locale's character set.
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  std::unique_ptr<zr::Platform> platform = zr::CreateHostPlatform(zr::DriveMap::FromEnvironment());
  return pkzip::RunPkZip(*platform, args, std::cerr);
}
