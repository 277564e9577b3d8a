#include "platform/profile.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/codepage.h"

namespace zr {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

bool HasUtf8Mark(std::string_view content) { return content.substr(0, 3) == kUtf8Mark; }

// One line of the file: its text is [start, text_end), its line end ("\n" or
// "\r\n", or nothing for a last line without one) is [text_end, end).
struct Line {
  std::size_t start;
  std::size_t text_end;
  std::size_t end;
};

// The line that starts at `start` (< content.size()).
Line LineAt(std::string_view content, std::size_t start) {
  const std::size_t newline = content.find('\n', start);
  if (newline == std::string_view::npos) return {start, content.size(), content.size()};
  std::size_t text_end = newline;
  if (text_end > start && content[text_end - 1] == '\r') --text_end;
  return {start, text_end, newline + 1};
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Case folding as the Windows-1252 letters have it: ASCII, the accented
// Latin letters 0xE0..0xFE (not 0xF7) and the four pairs of 0x8A..0x9F. In a
// UTF-8 file only ASCII letters are folded.
unsigned char Fold(unsigned char c, bool utf8) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (utf8 || c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);
  if (c == 0xFF) return 0x9F;
  return c;
}

bool SameName(std::string_view a, std::string_view b, bool utf8) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(static_cast<unsigned char>(a[i]), utf8) !=
        Fold(static_cast<unsigned char>(b[i]), utf8)) {
      return false;
    }
  }
  return true;
}

// The section name of a "[NAME]" line (blanks around it ignored).
std::optional<std::string_view> SectionName(std::string_view trimmed) {
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

// A key line "KEY=VALUE": not a comment (";"), not a section-like line.
struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view trimmed) {
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// What a scan of the file found for one section and key.
struct Scan {
  bool utf8 = false;
  std::optional<Line> section_line;   // header of the first matching section
  std::optional<Line> last_key_line;  // last key line of that section
  std::optional<Line> key_line;       // the key's line (first match in that section)
  KeyLine key;
};

// One pass over the lines, which ends with the first section of the name:
// a later one of the same name is neither read nor written.
Scan ScanProfile(std::string_view content, std::string_view section, std::string_view key) {
  Scan scan;
  scan.utf8 = HasUtf8Mark(content);
  section = Trim(section);
  key = Trim(key);
  bool in_section = false;
  for (std::size_t start = scan.utf8 ? kUtf8Mark.size() : 0; start < content.size();) {
    // Outside the section only a header counts: the search goes from "[" to
    // "[", and a line is looked at only when blanks alone come before it.
    if (!in_section) {
      const std::size_t bracket = content.find('[', start);
      if (bracket == std::string_view::npos) break;
      const std::size_t newline = content.rfind('\n', bracket);
      const std::size_t line_start =
          newline == std::string_view::npos || newline < start ? start : newline + 1;
      const std::string_view before = content.substr(line_start, bracket - line_start);
      if (!std::all_of(before.begin(), before.end(), IsBlank)) {
        start = LineAt(content, bracket).end;
        continue;
      }
      start = line_start;
    }
    const Line line = LineAt(content, start);
    start = line.end;
    std::string_view text = Trim(content.substr(line.start, line.text_end - line.start));
    if (auto name = SectionName(text)) {
      if (in_section) break;
      in_section = !scan.section_line && SameName(*name, section, scan.utf8);
      if (in_section) scan.section_line = line;
      continue;
    }
    if (!in_section) continue;
    auto key_line = ParseKeyLine(text);
    if (!key_line) continue;
    scan.last_key_line = line;
    if (!scan.key_line && SameName(key_line->key, key, scan.utf8)) {
      scan.key_line = line;
      scan.key = *key_line;
    }
  }
  return scan;
}

std::string_view BeforeNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// At most `count` characters of `text`: bytes in Windows-1252, whole
// characters in UTF-8.
std::string CutCharacters(std::string_view text, std::size_t count, bool utf8) {
  if (!utf8) return std::string(text.substr(0, count));
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool starts_character = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (starts_character && characters++ == count) return std::string(text.substr(0, i));
  }
  return std::string(text);
}

std::string DefaultResult(std::string_view default_value, std::size_t size, bool utf8) {
  std::string_view text = BeforeNul(default_value);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return CutCharacters(text, size == 0 ? 0 : size - 1, utf8);
}

// Arguments that cannot be written without breaking the file's lines: line
// breaks anywhere, an empty key, "=" in the key, a key that would read as a
// comment or a section, "]" in the section name.
bool WritableArguments(std::string_view section, std::string_view key, std::string_view value) {
  auto has_line_break = [](std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
  };
  key = Trim(key);
  if (has_line_break(section) || has_line_break(key) || has_line_break(value)) return false;
  if (section.find(']') != std::string_view::npos) return false;
  if (key.empty() || key.find('=') != std::string_view::npos) return false;
  return key.front() != ';' && key.front() != '[';
}

// The text written after "KEY=": a value that a reader would change (blanks
// at either end are trimmed, a pair of matching quotes is removed) is put in
// double quotes, so that it reads back as it was written.
std::string ValueText(std::string_view value) {
  const bool edge_blank = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
  if (!edge_blank && Unquote(value).size() == value.size()) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  return quoted.append("\"").append(value).append("\"");
}

// How a file's text is held: Windows-1252, UTF-8 after its mark, or UTF-16
// LE after its mark, which is worked on as CESU-8 behind a UTF-8 mark (names
// fold as in UTF-8, sizes count 16-bit units as Windows counts them).
enum class Encoding { kAnsi, kUtf8, kUtf16 };

Encoding EncodingOf(std::string_view content) {
  if (content.substr(0, 2) == kUtf16Mark) return Encoding::kUtf16;
  return HasUtf8Mark(content) ? Encoding::kUtf8 : Encoding::kAnsi;
}

// The bytes the line work happens on, and the file's bytes made back from
// them (an odd last byte of a UTF-16 file stays last).
std::string WorkText(const std::string& content, Encoding encoding) {
  if (encoding != Encoding::kUtf16) return content;
  const std::size_t even = content.size() - content.size() % 2;
  return std::string(kUtf8Mark) + Utf16LeToCesu8(std::string_view(content).substr(2, even - 2));
}

std::string FileBytes(const std::string& work, const std::string& content, Encoding encoding) {
  if (encoding != Encoding::kUtf16) return work;
  std::string bytes(kUtf16Mark);
  bytes += Cesu8ToUtf16Le(std::string_view(work).substr(kUtf8Mark.size()));
  if (content.size() % 2 != 0) bytes += content.back();
  return bytes;
}

// A text of the program (UTF-8) in the file's encoding, up to a NUL; false
// when it has no form there.
bool Encode(const std::string& text, Encoding encoding, std::string* bytes) {
  std::string c_string(BeforeNul(text));
  switch (encoding) {
    case Encoding::kAnsi:
      *bytes = Utf8ToCp1252(c_string);
      return true;
    case Encoding::kUtf8:
      *bytes = std::move(c_string);
      return true;
    case Encoding::kUtf16:
      return Utf8ToCesu8(c_string, bytes);
  }
  return false;
}

std::string Decode(const std::string& bytes, Encoding encoding) {
  switch (encoding) {
    case Encoding::kAnsi:
      return Cp1252ToUtf8(bytes);
    case Encoding::kUtf8:
      return bytes;
    case Encoding::kUtf16:
      return Cesu8ToUtf8(bytes);
  }
  return bytes;
}

// The value of a key, cut to `size` - 1 characters; nothing when missing.
std::optional<std::string> FoundValue(std::string_view work, std::string_view section,
                                      std::string_view key, std::size_t size) {
  Scan scan = ScanProfile(work, section, key);
  if (!scan.key_line) return std::nullopt;
  return CutCharacters(BeforeNul(Unquote(scan.key.value)), size == 0 ? 0 : size - 1, scan.utf8);
}

// The line work of a write on text in the form ScanProfile reads.
std::string Update(const std::string& content, std::string_view section_name,
                   std::string_view key_name, const std::string& new_value) {
  Scan scan = ScanProfile(content, section_name, key_name);
  std::string_view bytes = content;
  std::string result;
  result.reserve(content.size() + section_name.size() + key_name.size() + new_value.size() + 8);
  if (scan.key_line) {
    // The key's line is rewritten with the key as the file spells it; its
    // own line end stays.
    const Line& line = *scan.key_line;
    result.append(bytes.substr(0, line.start));
    result.append(scan.key.key).append("=").append(new_value);
    result.append(bytes.substr(line.text_end));
    return result;
  }
  if (scan.section_line) {
    const Line& anchor = scan.last_key_line.value_or(*scan.section_line);
    result.append(bytes.substr(0, anchor.end));
    if (anchor.text_end == anchor.end) result.append(kNewLine);
    result.append(key_name).append("=").append(new_value).append(kNewLine);
    result.append(bytes.substr(anchor.end));
    return result;
  }
  result.append(bytes);
  std::size_t header = scan.utf8 ? kUtf8Mark.size() : 0;
  if (content.size() > header && content.back() != '\n') result.append(kNewLine);
  result.append("[").append(section_name).append("]").append(kNewLine);
  result.append(key_name).append("=").append(new_value).append(kNewLine);
  return result;
}

}  // namespace

std::string ProfileLookup(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& default_value,
                          std::size_t size) {
  const Encoding encoding = EncodingOf(content);
  std::string section_bytes(BeforeNul(section)), key_bytes(BeforeNul(key));
  if (encoding == Encoding::kUtf16 &&
      (!Encode(section, encoding, &section_bytes) || !Encode(key, encoding, &key_bytes))) {
    return DefaultResult(default_value, size, true);
  }
  std::optional<std::string> value =
      FoundValue(WorkText(content, encoding), section_bytes, key_bytes, size);
  if (!value) return DefaultResult(default_value, size, encoding != Encoding::kAnsi);
  return encoding == Encoding::kUtf16 ? Decode(*value, encoding) : *value;
}

std::string ProfileUpdate(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& value) {
  const Encoding encoding = EncodingOf(content);
  std::string section_bytes(BeforeNul(section)), key_bytes(BeforeNul(key)),
      value_bytes(BeforeNul(value));
  if (encoding == Encoding::kUtf16 &&
      (!Encode(section, encoding, &section_bytes) || !Encode(key, encoding, &key_bytes) ||
       !Encode(value, encoding, &value_bytes))) {
    return content;
  }
  std::string_view section_name = Trim(section_bytes);
  std::string_view key_name = Trim(key_bytes);
  if (!WritableArguments(section_name, key_name, value_bytes)) return content;
  return FileBytes(
      Update(WorkText(content, encoding), section_name, key_name, ValueText(value_bytes)), content,
      encoding);
}

std::string ProfileGet(const std::string& content, const std::string& section,
                       const std::string& key, const std::string& default_value, std::size_t size) {
  const Encoding encoding = EncodingOf(content);
  std::string section_bytes, key_bytes;
  if (!Encode(section, encoding, &section_bytes) || !Encode(key, encoding, &key_bytes)) {
    return DefaultResult(default_value, size, true);
  }
  std::optional<std::string> value =
      FoundValue(WorkText(content, encoding), section_bytes, key_bytes, size);
  if (!value) return DefaultResult(default_value, size, true);
  return Decode(*value, encoding);
}

std::string GetPrivateProfileString(Platform& platform, const std::string& section,
                                    const std::string& key, const std::string& default_value,
                                    std::size_t size, const std::string& file) {
  std::string content;
  if (!platform.ReadFile(file, &content).ok()) return DefaultResult(default_value, size, true);
  return ProfileGet(content, section, key, default_value, size);
}

Status ProfileSet(std::string* content, const std::string& section, const std::string& key,
                  const std::string& value) {
  const Encoding encoding = EncodingOf(*content);
  std::string section_bytes, key_bytes, value_bytes;
  if (!Encode(section, encoding, &section_bytes) || !Encode(key, encoding, &key_bytes) ||
      !Encode(value, encoding, &value_bytes) ||
      !WritableArguments(Trim(section_bytes), key_bytes, value_bytes)) {
    return Status::Error(
        kErrPathFileAccess,
        "profile section, key or value holds a line break or a reserved character");
  }
  const std::string work = WorkText(*content, encoding);
  std::string updated = Update(work, Trim(section_bytes), Trim(key_bytes), ValueText(value_bytes));
  if (updated != work) *content = FileBytes(updated, *content, encoding);
  return Status::Ok();
}

Status WritePrivateProfileString(Platform& platform, const std::string& section,
                                 const std::string& key, const std::string& value,
                                 const std::string& file) {
  std::string content;
  Status read = platform.ReadFile(file, &content);
  if (!read.ok() && read.error != kErrFileNotFound) return read;
  if (!read.ok()) content.clear();
  std::string updated = content;
  if (Status s = ProfileSet(&updated, section, key, value); !s.ok()) return s;
  if (read.ok() && updated == content) return Status::Ok();
  return platform.RewriteFile(file, updated);
}

}  // namespace zr
