// Text files of the program (KY-GEN.CNF, machine files, the archive list):
// Windows-1252 with CR LF line ends on disk; reading accepts LF alone too.
#ifndef ZARIREVO_PLATFORM_TEXT_FILE_H_
#define ZARIREVO_PLATFORM_TEXT_FILE_H_

#include <string>
#include <vector>

#include "platform/platform.h"

namespace zr {

/// The lines of a text file, converted to UTF-8, without their line ends
/// (CR LF or LF; a missing last line end is accepted).
Status ReadTextLines(Platform& platform, const std::string& path, std::vector<std::string>* lines);
/// Appends one line (UTF-8 in, Windows-1252 out) followed by CR LF.
Status AppendTextLine(Platform& platform, const std::string& path, const std::string& line);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_TEXT_FILE_H_
