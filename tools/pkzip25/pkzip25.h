// PkZip25, the archiver the backup program starts: runs one command line
// (see command_line.h) with Windows-form paths resolved through `platform`,
// reporting every problem as one line on `errors`.
//
// Exit codes: 0 when everything asked for was done; 1 when something was not
// (a listed file missing, an entry refused, a damaged archive, a write that
// failed); 2 for a command line of any other form.
#ifndef ZARIREVO_TOOLS_PKZIP25_PKZIP25_H_
#define ZARIREVO_TOOLS_PKZIP25_PKZIP25_H_

#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pkzip {

inline constexpr int kExitOk = 0;
inline constexpr int kExitIncomplete = 1;
inline constexpr int kExitUsage = 2;

/// Runs the arguments that follow the program name.
int RunPkZip(zr::Platform& platform, const std::vector<std::string>& args, std::ostream& errors);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_PKZIP25_H_
