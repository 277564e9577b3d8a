#include "platform/profile.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace zr {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";
// Added to a settings file's name for the file its new content is written to.
constexpr const char* kTemporarySuffix = ".~zr";

bool HasUtf8Mark(std::string_view content) { return content.substr(0, 3) == kUtf8Mark; }

// One line of the file: its text is [start, text_end), its line end ("\n" or
// "\r\n", or nothing for a last line without one) is [text_end, end).
struct Line {
  std::size_t start;
  std::size_t text_end;
  std::size_t end;
};

std::vector<Line> SplitLines(std::string_view content, std::size_t from) {
  std::vector<Line> lines;
  std::size_t start = from;
  while (start < content.size()) {
    std::size_t newline = content.find('\n', start);
    if (newline == std::string_view::npos) {
      lines.push_back({start, content.size(), content.size()});
      break;
    }
    std::size_t text_end = newline;
    if (text_end > start && content[text_end - 1] == '\r') --text_end;
    lines.push_back({start, text_end, newline + 1});
    start = newline + 1;
  }
  return lines;
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
  std::vector<Line> lines;
  std::optional<std::size_t> section_line;   // header of the first matching section
  std::optional<std::size_t> last_key_line;  // last key line of that section
  std::optional<std::size_t> key_line;       // the key's line (first match in that section)
  KeyLine key;
};

Scan ScanProfile(std::string_view content, std::string_view section, std::string_view key) {
  Scan scan;
  scan.utf8 = HasUtf8Mark(content);
  scan.lines = SplitLines(content, scan.utf8 ? kUtf8Mark.size() : 0);
  section = Trim(section);
  key = Trim(key);
  // Only the first section of the name counts: a later one of the same name
  // is neither read nor written.
  bool in_section = false;
  for (std::size_t i = 0; i < scan.lines.size(); ++i) {
    const Line& line = scan.lines[i];
    std::string_view text = Trim(content.substr(line.start, line.text_end - line.start));
    if (auto name = SectionName(text)) {
      in_section = !scan.section_line && SameName(*name, section, scan.utf8);
      if (in_section) scan.section_line = i;
      continue;
    }
    if (!in_section) continue;
    auto key_line = ParseKeyLine(text);
    if (!key_line) continue;
    scan.last_key_line = i;
    if (!scan.key_line && SameName(key_line->key, key, scan.utf8)) {
      scan.key_line = i;
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

std::string Encode(const std::string& text, bool utf8) {
  std::string c_string(BeforeNul(text));
  return utf8 ? c_string : Utf8ToCp1252(c_string);
}

std::string Decode(const std::string& bytes, bool utf8) {
  return utf8 ? bytes : Cp1252ToUtf8(bytes);
}

// Replaces the content of `file` without ever leaving it half written: the
// new bytes go to a temporary file in the same folder, which is then renamed
// over the file (which refuses a read-only file). On any failure the file
// keeps its old bytes and the temporary file is removed. An existing file
// keeps its hidden and system attributes.
Status ReplaceFile(Platform& platform, const std::string& file, const std::string& bytes,
                   bool exists) {
  unsigned attributes = kAttrNormal;
  if (exists) {
    if (Status s = platform.GetAttributes(file, &attributes); !s.ok()) return s;
  }
  const std::string temporary = file + kTemporarySuffix;
  Status status = platform.WriteFile(temporary, bytes);
  if (status.ok() && (attributes & (kAttrHidden | kAttrSystem)) != 0) {
    status = platform.SetAttributes(temporary, attributes & (kAttrHidden | kAttrSystem));
  }
  if (status.ok()) status = platform.RenameFile(temporary, file);
  if (!status.ok()) {
    IgnoreStatus(platform.DeleteFile(temporary), "the failure reported is the write's");
  }
  return status;
}

}  // namespace

std::string ProfileLookup(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& default_value,
                          std::size_t size) {
  Scan scan = ScanProfile(content, BeforeNul(section), BeforeNul(key));
  if (!scan.key_line) return DefaultResult(default_value, size, scan.utf8);
  return CutCharacters(BeforeNul(Unquote(scan.key.value)), size == 0 ? 0 : size - 1, scan.utf8);
}

std::string ProfileUpdate(const std::string& content, const std::string& section,
                          const std::string& key, const std::string& value) {
  std::string_view section_name = Trim(BeforeNul(section));
  std::string_view key_name = Trim(BeforeNul(key));
  if (!WritableArguments(section_name, key_name, BeforeNul(value))) return content;
  const std::string new_value = ValueText(BeforeNul(value));

  Scan scan = ScanProfile(content, section_name, key_name);
  std::string_view bytes = content;
  std::string result;
  result.reserve(content.size() + section_name.size() + key_name.size() + new_value.size() + 8);
  if (scan.key_line) {
    // The key's line is rewritten with the key as the file spells it; its
    // own line end stays.
    const Line& line = scan.lines[*scan.key_line];
    result.append(bytes.substr(0, line.start));
    result.append(scan.key.key).append("=").append(new_value);
    result.append(bytes.substr(line.text_end));
    return result;
  }
  if (scan.section_line) {
    const Line& anchor = scan.lines[scan.last_key_line.value_or(*scan.section_line)];
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

std::string GetPrivateProfileString(Platform& platform, const std::string& section,
                                    const std::string& key, const std::string& default_value,
                                    std::size_t size, const std::string& file) {
  std::string content;
  if (!platform.ReadFile(file, &content).ok()) return DefaultResult(default_value, size, true);
  bool utf8 = HasUtf8Mark(content);
  Scan scan = ScanProfile(content, Encode(section, utf8), Encode(key, utf8));
  if (!scan.key_line) return DefaultResult(default_value, size, true);
  std::string value =
      CutCharacters(BeforeNul(Unquote(scan.key.value)), size == 0 ? 0 : size - 1, utf8);
  return Decode(value, utf8);
}

Status WritePrivateProfileString(Platform& platform, const std::string& section,
                                 const std::string& key, const std::string& value,
                                 const std::string& file) {
  std::string content;
  Status read = platform.ReadFile(file, &content);
  if (!read.ok() && read.error != kErrFileNotFound) return read;
  if (!read.ok()) content.clear();
  bool utf8 = HasUtf8Mark(content);
  std::string section_bytes = Encode(section, utf8);
  std::string key_bytes = Encode(key, utf8);
  std::string value_bytes = Encode(value, utf8);
  if (!WritableArguments(Trim(section_bytes), key_bytes, value_bytes)) {
    return Status::Error(
        kErrPathFileAccess,
        "profile section, key or value holds a line break or a reserved character");
  }
  std::string updated = ProfileUpdate(content, section_bytes, key_bytes, value_bytes);
  if (read.ok() && updated == content) return Status::Ok();
  return ReplaceFile(platform, file, updated, read.ok());
}

}  // namespace zr
