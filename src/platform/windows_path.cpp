#include "platform/windows_path.h"

#include <cctype>

namespace zr {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> SplitComponents(std::string_view text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || IsSeparator(text[i])) {
      if (i > start) out.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

// Applies ".", ".." and the trailing dot/blank rule to each component and
// appends the result to `path` (never climbing above its root).
void AppendComponents(const std::vector<std::string>& components, WindowsPath* path) {
  for (const std::string& raw : components) {
    if (raw == ".") continue;
    if (raw == "..") {
      if (path->parts.size() > path->root_parts()) path->parts.pop_back();
      continue;
    }
    std::string clean = CleanComponent(raw);
    if (!clean.empty()) path->parts.push_back(std::move(clean));
  }
}

char UpperDrive(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The byte at `i` of `text` folded to lower case. Every folded letter keeps
// its UTF-8 length (Ÿ U+0178 and ÿ U+00FF are both two bytes), so a byte
// folds by itself and its neighbours: a lead byte never follows a lead byte
// inside a character, so C3 or C5 before a continuation byte is its lead.
unsigned char FoldedByte(std::string_view text, std::size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c == 0xC5) {  // Ÿ (C5 B8) becomes ÿ (C3 BF)
    return i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xB8 ? 0xC3 : c;
  }
  if (c < 0x80 || c > 0xBF || i == 0) return c;
  const unsigned char lead = static_cast<unsigned char>(text[i - 1]);
  if (lead == 0xC3 && c <= 0x9E && c != 0x97) return static_cast<unsigned char>(c + 0x20);
  if (lead == 0xC5) {
    if (c == 0x92 || c == 0xA0 || c == 0xBD) return static_cast<unsigned char>(c + 1);  // Œ Š Ž
    if (c == 0xB8) return 0xBF;
  }
  return c;
}

}  // namespace

std::optional<WindowsPath> WindowsPath::Parse(std::string_view text, const WindowsPath& current) {
  if (text.empty()) return std::nullopt;
  WindowsPath result;
  std::string_view rest;
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
    std::vector<std::string> components = SplitComponents(text.substr(2));
    if (components.size() < 2) return std::nullopt;
    result.drive = 0;
    std::string server = CleanComponent(components[0]);
    std::string share = CleanComponent(components[1]);
    if (server.empty() || share.empty() || server == ".." || share == "..") return std::nullopt;
    result.parts = {server, share};
    components.erase(components.begin(), components.begin() + 2);
    AppendComponents(components, &result);
    return result;
  }
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') {
    result.drive = text[0];
    rest = text.substr(2);
    const bool same_drive = !current.is_unc() && UpperDrive(text[0]) == UpperDrive(current.drive);
    if ((rest.empty() || !IsSeparator(rest[0])) && same_drive) result.parts = current.parts;
  } else if (IsSeparator(text[0])) {
    result.drive = current.drive;
    result.parts.assign(current.parts.begin(),
                        current.parts.begin() + static_cast<long>(current.root_parts()));
    rest = text;
  } else {
    result = current;
    rest = text;
  }
  AppendComponents(SplitComponents(rest), &result);
  return result;
}

std::optional<WindowsPath> WindowsPath::Parse(std::string_view text) {
  return Parse(text, WindowsPath{});
}

std::string WindowsPath::Text() const {
  std::string text;
  if (is_unc()) {
    text = "\\\\";
  } else {
    text = {drive, ':', '\\'};
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += '\\';
    text += parts[i];
  }
  return text;
}

WindowsPath WindowsPath::Join(std::string_view below) const {
  WindowsPath joined = *this;
  AppendComponents(SplitComponents(below), &joined);
  return joined;
}

WindowsPath WindowsPath::Parent() const {
  WindowsPath parent = *this;
  if (!is_root()) parent.parts.pop_back();
  return parent;
}

std::string WindowsPath::Key() const { return FoldCase(Text()); }

bool WindowsPath::LiesBelow(const WindowsPath& folder) const {
  if (parts.size() <= folder.parts.size() || is_unc() != folder.is_unc()) return false;
  if (!is_unc() && UpperDrive(drive) != UpperDrive(folder.drive)) return false;
  for (std::size_t i = 0; i < folder.parts.size(); ++i) {
    if (!EqualsNoCase(parts[i], folder.parts[i])) return false;
  }
  return true;
}

std::string PickedFolderForm(std::string path) {
  if (path.size() == 2 && path[1] == ':') return path + "\\";
  if (path.size() == 3 && path[1] == ':') return path;
  while (path.size() > 3 && path.back() == '\\' && path != "\\\\") path.pop_back();
  if (path == "\\\\" || path == "\\") return "";
  return path;
}

std::string CompleteDrive(std::string path) {
  if (path.rfind("\\\\", 0) == 0) return path;
  if (!path.empty() && path[0] == '\\') path = "C:" + path;
  if (path.rfind(":\\", 0) == 0) path = "C" + path;
  if (path.size() < 2 || path[1] != ':') path = "C:\\" + path;
  return path;
}

std::string_view FolderOfText(std::string_view text, std::string_view separators) {
  const std::size_t last = text.find_last_of(separators);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view NameOfText(std::string_view text, std::string_view separators) {
  return text.substr(FolderOfText(text, separators).size());
}

std::string CleanComponent(std::string_view name) {
  std::size_t end = name.size();
  while (end > 0 && (name[end - 1] == '.' || name[end - 1] == ' ')) --end;
  return std::string(name.substr(0, end));
}

bool IsControlCharacter(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < 32 || code == 127;
}

bool IsForbiddenInName(char c) {
  return IsControlCharacter(c) || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const std::string folded = FoldCase(base);
  if (folded == "con" || folded == "prn" || folded == "aux" || folded == "nul") return true;
  return folded.size() == 4 && (folded.starts_with("com") || folded.starts_with("lpt")) &&
         folded[3] >= '1' && folded[3] <= '9';
}

bool IsCreatableName(std::string_view name) {
  if (name.empty() || IsDeviceName(name)) return false;
  for (char c : name) {
    if (IsForbiddenInName(c)) return false;
  }
  return true;
}

std::string FoldCase(std::string_view text) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(FoldedByte(text, i));
  return out;
}

bool FoldsTo(std::string_view candidate, std::string_view folded) {
  if (candidate.size() != folded.size()) return false;
  for (std::size_t i = 0; i < candidate.size(); ++i) {
    if (FoldedByte(candidate, i) != static_cast<unsigned char>(folded[i])) return false;
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

bool LessNoCase(std::string_view a, std::string_view b) {
  std::string fa = FoldCase(a), fb = FoldCase(b);
  if (fa != fb) return fa < fb;
  return a < b;
}

}  // namespace zr
