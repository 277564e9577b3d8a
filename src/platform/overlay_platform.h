// A platform that reads through another one and keeps every change in
// memory instead of making it: folders made, files copied, written,
// appended, renamed or deleted exist for the calls that follow, and nothing
// reaches the platform below. No program is started. It lets an operation
// run as it would (a backup's collection, for one) and tells what it would
// have written, with the drives left untouched.
//
// Paths are keyed by the one case rule against the current folder. A listing
// of a real folder shows the overlay's changes in it; a folder made in the
// overlay lists its overlay entries.
#ifndef ZARIREVO_PLATFORM_OVERLAY_PLATFORM_H_
#define ZARIREVO_PLATFORM_OVERLAY_PLATFORM_H_

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zr {

class OverlayPlatform : public ForwardingPlatform {
 public:
  explicit OverlayPlatform(Platform& below) : ForwardingPlatform(below) {}

  /// A file copied: from where, to where, its size.
  struct Copy {
    std::string from, to;
    std::uint64_t size = 0;
  };
  const std::vector<Copy>& copies() const { return copies_; }
  /// The bytes the overlay holds for a file written or appended ("" when none).
  std::string Written(const std::string& path) const;
  /// Command lines that Run was given (none was run).
  const std::vector<std::string>& commands() const { return commands_; }

  Status List(const std::string& pattern, ListKind kind,
              std::vector<FolderEntry>* entries) override;
  Status GetAttributes(const std::string& path, unsigned* attributes) override;
  Status SetAttributes(const std::string& path, unsigned attributes) override;
  Status CopyFile(const std::string& from, const std::string& to) override;
  Status DeleteFile(const std::string& path) override;
  Status CreateFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status ReadFile(const std::string& path, std::string* bytes) override;
  Status WriteFile(const std::string& path, const std::string& bytes) override;
  Status AppendFile(const std::string& path, const std::string& bytes) override;
  /// Kept like WriteFile: the mark an INI read leaves stays in the overlay.
  Status RewriteFile(const std::string& path, const std::string& bytes) override {
    return WriteFile(path, bytes);
  }
  Status RenameFile(const std::string& from, const std::string& to) override;
  Status Run(const std::string& command_line, int* exit_code,
             const std::function<bool()>& poll) override;
  Status SumFile(const std::string& path, FileSum* sum) override;

 private:
  struct File {
    std::string name;   // as first written
    std::string bytes;  // written bytes (copies keep only their size)
    std::uint64_t size = 0;
  };
  std::string Key(const std::string& path) const;
  std::string ParentKey(const std::string& key) const;
  bool FolderThere(const std::string& path);
  Status NewName(const std::string& path, std::string* key);

  std::map<std::string, std::string> folders_;  // key -> name
  std::map<std::string, File> files_;           // key -> file
  std::set<std::string> gone_;                  // real paths deleted in the overlay
  std::vector<Copy> copies_;
  std::vector<std::string> commands_;
};

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_OVERLAY_PLATFORM_H_
