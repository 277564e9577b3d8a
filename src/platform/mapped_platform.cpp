#include "platform/mapped_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/host_portable.h"

namespace zr {

ListingRule::ListingRule(const std::string& names, ListKind kind)
    : wild_(host::HasWildcards(names)),
      pattern_(wild_ ? names : CleanComponent(names)),
      kind_(kind) {}

bool ListingRule::Matches(std::string_view name) const {
  if (name == "." || name == "..") return false;
  return wild_ ? host::WildcardMatch(pattern_, name) : EqualsNoCase(pattern_, name);
}

bool ListingRule::Wanted(unsigned attributes) const {
  if ((attributes & (kAttrHidden | kAttrSystem)) && kind_ != ListKind::kEverything) return false;
  return !((attributes & kAttrFolder) && kind_ == ListKind::kFilesOnly);
}

void ListingRule::Add(FolderEntry entry) {
  std::string key = FoldCase(entry.name);
  found_.emplace_back(std::move(key), std::move(entry));
}

void ListingRule::Take(std::vector<FolderEntry>* entries) {
  std::sort(found_.begin(), found_.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.second.name < b.second.name;
  });
  entries->clear();
  entries->reserve(found_.size());
  for (auto& [key, entry] : found_) entries->push_back(std::move(entry));
  found_.clear();
}

MappedPlatform::MappedPlatform(const DriveMap& map, const char* separators, bool case_blind)
    : map_(map), separators_(separators), case_blind_(case_blind) {}

void MappedPlatform::StartIn(const std::string& host_folder) {
  const std::string start = FromHostPath(host_folder);
  current_ = WindowsPath::Parse(start.empty() ? "C:\\" : start).value_or(WindowsPath{});
}

Status MappedPlatform::Parse(const std::string& text, WindowsPath* path) const {
  std::optional<WindowsPath> parsed = WindowsPath::Parse(text, current_);
  if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + text);
  *path = std::move(*parsed);
  return Status::Ok();
}

Status MappedPlatform::ParseListPattern(const std::string& pattern, WindowsPath* folder,
                                        std::string* names) const {
  std::string folder_text;
  host::SplitListPattern(pattern, &folder_text, names);
  if (folder_text.empty()) {
    *folder = current_;
    return Status::Ok();
  }
  if (Parse(folder_text, folder).ok()) return Status::Ok();
  return Status::Error(kErrPathNotFound, "bad path: " + pattern);
}

Status MappedPlatform::ParseProgram(const std::string& word, WindowsPath* program) const {
  if (word.empty()) return Status::Error(kErrFileNotFound, "no program in the command line");
  *program = WindowsPath::Parse(word, current_).value_or(WindowsPath{});
  if (program->is_root()) return Status::Error(kErrFileNotFound, "bad program path: " + word);
  if (program->parts.back().find('.') == std::string::npos) program->parts.back() += ".EXE";
  return Status::Ok();
}

std::vector<std::pair<std::string, std::string>> MappedPlatform::MapSettings() const {
  return {{"ZARIREVO_DRIVES", map_.DrivesVariable()},
          {"ZARIREVO_UNC", map_.unc_root},
          {"ZARIREVO_WINDIR", map_.windows_folder}};
}

Status MappedPlatform::MappedRoot(const WindowsPath& path, std::string* root) const {
  root->clear();
  if (path.is_unc()) {
    if (!map_.unc_root.empty()) {
      *root = map_.unc_root;
    } else if (identity_) {
      *root = "\\";
    } else {
      return Status::Error(kErrDiskNotReady, "no folder holds the shares: " + path.Text());
    }
    return Status::Ok();
  }
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path.drive)));
  if (identity_ && map_.drives.empty()) {
    *root = std::string{letter, ':'};
    return Status::Ok();
  }
  const auto it = map_.drives.find(letter);
  if (it == map_.drives.end() || it->second.empty()) {
    return Status::Error(kErrDiskNotReady, std::string("drive not mapped: ") + letter + ":");
  }
  *root = it->second;
  return Status::Ok();
}

Status MappedPlatform::ChangeFolder(const std::string& path) {
  WindowsPath target;
  if (Status s = Parse(path, &target); !s.ok()) return s;
  std::string host;
  if (Status s = HostFolderOf(target, &host); !s.ok()) return s;
  current_ = std::move(target);
  return Status::Ok();
}

Status MappedPlatform::ToHostPath(const std::string& path, std::string* host_path) {
  host_path->clear();
  WindowsPath parsed;
  if (Status s = Parse(path, &parsed); !s.ok()) return s;
  return HostPathOf(parsed, host_path);
}

bool MappedPlatform::IsSeparator(char c) const {
  return c != '\0' && std::strchr(separators_, c) != nullptr;
}

// "rest" of `path` below `folder` (compared by the host's case rule), or false.
bool MappedPlatform::Below(const std::string& path, const std::string& folder,
                           std::string* rest) const {
  if (folder.empty() || path.size() < folder.size()) return false;
  const std::string_view head = std::string_view(path).substr(0, folder.size());
  if (case_blind_ ? !EqualsNoCase(head, folder) : head != folder) return false;
  std::string_view after = std::string_view(path).substr(folder.size());
  if (!after.empty() && !IsSeparator(after[0]) && !IsSeparator(folder.back())) return false;
  while (!after.empty() && IsSeparator(after[0])) after.remove_prefix(1);
  *rest = after;
  return true;
}

std::string MappedPlatform::FromHostPath(const std::string& host_path) {
  const std::string absolute = HostAbsolute(host_path);
  if (absolute.empty()) return {};
  if (identity_ && map_.drives.empty() && map_.unc_root.empty()) return absolute;
  std::string best;
  std::size_t best_length = 0;
  const auto consider = [&](const std::string& folder, const std::string& prefix, bool unc) {
    if (folder.empty()) return;
    for (const std::string& spelling : HostSpellings(folder)) {
      std::string rest;
      if (!Below(absolute, spelling, &rest)) continue;
      if (!best.empty() && spelling.size() <= best_length) continue;
      // A UNC name needs its server and its share.
      const std::size_t split = rest.find_first_of(separators_);
      if (unc && (split == std::string::npos ||
                  rest.find_first_not_of(separators_, split) == std::string::npos)) {
        continue;
      }
      std::replace_if(rest.begin(), rest.end(), [&](char c) { return IsSeparator(c); }, '\\');
      best = prefix + rest;
      best_length = spelling.size();
    }
  };
  for (const auto& [letter, folder] : map_.drives) {
    consider(folder, std::string{letter, ':', '\\'}, false);
  }
  consider(map_.unc_root, "\\\\", true);
  return best;
}

Status MappedPlatform::RealLocation(const std::string& path, std::string* location) {
  location->clear();
  WindowsPath parsed;
  if (Status s = Parse(path, &parsed); !s.ok()) return s;
  std::string host;
  if (Status s = HostPathOf(parsed, &host); !s.ok()) return s;
  std::string head = host, tail;
  while (true) {
    if (std::optional<std::string> real = HostReal(head)) {
      if (!real->empty() && real->back() == '/' && !tail.empty()) real->pop_back();
      *location = *real + tail;
      return Status::Ok();
    }
    if (HostIsLink(head)) return Status::Error(kErrPathFileAccess, "link leads nowhere: " + head);
    const std::size_t slash = head.find_last_of(separators_);
    if (slash == std::string::npos) return Status::Error(kErrPathNotFound, "cannot resolve: " + host);
    std::string parent = head.substr(0, slash);
    // The root of a host keeps its separator ("/", "Z:\").
    if (parent.empty() || (parent.size() == 2 && parent[1] == ':')) {
      parent = head.substr(0, slash + 1);
    }
    if (parent == head) return Status::Error(kErrPathNotFound, "cannot resolve: " + host);
    tail = "/" + head.substr(slash + 1) + tail;
    head = std::move(parent);
  }
}

}  // namespace zr
