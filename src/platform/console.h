// What a console program needs of its host at the start and while it writes:
// its arguments as UTF-8, a console that shows UTF-8, whether a stream is
// a terminal and how wide it is.
#ifndef ZARIREVO_PLATFORM_CONSOLE_H_
#define ZARIREVO_PLATFORM_CONSOLE_H_

#include <cstdio>
#include <string>
#include <vector>

namespace zr {

/// Prepares the process for UTF-8 and answers its arguments in UTF-8, the
/// program's name first. On Windows the arguments are read again from the
/// system in UTF-16 (`argv` would hold them in the ANSI code page, without
/// the letters it lacks) and the console's output code page becomes UTF-8; on
/// POSIX hosts `argv` is taken as it is and the C library's character type
/// becomes UTF-8 (libarchive converts entry names through it).
std::vector<std::string> ProgramArguments(int argc, char** argv);

/// True when `stream` (stdout or stderr) is a terminal that shows colour and
/// cursor codes. On Windows a console window counts only once its
/// virtual-terminal processing is on (ProgramArguments turns it on where the
/// console has it, Windows 10 and later); otherwise the program writes plain
/// text. The console's code page and modes are put back when the program ends.
bool IsTerminal(std::FILE* stream);

/// The number of columns of the terminal `stream` writes to; 0 when it is
/// not a terminal or its width is not known.
int TerminalColumns(std::FILE* stream);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_CONSOLE_H_
