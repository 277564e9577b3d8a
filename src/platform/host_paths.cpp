#include "platform/host_paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <iterator>
#include <cstring>

namespace zr::host {

namespace {

bool IsFolder(const std::string& host, struct stat* st) {
  return ::stat(host.c_str(), st) == 0 && S_ISDIR(st->st_mode);
}

bool IsFolder(const std::string& host) {
  struct stat st;
  return IsFolder(host, &st);
}

// Finds `name` in the host folder `folder` by a scan: the smallest (in bytes)
// entry equal to it without regard to case.
bool ScanForEntry(const std::string& folder, const std::string& name, std::string* found) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  const std::string folded = FoldCase(name);
  bool any = false;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view candidate(entry->d_name);
    if (!FoldsTo(candidate, folded)) continue;
    if (!any || candidate < std::string_view(*found)) {
      *found = std::string(candidate);
      any = true;
    }
  }
  ::closedir(dir);
  return any;
}

// Finds `name` in the host folder `folder`: the exact name when it exists,
// otherwise the smallest (in bytes) entry equal to it without regard to case.
// `*exact` tells whether the exact name was found, with its lstat in `st`.
bool FindEntry(const std::string& folder, const std::string& name, std::string* found,
               struct stat* st, bool* exact, NameCache* cache) {
  *exact = false;
  if (::lstat(JoinHost(folder, name).c_str(), st) == 0) {
    *found = name;
    *exact = true;
    return true;
  }
  if (errno != ENOENT) return false;
  return cache != nullptr ? cache->Find(folder, name, found) : ScanForEntry(folder, name, found);
}

// A found component is a folder when it is one or links to one; `st` is its
// lstat when `have_lstat`.
bool IsFolderEntry(const std::string& host, const struct stat& st, bool have_lstat) {
  if (have_lstat && S_ISDIR(st.st_mode)) return true;
  if (have_lstat && !S_ISLNK(st.st_mode)) return false;
  return IsFolder(host);
}

// Host path of the first `count` components of `path` below `root`, as typed.
std::string ExactHostPath(const std::string& root, const WindowsPath& path, std::size_t count) {
  std::string host = root;
  for (std::size_t i = 0; i < count; ++i) host = JoinHost(host, path.parts[i]);
  return host;
}

}  // namespace

std::string JoinHost(const std::string& folder, std::string_view name) {
  std::string out = folder;
  if (out.empty() || out.back() != '/') out += '/';
  out += name;
  return out;
}

bool NameCache::SameStamp(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
         a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

void NameCache::Drop(std::unordered_map<std::string, Folder>::iterator it) {
  names_ -= it->second.count;
  recent_.erase(it->second.used);
  folders_.erase(it);
}

void NameCache::Forget(const std::string& folder) {
  auto it = folders_.find(folder);
  if (it != folders_.end()) Drop(it);
}

NameCache::Folder* NameCache::Scan(const std::string& folder, const struct stat& stamp,
                                   int dirfd) {
  Forget(folder);
  int fd = dirfd >= 0 ? ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC)
                      : ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return nullptr;
  }
  ++scans_;
  Folder entry;
  entry.stamp = stamp;
  while (const dirent* d = ::readdir(dir)) {
    std::string_view name(d->d_name);
    if (name == "." || name == "..") continue;
    std::vector<std::string>& spellings = entry.names[FoldCase(name)];
    spellings.insert(std::lower_bound(spellings.begin(), spellings.end(), name), std::string(name));
    ++entry.count;
  }
  ::closedir(dir);
  while (!recent_.empty() && (folders_.size() >= kMaxFolders || names_ + entry.count > kMaxNames)) {
    Drop(folders_.find(recent_.back()));
  }
  recent_.push_front(folder);
  entry.used = recent_.begin();
  names_ += entry.count;
  return &(folders_[folder] = std::move(entry));
}

bool NameCache::Find(const std::string& folder, const std::string& name, std::string* found,
                     const struct stat* folder_stat) {
  struct stat now;
  if (folder_stat == nullptr) {
    if (::stat(folder.c_str(), &now) != 0) {
      Forget(folder);
      return false;
    }
    folder_stat = &now;
  }
  Folder* entry = Current(folder, *folder_stat, -1);
  if (entry == nullptr) return false;
  auto names = entry->names.find(FoldCase(name));
  if (names == entry->names.end()) return false;
  *found = names->second.front();
  return true;
}

// The memory of `folder` as its stamp is now, scanned again when it moved.
NameCache::Folder* NameCache::Current(const std::string& folder, const struct stat& stamp,
                                      int dirfd) {
  auto it = folders_.find(folder);
  if (it != folders_.end() && (SameStamp(it->second.stamp, stamp) ||
                                (it->second.ours_since && it->second.stamp.st_dev == stamp.st_dev &&
                                 it->second.stamp.st_ino == stamp.st_ino))) {
    it->second.stamp = stamp;
    it->second.ours_since = false;
    recent_.splice(recent_.begin(), recent_, it->second.used);
    return &it->second;
  }
  return Scan(folder, stamp, dirfd);
}

bool NameCache::FindAt(int dirfd, const std::string& folder, const std::string& name,
                       std::string* found, bool* gone) {
  struct stat now;
  *gone = ::fstat(dirfd, &now) != 0 || now.st_nlink == 0;
  if (*gone) {
    Forget(folder);
    return false;
  }
  Folder* entry = Current(folder, now, dirfd);
  if (entry == nullptr) return false;
  auto names = entry->names.find(FoldCase(name));
  if (names == entry->names.end()) return false;
  const std::vector<std::string>& spellings = names->second;
  *found = std::binary_search(spellings.begin(), spellings.end(), name) ? name : spellings.front();
  return true;
}

void NameCache::Update(const std::string& folder, const std::string& name, bool added,
                       int dirfd) {
  auto it = folders_.find(folder);
  if (it == folders_.end()) return;
  Folder& entry = it->second;
  // The change was ours; a change by someone else since the last look is
  // lost with the old times only if it fell between that look and ours.
  if (dirfd >= 0) {
    entry.ours_since = true;
  } else if (::stat(folder.c_str(), &entry.stamp) != 0) {
    Drop(it);
    return;
  }
  const std::string key = FoldCase(name);
  std::vector<std::string>& spellings = entry.names[key];
  auto at = std::lower_bound(spellings.begin(), spellings.end(), name);
  const bool there = at != spellings.end() && *at == name;
  if (added && !there) {
    spellings.insert(at, name);
    ++entry.count;
    ++names_;
  } else if (!added && there) {
    spellings.erase(at);
    --entry.count;
    --names_;
  }
  if (spellings.empty()) entry.names.erase(key);
}

void NameCache::Added(const std::string& folder, const std::string& name, int dirfd) {
  Update(folder, name, true, dirfd);
}

void NameCache::Removed(const std::string& folder, const std::string& name, int dirfd) {
  Update(folder, name, false, dirfd);
}

FolderHandles::~FolderHandles() {
  for (auto& [key, handle] : handles_) ::close(handle.fd);
}

FolderHandles::Handle* FolderHandles::Find(const std::string& key) {
  auto it = index_.find(key);
  if (it == index_.end()) return nullptr;
  handles_.splice(handles_.begin(), handles_, it->second);
  return &it->second->second;
}

FolderHandles::Handle* FolderHandles::Open(const std::string& key, const std::string& host) {
  Forget(key);
  const int fd = ::open(host.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // The kernel names the folder it opened, every link on the way resolved.
  char real[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), real, sizeof(real) - 1);
  if (length <= 0 || real[0] != '/') {
    ::close(fd);
    errno = ENOENT;
    return nullptr;
  }
  while (handles_.size() >= kMaxHandles) Close(std::prev(handles_.end()));
  handles_.emplace_front(key, Handle{fd, host, std::string(real, static_cast<std::size_t>(length))});
  index_[key] = handles_.begin();
  return &handles_.front().second;
}

void FolderHandles::Close(std::list<std::pair<std::string, Handle>>::iterator it) {
  ::close(it->second.fd);
  index_.erase(it->first);
  handles_.erase(it);
}

void FolderHandles::Forget(const std::string& key) {
  auto it = index_.find(key);
  if (it != index_.end()) Close(it->second);
}

void FolderHandles::ForgetHost(const std::string& host) {
  for (auto it = handles_.begin(); it != handles_.end();) {
    const std::string& held = it->second.host;
    const bool below = held.size() > host.size() && held.compare(0, host.size(), host) == 0 &&
                       held[host.size()] == '/';
    auto next = std::next(it);
    if (held == host || below) Close(it);
    it = next;
  }
}

int Resolution::MissingError() const {
  if (exists()) return kErrNone;
  return found + 1 == total ? kErrFileNotFound : kErrPathNotFound;
}

Status Resolve(const std::string& root, const WindowsPath& path, Resolution* out,
               NameCache* cache) {
  Resolution r;
  r.total = path.parts.size();
  r.host = root;
  // Most paths exist as typed. When the whole path, or else its folder, is
  // there exactly, the lookup of each component would find the exact name (and
  // a folder on the way), so one call stands for that walk, and for the check
  // of the drive's folder, which lies on the way; the last component of a path
  // whose folder exists exactly is then looked up on its own.
  std::size_t start = 0;
  bool start_missing_exactly = false;  // the exact name of parts[start] is not there
  bool root_is_folder = false;
  struct stat folder_stat {};
  if (r.total > 0) {
    const std::string whole = ExactHostPath(root, path, r.total);
    struct stat st;
    if (::lstat(whole.c_str(), &st) == 0) {
      r.host = whole;
      r.found = r.total;
      *out = std::move(r);
      return Status::Ok();
    }
    const bool whole_missing = errno == ENOENT;
    if (r.total > 1) {
      std::string folder = ExactHostPath(root, path, r.total - 1);
      if (IsFolder(folder, &folder_stat)) {
        start = r.total - 1;
        r.found = start;
        r.host = std::move(folder);
        root_is_folder = true;
      }
    }
    start_missing_exactly = whole_missing && start + 1 == r.total;
  }
  if (!root_is_folder && !IsFolder(root)) {
    return Status::Error(kErrDiskNotReady, "drive folder missing: " + root);
  }
  bool searching = true;
  for (std::size_t i = start; i < path.parts.size(); ++i) {
    std::string name = path.parts[i];
    if (searching) {
      std::string found;
      struct stat st {};
      bool exact = false;
      const bool last = i + 1 == path.parts.size();
      bool exists = false;
      if (i != start || !start_missing_exactly) {
        exists = FindEntry(r.host, name, &found, &st, &exact, cache);
      } else if (cache != nullptr) {
        exists = cache->Find(r.host, name, &found, root_is_folder ? &folder_stat : nullptr);
      } else {
        exists = ScanForEntry(r.host, name, &found);
      }
      if (exists && (last || IsFolderEntry(JoinHost(r.host, found), st, exact))) {
        name = found;
        ++r.found;
      } else {
        searching = false;
      }
    }
    r.host = JoinHost(r.host, name);
  }
  // A share whose folder is missing is a drive that is not ready.
  if (r.found < path.root_parts()) return Status::Error(kErrDiskNotReady, "no share: " + r.host);
  *out = std::move(r);
  return Status::Ok();
}

}  // namespace zr::host
