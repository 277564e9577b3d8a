// Text files of the program (KY-GEN.CNF, machine files, the archive list):
// Windows-1252 with CR LF line ends on disk; reading accepts LF alone too.
#ifndef ZARIREVO_PLATFORM_TEXT_FILE_H_
#define ZARIREVO_PLATFORM_TEXT_FILE_H_

#include <string>
#include <vector>

#include "platform/platform.h"

namespace zr {

/// The lines of a text file, converted to UTF-8, without their line ends
/// (CR LF or LF; a missing last line end is accepted; a CR not followed by LF
/// stays in the line, except at the very end of the file). On a read error
/// `lines` is empty and the platform's Status is returned.
Status ReadTextLines(Platform& platform, const std::string& path, std::vector<std::string>* lines);
/// Appends one line (UTF-8 in, Windows-1252 out) followed by CR LF, in one
/// Platform::AppendFile call; its Status is returned.
Status AppendTextLine(Platform& platform, const std::string& path, const std::string& line);
/// Lines as such a file holds them: each in Windows-1252, then CR LF.
std::string TextLines(const std::vector<std::string>& lines);
/// The same for several lines, all in one Platform::AppendFile call.
Status AppendTextLines(Platform& platform, const std::string& path,
                       const std::vector<std::string>& lines);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_TEXT_FILE_H_
