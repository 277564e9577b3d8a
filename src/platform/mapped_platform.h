// The mapping layer both hosts share: the drive map and its reverse, the
// current drive and folder, the split of a listing pattern, a program path of
// a command line and the real-location rule, written once over the few calls
// each host makes of its own file system (the virtual Host... members).
//
// A drive letter stands for the host folder the map gives it; an unmapped
// letter is not ready (71). A UNC name "\\SERVER\SHARE\..." lies below the
// map's UNC root, its server and share being host folders there; a share
// whose host folder is missing is not ready (71), as a drive is, so that
// both hosts answer alike. A host path maps back through the mapped folder
// that holds it most closely (a UNC name needs its server and its share).
// The real location of a path is the real location of its longest leading
// part that exists, links resolved, then the rest as typed; a link on the
// way that leads nowhere gives 75, as it would send a write elsewhere.
#ifndef ZARIREVO_PLATFORM_MAPPED_PLATFORM_H_
#define ZARIREVO_PLATFORM_MAPPED_PLATFORM_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host_platform.h"
#include "platform/platform.h"
#include "platform/windows_path.h"

namespace zr {

/// Which host entries a listing returns, and in what order: names matching
/// the pattern by the Windows wildcard rule (an exact name by the case rule,
/// its trailing dots and blanks dropped), hidden and system ones only for
/// kEverything, folders not for kFilesOnly; sorted by name without regard to
/// case, equal names by bytes.
class ListingRule {
 public:
  ListingRule(const std::string& names, ListKind kind);
  bool Matches(std::string_view name) const;
  bool Wanted(unsigned attributes) const;
  /// Keeps `entry` in the listing, in its place by the order above.
  void Add(FolderEntry entry);
  /// The listing, sorted.
  void Take(std::vector<FolderEntry>* entries);

 private:
  bool wild_;
  std::string pattern_;
  ListKind kind_;
  std::vector<std::pair<std::string, FolderEntry>> found_;  // folded name, entry
};

class MappedPlatform : public Platform {
 public:
  std::string CurrentFolder() override { return current_.Text(); }
  Status ChangeFolder(const std::string& path) override;
  std::string WindowsFolder() override { return map_.windows_folder; }
  Status ToHostPath(const std::string& path, std::string* host_path) override;
  std::string FromHostPath(const std::string& host_path) override;
  Status RealLocation(const std::string& path, std::string* location) override;

 protected:
  /// `separators` are those of host paths ("/" on POSIX); `case_blind` says
  /// whether the host compares names without regard to case.
  MappedPlatform(const DriveMap& map, const char* separators, bool case_blind);

  /// Sets the current folder to the host folder `host_folder` as the map
  /// gives it back ("C:\" when no mapped folder holds it). For the host's
  /// constructor, once its Host... calls work.
  void StartIn(const std::string& host_folder);

  /// `text` made absolute against the current folder; 76 when it names nothing.
  Status Parse(const std::string& text, WindowsPath* path) const;
  /// A listing pattern's folder and the pattern of its names.
  Status ParseListPattern(const std::string& pattern, WindowsPath* folder,
                          std::string* names) const;
  /// The program path of a command line's first word: ".EXE" added to a name
  /// without extension; 53 when it names no file.
  Status ParseProgram(const std::string& word, WindowsPath* program) const;
  /// The settings that hand the drive map on to a started program.
  std::vector<std::pair<std::string, std::string>> MapSettings() const;

  /// The host folder that stands for the root of `path` (a drive's folder, or
  /// the UNC root that holds server folders), without trailing separator:
  /// the parts of `path` lie below it. 71 when nothing stands for it.
  Status MappedRoot(const WindowsPath& path, std::string* root) const;

  // What the mapping layer asks of the host.

  /// The host path of `path` (existing parts in their host spelling); 71
  /// when its drive or share is not ready.
  virtual Status HostPathOf(const WindowsPath& path, std::string* host) = 0;
  /// The host folder of an existing folder: 76 when it is missing or no folder.
  virtual Status HostFolderOf(const WindowsPath& folder, std::string* host) = 0;
  /// `host_path` made absolute, "." and ".." applied; "" when it cannot be.
  virtual std::string HostAbsolute(const std::string& host_path) = 0;
  /// The absolute spellings under which a mapped host folder may appear.
  virtual std::vector<std::string> HostSpellings(const std::string& folder) = 0;
  /// The real location of an existing host path, "/" separating, links
  /// resolved; nothing when it does not exist (or leads nowhere).
  virtual std::optional<std::string> HostReal(const std::string& host_path) = 0;
  /// Whether `host_path` is a link (of any kind the host knows).
  virtual bool HostIsLink(const std::string& host_path) = 0;

  DriveMap map_;
  WindowsPath current_;
  /// Set by a host whose drive letters are its own when the map names none:
  /// "X:" stands for X:, and without a UNC root a UNC name for itself.
  bool identity_ = false;

 private:
  bool IsSeparator(char c) const;
  bool Below(const std::string& path, const std::string& folder, std::string* rest) const;

  const char* separators_;
  bool case_blind_;
};

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_MAPPED_PLATFORM_H_
