// Windows-1252 on disk, UTF-8 inside the program. Conversions go through
// iconv; a byte with no character (0x81, 0x8D, 0x8F, 0x90, 0x9D) or a
// character that Windows-1252 cannot hold becomes "?", never an error.
#ifndef ZARIREVO_PLATFORM_CODEPAGE_H_
#define ZARIREVO_PLATFORM_CODEPAGE_H_

#include <cstddef>
#include <string>

namespace zr {

std::string Cp1252ToUtf8(const std::string& bytes);
std::string Utf8ToCp1252(const std::string& text);

/// The same conversions from a built-in table, without iconv; the two above
/// fall back on them when the host's iconv does not know the code page.
std::string Cp1252ToUtf8Builtin(const std::string& bytes);
std::string Utf8ToCp1252Builtin(const std::string& text);

/// Length of the (possibly invalid) UTF-8 sequence at `position`: its lead
/// byte and as many of the continuation bytes the lead byte announces as are
/// there. A stray continuation byte or a byte that cannot lead is one alone.
std::size_t Utf8CharacterLength(const std::string& text, std::size_t position);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_CODEPAGE_H_
