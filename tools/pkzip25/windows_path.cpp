#include "windows_path.h"

#include <cctype>

#include "platform/host_paths.h"

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

// The platform's rule, so that the archiver and the program agree on names.
std::string FoldCase(const std::string& utf8) { return zr::host::FoldCase(utf8); }

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
