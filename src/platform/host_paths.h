// Windows paths (platform/windows_path.h) on a POSIX host: the resolution
// of a path to a host path below the host folder of its drive (which
// MappedPlatform finds through the drive map), the memory of the names of
// host folders, and the handles of host folders.
//
// Resolution looks each component up in its host folder: one lstat for the
// exact name, otherwise one scan of the folder. Among host names equal without
// regard to case the exact one wins, then the smallest in byte order. A path
// that exists as typed (or whose folder does) is found with one lstat of the
// whole (or one stat of the folder) instead of a call per component.
#ifndef ZARIREVO_PLATFORM_HOST_PATHS_H_
#define ZARIREVO_PLATFORM_HOST_PATHS_H_

#include <sys/stat.h>

#include <cstddef>
#include <list>
#include <utility>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/host_platform.h"
#include "platform/host_portable.h"
#include "platform/platform.h"
#include "platform/windows_path.h"

namespace zr::host {

/// Joins a host folder and a name with one "/".
std::string JoinHost(const std::string& folder, std::string_view name);

/// A Windows path resolved on the host: `host` is the host path (the found
/// components in their host spelling, the rest as typed); `found` counts the
/// leading components that exist (each but the last being a folder).
struct Resolution {
  std::string host;
  std::size_t found = 0;
  std::size_t total = 0;

  bool exists() const { return found == total; }
  bool parent_exists() const { return found + 1 >= total; }
  /// Error for a path that must exist: 0, 53 (only the last is missing) or 76.
  int MissingError() const;
};

/// What scans of host folders found, so that a name missing in its exact
/// spelling is looked up without another scan: per folder, each folded name
/// and the host names that fold to it. An entry holds while the folder's
/// device, inode, modification and change times (nanoseconds) are those seen
/// at its scan; any change made by someone else moves them (the kernel gives
/// a change after a stat a new time stamp), and the folder is scanned again.
/// This process's own creates and deletes are entered as they happen, with
/// the folder's new times; those made through a folder's handle are taken
/// with the times the next look at the folder finds (a change by someone
/// else between the two goes unseen, as one between a look and ours). At most kMaxFolders folders and kMaxNames names are
/// kept; the least recently used go first.
class NameCache {
 public:
  static constexpr std::size_t kMaxFolders = 256;
  static constexpr std::size_t kMaxNames = 400000;

  /// Finds `name` in the host folder `folder`: the smallest (in bytes) entry
  /// equal to it without regard to case. `folder_stat`, when given, is a stat
  /// of the folder taken just now.
  bool Find(const std::string& folder, const std::string& name, std::string* found,
            const struct stat* folder_stat = nullptr);
  /// The same through an open handle `dirfd` of the host folder `folder`:
  /// the exact name when it is there, otherwise the smallest equal to it
  /// without regard to case. `*gone` tells that the folder behind the
  /// handle was removed (the handle is then of no more use).
  bool FindAt(int dirfd, const std::string& folder, const std::string& name, std::string* found,
              bool* gone);
  /// This process created `name` in `folder` (or renamed a file there);
  /// `dirfd`, when given, is a handle of the folder.
  void Added(const std::string& folder, const std::string& name, int dirfd = -1);
  /// This process removed `name` from `folder`.
  void Removed(const std::string& folder, const std::string& name, int dirfd = -1);
  /// Forgets a folder (removed, or no longer to be trusted).
  void Forget(const std::string& folder);

  std::size_t scans() const { return scans_; }

 private:
  struct Folder {
    struct stat stamp {};
    std::unordered_map<std::string, std::vector<std::string>> names;  // sorted spellings
    std::size_t count = 0;
    bool ours_since = false;  // changed by this process since `stamp` was read
    std::list<std::string>::iterator used;
  };
  static bool SameStamp(const struct stat& a, const struct stat& b);
  void Update(const std::string& folder, const std::string& name, bool added, int dirfd);
  Folder* Scan(const std::string& folder, const struct stat& stamp, int dirfd = -1);
  Folder* Current(const std::string& folder, const struct stat& stamp, int dirfd);
  void Drop(std::unordered_map<std::string, Folder>::iterator it);

  std::unordered_map<std::string, Folder> folders_;
  std::list<std::string> recent_;  // most recently used first
  std::size_t names_ = 0;
  std::size_t scans_ = 0;
};

/// Open handles of host folders, each with the real location the kernel
/// gave it when it was opened: a file is then opened, created, renamed and
/// looked up relative to its folder's handle, never by a path walked again,
/// so that what was checked of the folder holds for every file in it even if
/// a link is put in place of a folder on the way afterwards. Keyed by the
/// Windows-form folder (its text as parsed); at most kMaxHandles are kept,
/// the least recently used closed first. A handle whose folder is removed
/// is dropped by the caller (`Forget`), which finds out by the folder's
/// link count falling to 0 or a name failing in it.
class FolderHandles {
 public:
  static constexpr std::size_t kMaxHandles = 64;

  struct Handle {
    int fd = -1;        // O_PATH handle of the folder
    std::string host;   // the host path it was opened by
    std::string real;   // its real location then (links resolved)
  };

  FolderHandles() = default;
  FolderHandles(const FolderHandles&) = delete;
  FolderHandles& operator=(const FolderHandles&) = delete;
  ~FolderHandles();

  /// The handle of `key`, or null.
  Handle* Find(const std::string& key);
  /// Opens the folder `host` for `key`; null (errno set) when it cannot be
  /// opened as a folder or its real location cannot be read.
  Handle* Open(const std::string& key, const std::string& host);
  /// Drops `key`'s handle.
  void Forget(const std::string& key);
  /// Drops every handle of the host folder `host` and of the folders below it.
  void ForgetHost(const std::string& host);

 private:
  void Close(std::list<std::pair<std::string, Handle>>::iterator it);
  std::list<std::pair<std::string, Handle>> handles_;  // most recently used first
  std::unordered_map<std::string, std::list<std::pair<std::string, Handle>>::iterator> index_;
};

/// Resolves `path` below `root`, the host folder of its drive (or the UNC
/// root, see MappedPlatform::MappedRoot). Error 71 when that folder, or a
/// UNC name's share folder, is missing; otherwise Ok with the resolution.
/// Names missing in their exact spelling are looked up in `cache` when given.
Status Resolve(const std::string& root, const WindowsPath& path, Resolution* out,
               NameCache* cache = nullptr);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_PATHS_H_
