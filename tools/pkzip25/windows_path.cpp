#include "windows_path.h"

#include <cctype>
#include <cstdint>

namespace pkzip {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

bool IsUnc(const std::string& path) {
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::vector<std::string> SplitComponents(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (IsSeparator(c)) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// Windows drops trailing dots and blanks of a name component.
std::string TrimTrailingDotsAndBlanks(std::string part) {
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  return part;
}

// The root of a full folder text: "C:" or "\\SRV\SHARE".
std::string RootOf(const std::string& full) {
  if (IsUnc(full)) {
    std::vector<std::string> parts = SplitComponents(full);
    std::string root = "\\";
    for (size_t i = 0; i < parts.size() && i < 2; ++i) root += "\\" + parts[i];
    return root;
  }
  if (HasDrive(full)) return full.substr(0, 2);
  return "C:";
}

std::string AppendToFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsSeparator(folder.back())) return folder + name;
  return folder + "\\" + name;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

uint32_t FoldCodePoint(uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
  switch (cp) {
    case 0x152:
      return 0x153;  // OE ligature
    case 0x160:
      return 0x161;  // S caron
    case 0x17D:
      return 0x17E;  // Z caron
    case 0x178:
      return 0xFF;  // Y diaeresis
    default:
      return cp;
  }
}

}  // namespace

std::string MakeFullPath(const std::string& current_folder, const std::string& path) {
  if (IsUnc(path)) return path;
  if (HasDrive(path)) {
    if (path.size() >= 3 && IsSeparator(path[2])) return path;
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    const std::string rest = path.substr(2);
    if (HasDrive(current_folder) &&
        std::toupper(static_cast<unsigned char>(current_folder[0])) == drive) {
      return rest.empty() ? current_folder : AppendToFolder(current_folder, rest);
    }
    return std::string(1, drive) + ":\\" + rest;
  }
  if (!path.empty() && IsSeparator(path[0])) return RootOf(current_folder) + path;
  return AppendToFolder(current_folder, path);
}

bool ParseFullPath(const std::string& full, WindowsPath* out) {
  std::string rest;
  if (IsUnc(full)) {
    out->root = "\\\\";
    rest = full.substr(2);
  } else if (HasDrive(full)) {
    out->root =
        std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(full[0])))) + ":";
    rest = full.substr(2);
  } else {
    return false;
  }
  out->components.clear();
  for (const std::string& raw : SplitComponents(rest)) {
    if (raw == ".") continue;
    if (raw == "..") {
      if (!out->components.empty()) out->components.pop_back();
      continue;
    }
    std::string part = TrimTrailingDotsAndBlanks(raw);
    if (!part.empty()) out->components.push_back(part);
  }
  return true;
}

std::string JoinWindows(const WindowsPath& path) {
  std::string text = path.root;
  if (path.root == "\\\\") {
    for (size_t i = 0; i < path.components.size(); ++i) {
      if (i > 0) text += '\\';
      text += path.components[i];
    }
    return text;
  }
  if (path.components.empty()) return text + "\\";
  for (const std::string& part : path.components) text += "\\" + part;
  return text;
}

std::string StoredName(const WindowsPath& path) {
  std::string name;
  for (const std::string& part : path.components) {
    if (!name.empty()) name += '/';
    name += part;
  }
  return name;
}

bool HasExtension(const std::string& component) {
  const size_t dot = component.rfind('.');
  return dot != std::string::npos && dot + 1 < component.size();
}

std::string FoldCase(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 0;
    bool valid = length > 0 && i + length <= utf8.size();
    uint32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : (lead & 0x0F);
    for (size_t k = 1; valid && k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {  // not a 1-3 byte sequence: copy the byte as it is
      out += utf8[i];
      ++i;
      continue;
    }
    const uint32_t folded = FoldCodePoint(cp);
    if (folded == cp) {
      out.append(utf8, i, length);
    } else {
      AppendUtf8(folded, &out);
    }
    i += length;
  }
  return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return FoldCase(a) == FoldCase(b); }

bool CheckEntryName(const std::string& name, std::vector<std::string>* components,
                    std::string* reason) {
  components->clear();
  if (name.empty()) {
    *reason = "empty name";
    return false;
  }
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      *reason = "control character in name";
      return false;
    }
  }
  if (IsSeparator(name[0])) {
    *reason = "absolute name";
    return false;
  }
  if (name.find(':') != std::string::npos) {
    *reason = "drive letter or ':' in name";
    return false;
  }
  if (name.find_first_of("*?\"<>|") != std::string::npos) {
    *reason = "character not allowed in a file name";
    return false;
  }
  for (const std::string& raw : SplitComponents(name)) {
    if (raw == ".") continue;
    if (raw == "..") {
      *reason = "\"..\" in name";
      return false;
    }
    std::string part = TrimTrailingDotsAndBlanks(raw);
    if (part.empty()) {
      *reason = "name component \"" + raw + "\" not allowed";
      return false;
    }
    components->push_back(part);
  }
  if (components->empty()) {
    *reason = "name without a file";
    return false;
  }
  return true;
}

}  // namespace pkzip
