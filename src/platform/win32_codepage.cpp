// Windows-1252 conversions through the system's own code page tables (see
// codepage.h). Windows maps the five bytes without a character to the C1
// controls U+0081..U+009D; they become "?" here as on every host.
#include <windows.h>

#include "platform/codepage.h"
#include "platform/win32_text.h"

namespace zr {

namespace {

constexpr UINT kCp1252 = 1252;

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool Unassigned(unsigned char byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& bytes) {
  if (IsAscii(bytes)) return bytes;
  std::string clean = bytes;
  for (char& c : clean) {
    if (Unassigned(static_cast<unsigned char>(c))) c = '?';
  }
  const int size = static_cast<int>(clean.size());
  const int length = ::MultiByteToWideChar(kCp1252, 0, clean.data(), size, nullptr, 0);
  if (length <= 0) return Cp1252ToUtf8Builtin(bytes);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(kCp1252, 0, clean.data(), size, wide.data(), length);
  return win32::Narrow(wide);
}

std::string Utf8ToCp1252(const std::string& text) {
  if (IsAscii(text)) return text;
  // One UTF-16 text per UTF-8 character, so that an invalid sequence gives
  // one "?" as the other hosts give it, not one per byte.
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = Utf8CharacterLength(text, i);
    const std::string one = text.substr(i, length);
    i += length;
    if (static_cast<unsigned char>(one[0]) < 0x80) {
      out += one;
      continue;
    }
    const int wide_length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, one.data(),
                                                  static_cast<int>(one.size()), nullptr, 0);
    if (wide_length != 1) {  // invalid, or beyond the basic plane
      out += '?';
      continue;
    }
    wchar_t wide = 0;
    ::MultiByteToWideChar(CP_UTF8, 0, one.data(), static_cast<int>(one.size()), &wide, 1);
    char byte = '?';
    BOOL lossy = FALSE;
    if (::WideCharToMultiByte(kCp1252, WC_NO_BEST_FIT_CHARS, &wide, 1, &byte, 1, "?", &lossy) !=
            1 ||
        lossy || (wide >= 0x80 && wide < 0xA0)) {
      byte = '?';
    }
    out += byte;
  }
  return out;
}

}  // namespace zr
