#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace zr {

namespace {

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One iconv conversion descriptor per direction, opened on first use and kept
// for the whole run (the program has one thread). Invalid when the host's
// iconv knows neither name of the code page; the built-in table serves then.
class Converter {
 public:
  Converter(const char* to, const char* from) {
    handle_ = iconv_open(to, from);
    if (handle_ == kInvalid) {
      // The same code page under its other name.
      handle_ = iconv_open(Rename(to), Rename(from));
    }
  }
  ~Converter() {
    if (handle_ != kInvalid) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != kInvalid; }

  // Converts `input`; a sequence that cannot be converted becomes "?" and the
  // conversion goes on after it. `skip` gives the length of the bad sequence
  // at a position of the input.
  std::string Convert(const std::string& input,
                      std::size_t (*skip)(const std::string&, std::size_t)) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
    std::string output;
    output.reserve(input.size() + input.size() / 2 + 8);
    char buffer[4096];
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    while (in_left > 0) {
      char* out = buffer;
      std::size_t out_left = sizeof buffer;
      std::size_t done = iconv(handle_, &in, &in_left, &out, &out_left);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (done != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ (no such character) or EINVAL (cut sequence at the end).
      std::size_t position = input.size() - in_left;
      std::size_t bad = skip(input, position);
      if (bad > in_left || bad == 0) bad = in_left;
      output += '?';
      in += bad;
      in_left -= bad;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
  }

 private:
  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

  static const char* Rename(const char* name) {
    return std::string(name) == "WINDOWS-1252" ? "CP1252" : name;
  }

  iconv_t handle_;
};

std::size_t SkipOneByte(const std::string&, std::size_t) { return 1; }

// Length of the (possibly invalid) UTF-8 sequence at `position`: its lead
// byte and as many of the continuation bytes the lead byte announces as are
// there. A stray continuation byte or a byte that cannot lead is one alone.
std::size_t SkipUtf8Character(const std::string& text, std::size_t position) {
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
    std::size_t length = SkipUtf8Character(text, i);
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

std::string Cp1252ToUtf8(const std::string& bytes) {
  if (IsAscii(bytes)) return bytes;
  static Converter converter("UTF-8", "WINDOWS-1252");
  if (!converter.valid()) return Cp1252ToUtf8Builtin(bytes);
  return converter.Convert(bytes, SkipOneByte);
}

std::string Utf8ToCp1252(const std::string& text) {
  if (IsAscii(text)) return text;
  static Converter converter("WINDOWS-1252", "UTF-8");
  if (!converter.valid()) return Utf8ToCp1252Builtin(text);
  return converter.Convert(text, SkipUtf8Character);
}

}  // namespace zr
