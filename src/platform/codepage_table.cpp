// The built-in Windows-1252 table, shared by every host.
#include <cstdint>

#include "platform/codepage.h"

namespace zr {

std::size_t Utf8CharacterLength(const std::string& text, std::size_t position) {
  auto lead = static_cast<unsigned char>(text[position]);
  std::size_t expected = 1;
  if ((lead & 0xE0) == 0xC0) {
    expected = 2;
  } else if ((lead & 0xF0) == 0xE0) {
    expected = 3;
  } else if ((lead & 0xF8) == 0xF0) {
    expected = 4;
  }
  std::size_t length = 1;
  while (length < expected && position + length < text.size() &&
         (static_cast<unsigned char>(text[position + length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 where Windows-1252 has none.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::uint32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string Cp1252ToUtf8Builtin(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    std::uint32_t code = byte;
    if (byte >= 0x80 && byte < 0xA0) code = kHighControls[byte - 0x80];
    if (code == 0) {
      out += byte == 0 ? '\0' : '?';
    } else {
      AppendUtf8(code, &out);
    }
  }
  return out;
}

std::string Utf8ToCp1252Builtin(const std::string& text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    std::size_t length = Utf8CharacterLength(text, i);
    std::uint32_t code = 0;
    bool valid = false;
    if (length == 2 && (lead & 0xE0) == 0xC0) {
      code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      valid = code >= 0x80;
    } else if (length == 3 && (lead & 0xF0) == 0xE0) {
      code = ((lead & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
             (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
      valid = code >= 0x800;
    }
    char byte = '?';
    if (valid && code >= 0xA0 && code <= 0xFF) {
      byte = static_cast<char>(code);
    } else if (valid) {
      for (int k = 0; k < 32; ++k) {
        if (kHighControls[k] == code) byte = static_cast<char>(0x80 + k);
      }
    }
    out += byte;
    i += length;
  }
  return out;
}

}  // namespace zr
