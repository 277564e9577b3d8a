// The platform layer: everything the program needs of the operating system,
// behind one narrow interface, in the terms of the Windows machine the program
// was made for.
//
// The core works with Windows-form path texts ("C:\KYCONFIG\DAXOR1401\",
// "A:\", "\\SRV\SHARE\DIR", "MAC\L1.MAC" relative to the current folder) and
// with the run-time error numbers of that machine (53, 70, 71, 75, 76, ...).
// Only an implementation of `Platform` turns them into host paths; the core
// never calls the host file system or starts a process except through it, so a
// test can hand it a temporary world (see HostPlatform and DriveMap) or a
// wrapper that injects faults (ForwardingPlatform).
//
// Texts are UTF-8 inside the program. Files that the program reads and writes
// as text are Windows-1252 on disk; the conversion happens where such a file
// is read or written (codepage.h, profile.h), not here: this interface moves
// bytes.
//
// Not thread-safe: the program has one thread.
#ifndef ZARIREVO_PLATFORM_PLATFORM_H_
#define ZARIREVO_PLATFORM_PLATFORM_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zr {

/// Run-time error numbers, as the message boxes and error texts know them.
enum RuntimeError : int {
  kErrNone = 0,
  kErrCancelled = 18,  // "User interrupt occurred": a run ended on the caller's request
  kErrFileNotFound = 53,
  kErrFileInUse = 55,  // held open by another program (a sharing or lock violation)
  kErrDeviceIo = 57,
  kErrDiskFull = 61,
  kErrPermissionDenied = 70,  // also a read-only target or a write-protected drive
  kErrDiskNotReady = 71,      // drive not mapped, or its host folder is missing
  kErrPathFileAccess = 75,    // e.g. creating a folder that already exists
  kErrPathNotFound = 76,
};

/// Outcome of a platform call: `error` is 0 on success, otherwise one of the
/// run-time error numbers above; `detail` is a host message for logs and boxes.
struct [[nodiscard]] Status {
  int error = kErrNone;
  std::string detail;

  bool ok() const { return error == kErrNone; }
  static Status Ok() { return {}; }
  static Status Error(int number, std::string what = {}) { return {number, std::move(what)}; }
};

/// Drops a Status on purpose, where the outcome changes nothing the program
/// does next; `why` says so at the call ("an unreadable folder lists as empty").
inline void IgnoreStatus(const Status& /*status*/, const char* /*why*/) {}

/// File attributes, with the values Windows gives them.
enum Attribute : unsigned {
  kAttrNormal = 0,
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrFolder = 0x10,
};

/// One entry of a folder listing: the name as stored on the host, its
/// attributes, and a file's size in bytes when it was listed (0 for a folder,
/// and where the host does not tell it, as for a link on Windows).
struct FolderEntry {
  std::string name;
  unsigned attributes = kAttrNormal;
  std::uint64_t size = 0;

  bool is_folder() const { return (attributes & kAttrFolder) != 0; }
};

/// A calendar date: year, month 1 to 12, day 1 to 31.
struct Date {
  int year = 0, month = 0, day = 0;
};

/// The size of a file's bytes and their CRC-32 (the checksum zip archives keep).
struct FileSum {
  std::uint64_t size = 0;
  std::uint32_t crc32 = 0;

  bool operator==(const FileSum&) const = default;
};

/// A file held open to add bytes at its end. Each Append hands its bytes to
/// the host before it returns (nothing waits in this process), so that the
/// file is whole for a reader between two calls. Close ends the handle and
/// gives what the host reports of the writes then; a handle destroyed
/// unclosed is closed without a report.
class AppendingFile {
 public:
  virtual ~AppendingFile() = default;
  virtual Status Append(const std::string& bytes) = 0;
  virtual Status Close() = 0;
};

/// What to list: files only, or files and folders; kEverything also the
/// hidden and system files and folders, which no other listing returns.
enum class ListKind { kFilesOnly, kFilesAndFolders, kEverything };

class Platform {
 public:
  virtual ~Platform() = default;

  /// Lists the entries of a folder that match a pattern: `pattern` is a path
  /// whose last component may hold the Windows wildcards "*" and "?"
  /// ("C:\KYCONFIG\*", "A:\*.ZIP", "C:\X\*.*", "C:\KYCONFIG\DAXOR*") or be an
  /// exact name. "*.*" matches every name, with or without a dot. Names are
  /// compared without regard to case. Hidden and system entries (but with
  /// kEverything), "." and ".." are never returned. Entries come sorted by name without regard to case
  /// (the order NTFS returns). A missing folder gives an empty listing and
  /// error 76; a drive that is not ready gives error 71; no match gives an
  /// empty listing and Ok.
  virtual Status List(const std::string& pattern, ListKind kind,
                      std::vector<FolderEntry>* entries) = 0;

  /// Attributes of an existing file or folder; error 53 when it does not exist
  /// (76 when a folder on its way is missing, 71 when the drive is not ready).
  virtual Status GetAttributes(const std::string& path, unsigned* attributes) = 0;
  /// Sets the read-only, hidden and system attributes of a file or folder.
  virtual Status SetAttributes(const std::string& path, unsigned attributes) = 0;

  /// Copies a file, overwriting the target; a read-only target gives error 70.
  virtual Status CopyFile(const std::string& from, const std::string& to) = 0;
  /// Copies a file as CopyFile does and gives the size and CRC-32 of the
  /// bytes copied in `sum`, when known (a copy that succeeded may leave it
  /// empty). The default copies, then sums the copy.
  virtual Status CopyFileSummed(const std::string& from, const std::string& to,
                                std::optional<FileSum>* sum);
  /// Deletes a file; a read-only file gives error 70, a missing one 53.
  virtual Status DeleteFile(const std::string& path) = 0;
  /// Creates one folder (its parent must exist; 75 when it exists already).
  virtual Status CreateFolder(const std::string& path) = 0;
  /// Removes an empty folder. A symbolic link is removed as a link.
  virtual Status RemoveFolder(const std::string& path) = 0;

  /// Reads a whole file as bytes.
  virtual Status ReadFile(const std::string& path, std::string* bytes) = 0;
  /// Replaces a file's content with `bytes`, creating the file when missing
  /// (not its folder).
  virtual Status WriteFile(const std::string& path, const std::string& bytes) = 0;
  /// Appends `bytes` to a file, creating it when missing (not its folder).
  virtual Status AppendFile(const std::string& path, const std::string& bytes) = 0;
  /// Opens a file to append to it through one handle, creating it when
  /// missing (not its folder), with AppendFile's checks and errors; a link
  /// in the file's place is refused where the host can tell. The default
  /// appends by path at each Append (through AppendFile).
  virtual Status OpenAppending(const std::string& path, std::unique_ptr<AppendingFile>* file);
  /// Renames a file, replacing an existing target file in one step (the
  /// target is whole before and after, never half written). A missing source
  /// gives error 53, a target that is a folder 75, a read-only target 70.
  virtual Status RenameFile(const std::string& from, const std::string& to) = 0;
  /// Replaces the whole content of a file (creating it when missing, not its
  /// folder) in one step that keeps the file as the user set it up: a
  /// symbolic link stays a link and the file it names gets the bytes; a file
  /// of several names (hard links) stays one file; owner, group, permission
  /// bits and attributes stay. The new bytes go to a file of a name no one
  /// can foresee, created in the same folder where no name existed (nothing
  /// found under any other name is opened, followed or written), which then
  /// takes the file's place; a file that cannot be replaced so (several
  /// names, an owner this process cannot give) is written in place, after
  /// its old bytes are copied beside it and its room is reserved. On any
  /// failure, a full disk included, the file keeps its old bytes. A read-only
  /// file gives 70; a folder, a device or a link that leads nowhere 75.
  virtual Status RewriteFile(const std::string& path, const std::string& bytes) = 0;

  /// The current drive and folder, in Windows form, without trailing "\"
  /// except for a drive root ("C:\"); as it was entered, case included.
  virtual std::string CurrentFolder() = 0;
  /// Changes the current drive and folder (ChDrive + ChDir). Error 76 when the
  /// folder does not exist, 71 when its drive is not ready.
  virtual Status ChangeFolder(const std::string& path) = 0;

  /// The Windows directory, e.g. "C:\WINDOWS".
  virtual std::string WindowsFolder() = 0;

  /// Starts a program and waits for its end. The command line is split into
  /// arguments as the Windows C run-time splits it (blanks separate, double
  /// quotes group); the first word is a Windows-form program path, ".EXE"
  /// appended when its name has no extension, found without regard to case.
  /// The program runs in the host folder of the current folder and inherits
  /// the environment, including the drive map. Ok with `*exit_code` when it
  /// ran; an error when it could not be started. Nothing outlives the call.
  /// With `poll`, the caller waits actively: `poll` is called about twenty
  /// times a second while the program runs, and when it answers false the
  /// program is ended at once and Run gives error 18 (kErrCancelled). The
  /// program does not share the caller's console interrupts (Ctrl-C reaches
  /// the caller, which decides).
  virtual Status Run(const std::string& command_line, int* exit_code,
                     const std::function<bool()>& poll = {}) = 0;

  /// Host path of a Windows-form path (existing components matched without
  /// regard to case); empty with an error when the drive is not ready. For
  /// front-ends and tools that must hand a path to the host (pickers, the
  /// archiver); the core does not use it.
  virtual Status ToHostPath(const std::string& path, std::string* host_path) = 0;
  /// Windows-form path of a host path through the drive map; empty when no
  /// mapped drive (or the UNC root) holds it.
  virtual std::string FromHostPath(const std::string& host_path) = 0;

  /// The real location of a Windows path, for checks of where a path lies:
  /// the host path with "." and ".." applied ("\" and "/" both separate),
  /// existing components in their host spelling and every symbolic link on
  /// the way resolved; the missing rest is appended as typed. Error 71 when
  /// the drive is not ready, 75 when a link on the way leads nowhere.
  virtual Status RealLocation(const std::string& path, std::string* location) = 0;

  /// Today's date on this machine (the host may fix it for reproducible runs).
  virtual Date Today() = 0;

  /// Size and CRC-32 of a regular file, read in pieces (never whole in
  /// memory). Error 53 or 76 when it is missing, 75 when it is no regular
  /// file. The default reads through the host path.
  virtual Status SumFile(const std::string& path, FileSum* sum);
  /// The bytes free for this user on the drive that holds `path`. The
  /// default asks the host through the host path.
  virtual Status FreeSpace(const std::string& path, std::uint64_t* bytes);
};

/// Forwards every call to another platform. Tests derive from it and override
/// one call to inject a fault (disk full at the Nth write, a drive that goes
/// away between two calls, ...).
class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& target) : target_(target) {}

  Status List(const std::string& pattern, ListKind kind,
              std::vector<FolderEntry>* entries) override {
    return target_.List(pattern, kind, entries);
  }
  Status GetAttributes(const std::string& path, unsigned* attributes) override {
    return target_.GetAttributes(path, attributes);
  }
  Status SetAttributes(const std::string& path, unsigned attributes) override {
    return target_.SetAttributes(path, attributes);
  }
  Status CopyFile(const std::string& from, const std::string& to) override {
    return target_.CopyFile(from, to);
  }
  Status DeleteFile(const std::string& path) override { return target_.DeleteFile(path); }
  Status CreateFolder(const std::string& path) override { return target_.CreateFolder(path); }
  Status RemoveFolder(const std::string& path) override { return target_.RemoveFolder(path); }
  Status ReadFile(const std::string& path, std::string* bytes) override {
    return target_.ReadFile(path, bytes);
  }
  Status WriteFile(const std::string& path, const std::string& bytes) override {
    return target_.WriteFile(path, bytes);
  }
  Status AppendFile(const std::string& path, const std::string& bytes) override {
    return target_.AppendFile(path, bytes);
  }
  // OpenAppending stays the default, through this platform's AppendFile:
  // a wrapper that changes AppendFile (keeps it in memory, injects a fault)
  // changes the appends of a handle too. One that changes nothing of files
  // may forward it.
  Status RenameFile(const std::string& from, const std::string& to) override {
    return target_.RenameFile(from, to);
  }
  Status RewriteFile(const std::string& path, const std::string& bytes) override {
    return target_.RewriteFile(path, bytes);
  }
  std::string CurrentFolder() override { return target_.CurrentFolder(); }
  Status ChangeFolder(const std::string& path) override { return target_.ChangeFolder(path); }
  std::string WindowsFolder() override { return target_.WindowsFolder(); }
  Status Run(const std::string& command_line, int* exit_code,
             const std::function<bool()>& poll = {}) override {
    return target_.Run(command_line, exit_code, poll);
  }
  Status ToHostPath(const std::string& path, std::string* host_path) override {
    return target_.ToHostPath(path, host_path);
  }
  std::string FromHostPath(const std::string& host_path) override {
    return target_.FromHostPath(host_path);
  }
  Status RealLocation(const std::string& path, std::string* location) override {
    return target_.RealLocation(path, location);
  }
  Date Today() override { return target_.Today(); }
  Status SumFile(const std::string& path, FileSum* sum) override {
    return target_.SumFile(path, sum);
  }
  Status FreeSpace(const std::string& path, std::uint64_t* bytes) override {
    return target_.FreeSpace(path, bytes);
  }

 protected:
  Platform& target_;
};

/// Convenience wrappers over `GetAttributes`.
bool FileExists(Platform& platform, const std::string& path);    // ordinary file, not hidden/system
bool FolderExists(Platform& platform, const std::string& path);  // folder
/// The size in bytes of the file at `path` (Windows form), 0 when it cannot
/// be read.
std::uint64_t FileSize(Platform& platform, const std::string& path);

/// Where a path lies against a folder, by their real locations (links
/// resolved, names compared by the one case rule).
enum class Placement {
  kApart,  // neither holds the other, or either could not be resolved
  kSame,   // the same folder
  kBelow,  // the path lies strictly below the folder
  kAbove,  // the path holds the folder
};
Placement PlaceOf(Platform& platform, const std::string& path, const std::string& folder);
/// The same for two real locations already read (`Platform::RealLocation`).
Placement PlaceOfLocations(const std::string& real_path, const std::string& real_folder);

/// True when `path` lies strictly below `folder`: the one check a path built
/// from an untrusted value passes before anything is written or deleted there.
inline bool LiesBelow(Platform& platform, const std::string& path, const std::string& folder) {
  return PlaceOf(platform, path, folder) == Placement::kBelow;
}

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_PLATFORM_H_
