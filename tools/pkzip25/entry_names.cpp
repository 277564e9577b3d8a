#include "entry_names.h"

#include <algorithm>
#include <cctype>

namespace pkzip {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

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

}  // namespace

std::optional<WindowsPath> MakeFullPath(const std::string& current_folder,
                                        const std::string& text) {
  const WindowsPath current = WindowsPath::Parse(current_folder).value_or(WindowsPath{});
  std::optional<WindowsPath> path = text.empty() ? current : WindowsPath::Parse(text, current);
  if (path && !path->is_unc()) {
    path->drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path->drive)));
  }
  return path;
}

std::string StoredName(const WindowsPath& path) {
  std::string name;
  for (const std::string& part : path.parts) {
    if (!name.empty()) name += '/';
    name += part;
  }
  return name;
}

bool HasExtension(const std::string& component) {
  const size_t dot = component.rfind('.');
  return dot != std::string::npos && dot + 1 < component.size();
}

bool CheckEntryName(const std::string& name, std::vector<std::string>* components,
                    std::string* reason) {
  components->clear();
  if (name.empty()) {
    *reason = "empty name";
    return false;
  }
  if (std::any_of(name.begin(), name.end(), zr::IsControlCharacter)) {
    *reason = "control character in name";
    return false;
  }
  if (IsSeparator(name[0])) {
    *reason = "absolute name";
    return false;
  }
  if (name.find(':') != std::string::npos) {
    *reason = "drive letter or ':' in name";
    return false;
  }
  // Separators divide the components; any other character Windows refuses
  // is refused.
  if (std::any_of(name.begin(), name.end(),
                  [](char c) { return !IsSeparator(c) && zr::IsForbiddenInName(c); })) {
    *reason = "character not allowed in a file name";
    return false;
  }
  for (const std::string& raw : SplitComponents(name)) {
    if (raw == ".") continue;
    if (raw == "..") {
      *reason = "\"..\" in name";
      return false;
    }
    std::string part = zr::CleanComponent(raw);
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
