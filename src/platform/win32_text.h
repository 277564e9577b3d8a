// UTF-8 inside the program, UTF-16 at the Windows boundary: the two
// conversions every W function call goes through.
#ifndef ZARIREVO_PLATFORM_WIN32_TEXT_H_
#define ZARIREVO_PLATFORM_WIN32_TEXT_H_

#include <string>
#include <string_view>

namespace zr::win32 {

/// UTF-8 to UTF-16 (invalid sequences become U+FFFD).
std::wstring Widen(std::string_view text);
/// UTF-16 to UTF-8 (unpaired surrogates become U+FFFD).
std::string Narrow(std::wstring_view text);

}  // namespace zr::win32

#endif  // ZARIREVO_PLATFORM_WIN32_TEXT_H_
