// Windows-1252 on disk, UTF-8 inside the program. Conversions go through
// iconv; a byte with no character (0x81, 0x8D, 0x8F, 0x90, 0x9D) or a
// character that Windows-1252 cannot hold becomes "?", never an error.
// Settings files may also be UTF-16 LE ("Unicode" to Notepad): their 16-bit
// units are worked on as CESU-8, UTF-8 in which every unit is a sequence of
// its own (a surrogate pair two sequences of three bytes, a lone surrogate
// one), so that the line work on bytes keeps every unit as it was.
#ifndef ZARIREVO_PLATFORM_CODEPAGE_H_
#define ZARIREVO_PLATFORM_CODEPAGE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zr {

std::string Cp1252ToUtf8(const std::string& bytes);
std::string Utf8ToCp1252(const std::string& text);

/// The same conversions from a built-in table, without iconv; the two above
/// fall back on them when the host's iconv does not know the code page.
std::string Cp1252ToUtf8Builtin(const std::string& bytes);
std::string Utf8ToCp1252Builtin(const std::string& text);

/// UTF-16 LE bytes (without a byte-order mark) as CESU-8 and back:
/// Cesu8ToUtf16Le(Utf16LeToCesu8(b)) == b for an even number of bytes (an
/// odd last byte is left out). A byte that starts no sequence becomes
/// U+FFFD on the way back.
std::string Utf16LeToCesu8(std::string_view bytes);
std::string Cesu8ToUtf16Le(std::string_view text);
/// CESU-8 as UTF-8: surrogate pairs joined, a lone surrogate U+FFFD.
std::string Cesu8ToUtf8(std::string_view text);
/// UTF-8 as CESU-8; false when `text` is not valid UTF-8 (no such text can
/// be written to a UTF-16 file as it is).
bool Utf8ToCesu8(std::string_view text, std::string* cesu8);

/// Length of the (possibly invalid) UTF-8 sequence at `position`: its lead
/// byte and as many of the continuation bytes the lead byte announces as are
/// there. A stray continuation byte or a byte that cannot lead is one alone.
std::size_t Utf8CharacterLength(const std::string& text, std::size_t position);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_CODEPAGE_H_
