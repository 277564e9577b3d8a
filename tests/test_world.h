// A temporary world for tests: a host folder per drive (A:, C:, D:) and a UNC
// root, all below one fresh temporary folder that is removed afterwards, the
// host platform over that map, the scripted user interface, and a Session
// (the windows' tests take tests/ui_test_world.h, whose world holds the
// session with the window model). Nothing outside the temporary folder is
// ever touched.
#ifndef ZARIREVO_TESTS_TEST_WORLD_H_
#define ZARIREVO_TESTS_TEST_WORLD_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/session.h"
#include "platform/host_platform.h"
#include "ui/scripted_ui.h"

namespace zr::testing {

class TestWorld {
 public:
  /// Drives A:, C: and D: mapped to <root>/a, <root>/c, <root>/d (created),
  /// UNC names below <root>/unc, the Windows directory C:\WINDOWS (created).
  /// The current folder starts at C:\.
  TestWorld();
  ~TestWorld();
  TestWorld(const TestWorld&) = delete;
  TestWorld& operator=(const TestWorld&) = delete;

  const std::string& root() const { return root_; }
  const DriveMap& drive_map() const { return map_; }
  Platform& platform() { return *platform_; }
  ScriptedUi& ui() { return ui_; }
  /// The session the domain's operations are handed.
  Session& program() { return *session_; }

  /// Host path of a Windows path in this world ("C:\X\Y" -> <root>/c/X/Y),
  /// written as given (no case matching).
  std::string Host(const std::string& windows_path) const;
  /// The host path as the program names it (Platform::ToHostPath: existing
  /// names in their host spelling, the host's separators), "\" doubled as in
  /// a JSON text when `json`.
  std::string HostShown(const std::string& windows_path, bool json = false);
  /// Writes a file (creating its folders) with raw bytes.
  void WriteFile(const std::string& windows_path, const std::string& bytes);
  /// Writes a text file: each line ended with CR LF, bytes as given.
  void WriteLines(const std::string& windows_path, const std::vector<std::string>& lines);
  void MakeFolder(const std::string& windows_path);
  bool Exists(const std::string& windows_path) const;
  std::string ReadFile(const std::string& windows_path) const;
  /// Removes a drive's host folder, so the drive is not ready.
  void RemoveDrive(char letter);
  /// Creates the drive's host folder again (empty).
  void RestoreDrive(char letter);
  /// Makes `windows_link` a symbolic link to `windows_target` (a folder link
  /// when the target is a folder). False where the host cannot: Windows gives
  /// links only to privileged users, and Wine only pretends to make them.
  bool MakeLink(const std::string& windows_target, const std::string& windows_link);
  /// Every file below a Windows folder, as relative paths with "/", sorted.
  std::vector<std::string> Tree(const std::string& windows_folder) const;

  /// Host path of the built PkZip25 program (from the build folder).
  static std::string ArchiverBinary();
  /// Installs the built archiver as the given Windows path (e.g.
  /// "C:\KYCONFIG\SYSTEM\PkZip25.EXE").
  void InstallArchiver(const std::string& windows_path);

 protected:
  using SessionMaker = std::function<std::shared_ptr<Session>(Platform&, UserInterface&)>;
  /// A world whose session `make` builds over its platform and interface.
  explicit TestWorld(const SessionMaker& make);

 private:
  std::string root_;
  DriveMap map_;
  std::unique_ptr<Platform> platform_;
  ScriptedUi ui_;
  std::shared_ptr<Session> session_;
};

/// Entry names of a zip archive (a host path), in the archive's order, read
/// with libzip.
std::vector<std::string> ArchiveEntries(const std::string& host_archive);

/// Writes a zip archive (a host path) of `entries` (name, bytes), deflated (or,
/// with `stored`, without compression), with libzip; names are written as
/// given, also those an honest archiver refuses to write ("../X"), and a name
/// starting with "link:" is stored as a Unix link to the bytes. Throws
/// std::runtime_error when the archive cannot be written.
void WriteArchive(const std::string& host_archive,
                  const std::vector<std::pair<std::string, std::string>>& entries,
                  bool stored = false);
/// Flips the first byte of an entry's stored data, so that the entry no
/// longer decompresses to bytes with its CRC-32. False when the entry is not found.
bool FlipEntryByte(const std::string& host_archive, const std::string& entry);

/// Sets an environment variable of this process (nullptr: removes it); the
/// programs it starts inherit it.
void SetEnvironment(const char* name, const char* value);

}  // namespace zr::testing

#endif  // ZARIREVO_TESTS_TEST_WORLD_H_
