// UTF-16 LE settings files and CESU-8, without iconv: the conversions must
// keep every 16-bit unit, lone surrogates included, which iconv refuses.
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace zr {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Appends one code point (or one 16-bit unit) as its one to four bytes.
void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The sequence at `*at`: its value, and `*at` moved past it. `strict`
// refuses what UTF-8 forbids (overlong forms, surrogates, values above
// U+10FFFF): the result is then -1. Otherwise a byte that starts no
// sequence gives U+FFFD and is passed alone, and so does a value above
// U+10FFFF, which no UTF-16 can hold.
long NextSequence(std::string_view text, std::size_t* at, bool strict) {
  const auto c = static_cast<unsigned char>(text[*at]);
  std::size_t length = c < 0x80                ? 1
                       : c >= 0xC2 && c < 0xE0 ? 2
                       : c >= 0xE0 && c < 0xF0 ? 3
                       : c >= 0xF0 && c < 0xF5 ? 4
                                               : 0;
  if (length == 0 || *at + length > text.size()) {
    ++*at;
    return strict ? -1 : long{kReplacement};
  }
  char32_t value = length == 1 ? c : c & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[*at + i]);
    if (!IsContinuation(next)) {
      ++*at;
      return strict ? -1 : long{kReplacement};
    }
    value = (value << 6) | (next & 0x3F);
  }
  *at += length;
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool bad =
      value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000);
  if (strict && bad) return -1;
  return value > 0x10FFFF ? long{kReplacement} : static_cast<long>(value);
}

}  // namespace

std::string Utf16LeToCesu8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    AppendUtf8(static_cast<unsigned char>(bytes[i]) |
                   (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8),
               &out);
  }
  return out;
}

std::string Cesu8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  const auto unit = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (std::size_t at = 0; at < text.size();) {
    const auto value = static_cast<char32_t>(NextSequence(text, &at, false));
    if (value < 0x10000) {
      unit(value);
    } else {
      unit(0xD800 + ((value - 0x10000) >> 10));
      unit(0xDC00 + ((value - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string Cesu8ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    auto value = static_cast<char32_t>(NextSequence(text, &at, false));
    if (value >= 0xD800 && value < 0xDC00 && at < text.size()) {
      std::size_t next = at;
      const auto low = static_cast<char32_t>(NextSequence(text, &next, false));
      if (low >= 0xDC00 && low < 0xE000) {
        value = 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
        at = next;
      }
    }
    AppendUtf8(value >= 0xD800 && value < 0xE000 ? kReplacement : value, &out);
  }
  return out;
}

bool Utf8ToCesu8(std::string_view text, std::string* cesu8) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const long value = NextSequence(text, &at, true);
    if (value < 0) return false;
    if (value < 0x10000) {
      AppendUtf8(static_cast<char32_t>(value), &out);
    } else {
      AppendUtf8(0xD800 + ((static_cast<char32_t>(value) - 0x10000) >> 10), &out);
      AppendUtf8(0xDC00 + ((static_cast<char32_t>(value) - 0x10000) & 0x3FF), &out);
    }
  }
  *cesu8 = std::move(out);
  return true;
}

}  // namespace zr
