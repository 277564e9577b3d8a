// Windows paths (platform/windows_path.h) on a POSIX host: the Windows
// wildcard rules, and the resolution of a path to a host path through a
// DriveMap.
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
/// the folder's new times. At most kMaxFolders folders and kMaxNames names are
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
  /// This process created `name` in `folder` (or renamed a file there).
  void Added(const std::string& folder, const std::string& name);
  /// This process removed `name` from `folder`.
  void Removed(const std::string& folder, const std::string& name);
  /// Forgets a folder (removed, or no longer to be trusted).
  void Forget(const std::string& folder);

  std::size_t scans() const { return scans_; }

 private:
  struct Folder {
    struct stat stamp {};
    std::unordered_map<std::string, std::vector<std::string>> names;  // sorted spellings
    std::size_t count = 0;
    std::list<std::string>::iterator used;
  };
  static bool SameStamp(const struct stat& a, const struct stat& b);
  void Update(const std::string& folder, const std::string& name, bool added);
  Folder* Scan(const std::string& folder, const struct stat& stamp);
  void Drop(std::unordered_map<std::string, Folder>::iterator it);

  std::unordered_map<std::string, Folder> folders_;
  std::list<std::string> recent_;  // most recently used first
  std::size_t names_ = 0;
  std::size_t scans_ = 0;
};

/// Resolves `path` through `map`. Error 71 when the drive is not mapped or its
/// host folder (the UNC root) is missing; otherwise Ok with the resolution.
/// Names missing in their exact spelling are looked up in `cache` when given.
Status Resolve(const DriveMap& map, const WindowsPath& path, Resolution* out,
               NameCache* cache = nullptr);

/// The host path of `path` as typed, every component in its typed spelling
/// ("" when the drive is not mapped): where a path that exists as typed is.
std::string ExactHostPath(const DriveMap& map, const WindowsPath& path);

/// The host folder that stands for a drive root ("" when unmapped).
std::string DriveFolder(const DriveMap& map, char letter);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_PATHS_H_
