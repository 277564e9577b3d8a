#include "platform/overlay_platform.h"

#include "platform/windows_path.h"

namespace zr {

namespace {

// "*" any run, "?" one character; "*.*" every name; names compared folded.
bool NameMatches(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") pattern = "*";
  const std::string p = FoldCase(pattern), t = FoldCase(name);
  std::size_t i = 0, j = 0, star = std::string::npos, mark = 0;
  while (j < t.size()) {
    if (i < p.size() && (p[i] == '?' || p[i] == t[j])) {
      ++i;
      ++j;
    } else if (i < p.size() && p[i] == '*') {
      star = i++;
      mark = j;
    } else if (star != std::string::npos) {
      i = star + 1;
      j = ++mark;
    } else {
      return false;
    }
  }
  while (i < p.size() && p[i] == '*') ++i;
  return i == p.size();
}

}  // namespace

std::string OverlayPlatform::Key(const std::string& path) const {
  const std::optional<WindowsPath> current = WindowsPath::Parse(target_.CurrentFolder());
  const std::optional<WindowsPath> parsed =
      WindowsPath::Parse(path, current.value_or(WindowsPath{}));
  return parsed ? parsed->Key() : FoldCase(path);
}

std::string OverlayPlatform::ParentKey(const std::string& key) const {
  const std::optional<WindowsPath> parsed = WindowsPath::Parse(key);
  return parsed ? parsed->Parent().Key() : key;
}

std::string OverlayPlatform::Written(const std::string& path) const {
  const auto found = files_.find(Key(path));
  return found == files_.end() ? std::string() : found->second.bytes;
}

bool OverlayPlatform::FolderThere(const std::string& path) {
  unsigned attributes = 0;
  return GetAttributes(path, &attributes).ok() && (attributes & kAttrFolder) != 0;
}

// The key of a name about to be made: its folder must be there.
Status OverlayPlatform::NewName(const std::string& path, std::string* key) {
  *key = Key(path);
  const std::optional<WindowsPath> parsed = WindowsPath::Parse(*key);
  if (!parsed || parsed->is_root()) return Status::Error(kErrPathFileAccess, "a root: " + path);
  if (!FolderThere(parsed->Parent().Text())) {
    return Status::Error(kErrPathNotFound, "folder not found: " + path);
  }
  std::string_view bare = path;
  while (!bare.empty() && (bare.back() == '\\' || bare.back() == '/')) bare.remove_suffix(1);
  if (!IsCreatableName(NameOfText(bare, "\\/"))) {
    return Status::Error(kErrPathNotFound, "name not allowed: " + path);
  }
  return Status::Ok();
}

Status OverlayPlatform::List(const std::string& pattern, ListKind kind,
                             std::vector<FolderEntry>* entries) {
  entries->clear();
  const std::string folder_text(FolderOfText(pattern, "\\/"));
  const std::string name_pattern(NameOfText(pattern, "\\/"));
  const std::string folder = ParentKey(Key(pattern));
  Status status;
  if (folders_.count(folder) == 0) {
    status = target_.List(pattern, kind, entries);
    if (!status.ok()) return status;
    std::erase_if(*entries, [&](const FolderEntry& e) {
      return gone_.count(Key(folder_text + e.name)) != 0 ||
             folders_.count(Key(folder_text + e.name)) != 0 ||
             files_.count(Key(folder_text + e.name)) != 0;
    });
  }
  for (const auto& [key, name] : folders_) {
    if (kind != ListKind::kFilesOnly && ParentKey(key) == folder &&
        NameMatches(name_pattern, name)) {
      entries->push_back({name, kAttrFolder});
    }
  }
  for (const auto& [key, file] : files_) {
    if (ParentKey(key) == folder && NameMatches(name_pattern, file.name)) {
      entries->push_back({file.name, kAttrNormal});
    }
  }
  return status;
}

Status OverlayPlatform::GetAttributes(const std::string& path, unsigned* attributes) {
  const std::string key = Key(path);
  if (folders_.count(key) != 0) return *attributes = kAttrFolder, Status::Ok();
  if (files_.count(key) != 0) return *attributes = kAttrNormal, Status::Ok();
  if (gone_.count(key) != 0) return Status::Error(kErrFileNotFound, "deleted: " + path);
  return target_.GetAttributes(path, attributes);
}

Status OverlayPlatform::SetAttributes(const std::string& path, unsigned /*attributes*/) {
  unsigned now = 0;
  return GetAttributes(path, &now);
}

Status OverlayPlatform::CopyFile(const std::string& from, const std::string& to) {
  unsigned attributes = 0;
  if (Status s = GetAttributes(from, &attributes); !s.ok()) return s;
  if ((attributes & kAttrFolder) != 0)
    return Status::Error(kErrPathFileAccess, "a folder: " + from);
  std::string key;
  if (Status s = NewName(to, &key); !s.ok()) return s;
  if (folders_.count(key) != 0) return Status::Error(kErrPathFileAccess, "a folder: " + to);
  const auto own = files_.find(Key(from));
  const std::uint64_t size = own != files_.end() ? own->second.size : FileSize(target_, from);
  files_[key] = {std::string(NameOfText(to, "\\/")), {}, size};
  gone_.erase(key);
  copies_.push_back({from, to, size});
  return Status::Ok();
}

Status OverlayPlatform::DeleteFile(const std::string& path) {
  const std::string key = Key(path);
  if (files_.erase(key) != 0) return Status::Ok();
  unsigned attributes = 0;
  if (Status s = GetAttributes(path, &attributes); !s.ok()) return s;
  if ((attributes & kAttrFolder) != 0)
    return Status::Error(kErrPathFileAccess, "a folder: " + path);
  gone_.insert(key);
  return Status::Ok();
}

Status OverlayPlatform::CreateFolder(const std::string& path) {
  std::string key;
  if (Status s = NewName(path, &key); !s.ok()) return s;
  unsigned attributes = 0;
  if (GetAttributes(path, &attributes).ok()) return Status::Error(kErrPathFileAccess, "exists");
  std::string_view bare = path;
  while (!bare.empty() && (bare.back() == '\\' || bare.back() == '/')) bare.remove_suffix(1);
  folders_[key] = std::string(NameOfText(bare, "\\/"));
  gone_.erase(key);
  return Status::Ok();
}

Status OverlayPlatform::RemoveFolder(const std::string& path) {
  const std::string key = Key(path);
  if (folders_.erase(key) != 0) return Status::Ok();
  if (!FolderThere(path)) return Status::Error(kErrPathNotFound, "folder not found: " + path);
  gone_.insert(key);
  return Status::Ok();
}

Status OverlayPlatform::ReadFile(const std::string& path, std::string* bytes) {
  const std::string key = Key(path);
  if (const auto found = files_.find(key); found != files_.end()) {
    *bytes = found->second.bytes;
    return Status::Ok();
  }
  if (gone_.count(key) != 0) return Status::Error(kErrFileNotFound, "deleted: " + path);
  return target_.ReadFile(path, bytes);
}

Status OverlayPlatform::WriteFile(const std::string& path, const std::string& bytes) {
  std::string key;
  if (Status s = NewName(path, &key); !s.ok()) return s;
  files_[key] = {std::string(NameOfText(path, "\\/")), bytes, bytes.size()};
  gone_.erase(key);
  return Status::Ok();
}

Status OverlayPlatform::AppendFile(const std::string& path, const std::string& bytes) {
  std::string key;
  if (Status s = NewName(path, &key); !s.ok()) return s;
  auto found = files_.find(key);
  if (found == files_.end()) {
    std::string old;
    if (gone_.count(key) == 0) IgnoreStatus(target_.ReadFile(path, &old), "a new file is empty");
    found = files_.emplace(key, File{std::string(NameOfText(path, "\\/")), old, old.size()}).first;
  }
  found->second.bytes += bytes;
  found->second.size = found->second.bytes.size();
  gone_.erase(key);
  return Status::Ok();
}

Status OverlayPlatform::RenameFile(const std::string& from, const std::string& to) {
  std::string bytes;
  if (Status s = ReadFile(from, &bytes); !s.ok()) return s;
  if (Status s = WriteFile(to, bytes); !s.ok()) return s;
  return DeleteFile(from);
}

Status OverlayPlatform::Run(const std::string& command_line, int* exit_code,
                            const std::function<bool()>& /*poll*/) {
  commands_.push_back(command_line);
  *exit_code = -1;
  return Status::Error(kErrPathFileAccess, "nothing is started in a dry run");
}

Status OverlayPlatform::SumFile(const std::string& path, FileSum* sum) {
  const std::string key = Key(path);
  if (const auto found = files_.find(key); found != files_.end()) {
    *sum = {found->second.size, 0};
    return Status::Ok();
  }
  if (gone_.count(key) != 0) return Status::Error(kErrFileNotFound, "deleted: " + path);
  return target_.SumFile(path, sum);
}

}  // namespace zr
