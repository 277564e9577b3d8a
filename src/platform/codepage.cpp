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

}  // namespace

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
  return converter.Convert(text, Utf8CharacterLength);
}

}  // namespace zr
