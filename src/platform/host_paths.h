// Windows-form path texts on a POSIX host: parsing against a current folder,
// case-insensitive name comparison, the Windows wildcard rules, and the
// resolution of a path to a host path through a DriveMap.
//
// Parsing never touches the host. A parsed path keeps the text as it was
// typed (drive letter and component case included); only "." and ".." are
// applied and the trailing dots and blanks of each component dropped.
//
// Names are compared after folding the letters of Windows-1252, in UTF-8, to
// lower case: ASCII, U+00C0..U+00DE to U+00E0..U+00FE (except U+00D7), and
// Š, Œ, Ž, Ÿ to š, œ, ž, ÿ. This is the one case rule of the program (the
// archiver folds by it too). Other bytes pass unchanged; the folded text has
// the same length as the original, byte for byte.
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
#include "platform/platform.h"

namespace zr::host {

/// An absolute Windows path: a drive (letter as typed) or a UNC start, and
/// its components. For UNC paths parts[0] is the server and parts[1] the share.
struct WinPath {
  char drive = 'C';  // 0 for a UNC path
  std::vector<std::string> parts;

  bool is_unc() const { return drive == 0; }
  /// Number of leading parts that form the root ("..” never goes above it).
  std::size_t root_parts() const { return is_unc() ? 2 : 0; }
  /// "c:\a\b", "C:\", "\\SRV\SHARE\X".
  std::string Text() const;
};

/// Makes `text` absolute against `current`. "/" and "\" both separate;
/// "X:\..." is absolute, "X:name" is relative to the current folder when X is
/// the current drive (to X's root otherwise), "\name" starts at the current
/// drive's root (the share of a UNC current folder), anything else is relative
/// to the current folder. False for an empty text or a UNC text without
/// server and share.
bool MakeAbsolute(const std::string& text, const WinPath& current, WinPath* out);

/// Drops trailing dots and blanks, as Windows does where a name is opened.
std::string CleanComponent(std::string_view name);

/// True when Windows would create a file or folder of this name: no control
/// character and none of < > : " | ? * (nor a separator).
bool IsCreatableName(std::string_view name);

std::string FoldCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
/// Orders names without regard to case, ties broken by bytes.
bool LessNoCase(std::string_view a, std::string_view b);

bool HasWildcards(std::string_view pattern);
/// Windows wildcard match without regard to case: "*" any run, "?" one
/// character, "*" and "*.*" match every name, "NAME.*" also matches "NAME",
/// a pattern ending in "." also matches names without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

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
Status Resolve(const DriveMap& map, const WinPath& path, Resolution* out,
               NameCache* cache = nullptr);

/// The host path of `path` as typed, every component in its typed spelling
/// ("" when the drive is not mapped): where a path that exists as typed is.
std::string ExactHostPath(const DriveMap& map, const WinPath& path);

/// The host folder that stands for a drive root ("" when unmapped).
std::string DriveFolder(const DriveMap& map, char letter);

/// Strips trailing "/" (but keeps "/").
std::string TrimHostFolder(std::string folder);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_PATHS_H_
