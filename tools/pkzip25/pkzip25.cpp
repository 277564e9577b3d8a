#include "pkzip25.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>

#include "platform/win32_text.h"
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <system_error>

#include "command_line.h"
#include "entry_names.h"
#include "host_resolve.h"
#include "platform/codepage.h"
#include "platform/host_files.h"
#include "platform/host_portable.h"
#include "zip_extractor.h"
#include "zip_writer.h"

namespace pkzip {

namespace {

namespace fs = std::filesystem;

std::string Describe(const zr::Status& status) {
  switch (status.error) {
    case zr::kErrDiskNotReady:
      return "drive not ready";
    case zr::kErrPathNotFound:
      return "path not found";
    case zr::kErrFileNotFound:
      return "file not found";
    case zr::kErrPermissionDenied:
      return "permission denied";
    default:
      return status.detail.empty() ? "error " + std::to_string(status.error) : status.detail;
  }
}

std::optional<WindowsPath> FullPath(zr::Platform& platform, const std::string& text) {
  return MakeFullPath(platform.CurrentFolder(), text);
}

// The archive's host path: ".ZIP" appended when the name has no extension;
// the archive's folder must exist.
std::optional<std::string> ArchiveHostPath(zr::Platform& platform, const std::string& text,
                                           std::ostream& errors) {
  std::optional<WindowsPath> path = FullPath(platform, text);
  if (!path || path->is_root()) {
    errors << "PkZip25: not an archive name: " << text << "\n";
    return std::nullopt;
  }
  if (!HasExtension(path->parts.back())) path->parts.back() += ".ZIP";
  std::string host;
  size_t existing = 0;
  zr::Status status = ResolveHostPath(platform, *path, &host, &existing);
  if (!status.ok() || existing + 1 < path->parts.size()) {
    errors << "PkZip25: folder of the archive not found: " << path->Text() << " ("
           << (status.ok() ? "path not found" : Describe(status)) << ")\n";
    return std::nullopt;
  }
  std::error_code ec;
  return zr::host::FsText(fs::absolute(zr::host::FsPath(host), ec));
}

// The archive, when it is there already, recognised among the files to add
// by its device and inode (no file can be an archive that is not there).
#ifdef _WIN32
// Windows has no inode numbers in stat: the volume serial number and the
// file index stand for them.
class ArchiveIdentity {
 public:
  explicit ArchiveIdentity(const std::string& archive_host)
      : exists_(Identify(archive_host, &id_)) {}
  bool Is(const struct stat& /*file*/, const std::string& host) const { return Is(host); }
  bool Is(const std::string& host) const {
    Id file{};
    return exists_ && Identify(host, &file) && file.volume == id_.volume && file.index == id_.index;
  }

 private:
  struct Id {
    DWORD volume;
    ULONGLONG index;
  };
  static bool Identify(const std::string& host, Id* id) {
    HANDLE handle = ::CreateFileW(zr::win32::Widen(host).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    id->volume = info.dwVolumeSerialNumber;
    id->index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return known;
  }
  Id id_{};
  bool exists_;
};
#else
class ArchiveIdentity {
 public:
  explicit ArchiveIdentity(const std::string& archive_host)
      : exists_(stat(archive_host.c_str(), &info_) == 0) {}
  bool Is(const struct stat& file, const std::string& /*host*/) const {
    return exists_ && file.st_dev == info_.st_dev && file.st_ino == info_.st_ino;
  }
  bool Is(const std::string& host) const {
    struct stat file {};
    return exists_ && stat(host.c_str(), &file) == 0 && Is(file, host);
  }

 private:
  struct stat info_ {};
  bool exists_;
};
#endif

// True when the file can be read; otherwise names it (`shown`, in Windows
// form) with the reason: a file another program holds (a database in use)
// is left out and the others go on into the archive.
bool Readable(const std::string& host, const std::string& shown, std::ostream& errors) {
  const std::string refusal = zr::host::ReadRefusal(host);
  if (refusal.empty()) return true;
  errors << "PkZip25: file not read (" << refusal << "), left out: " << shown << "\n";
  return false;
}

// The Windows form of `name` ("/" separated) below `folder`.
std::string WindowsName(const WindowsPath& folder, std::string name) {
  std::replace(name.begin(), name.end(), '/', '\\');
  std::string text = folder.Text();
  if (text.empty() || text.back() != '\\') text += '\\';
  return text + name;
}

// The lines of the list file: Windows-1252 to UTF-8, CR LF or LF, blank
// lines skipped, blanks inside a line kept.
bool ReadListFile(zr::Platform& platform, const std::string& text, std::vector<std::string>* lines,
                  std::ostream& errors) {
  std::optional<WindowsPath> path = FullPath(platform, text);
  std::string host;
  std::error_code ec;
  if (!path || !ResolveHostPath(platform, *path, &host).ok() ||
      !fs::is_regular_file(zr::host::FsPath(host), ec)) {
    errors << "PkZip25: list file not found: " << text << "\n";
    return false;
  }
  std::ifstream in(zr::host::FsPath(host), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    errors << "PkZip25: cannot read the list file: " << text << "\n";
    return false;
  }
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(' ') != std::string::npos) lines->push_back(zr::Cp1252ToUtf8(line));
    start = end + 1;
  }
  return true;
}

// Writes the archive; true when every file went in. A file that could not
// be read is named (`shown`, as the command gave it) with the reason.
bool Write(const std::string& archive, const std::vector<FileToAdd>& files,
           const std::vector<std::string>& shown, const WriteOptions& options,
           std::ostream& errors) {
  std::string error;
  std::vector<FileLeftOut> left_out;
  if (!WriteArchive(archive, files, &error, options, &left_out)) {
    errors << "PkZip25: " << error << "\n";
    return false;
  }
  for (const FileLeftOut& file : left_out) {
    errors << "PkZip25: file not read (" << file.reason << "), left out: " << shown[file.file]
           << "\n";
  }
  return left_out.empty();
}

int AddList(zr::Platform& platform, const Command& command, std::ostream& errors) {
  std::optional<std::string> archive = ArchiveHostPath(platform, command.archive, errors);
  if (!archive) return kExitIncomplete;
  std::vector<std::string> lines;
  if (!ReadListFile(platform, command.list_file, &lines, errors)) return kExitIncomplete;

  const ArchiveIdentity archive_identity(*archive);
  const WriteOptions options;
  bool complete = true;
  std::vector<FileToAdd> files;
  std::vector<std::string> shown;      // the line of each file in `files`
  std::map<std::string, size_t> seen;  // folded entry name -> position in `files`
  // The host folder of the last folder met: the lines of one folder follow
  // one another, and its files are found by their names in it.
  std::string folder_text;
  std::string folder_host;
  for (const std::string& line : lines) {
    std::optional<WindowsPath> path = FullPath(platform, line);
    std::string host;
    struct stat info {};
    // Nearly every listed file is there as named in its folder: one stat
    // settles it, and that stat goes with it to the writer.
    bool there = false;
    if (path && path->parts.size() > 1) {
      WindowsPath folder = *path;
      folder.parts.pop_back();
      if (const std::string text = folder.Text(); text != folder_text) {
        folder_text = text;
        if (!platform.ToHostPath(text, &folder_host).ok()) folder_host.clear();
      }
      if (!folder_host.empty()) {
        host = folder_host;
        if (host.back() != '/' && host.back() != '\\') host += '/';
        host += path->parts.back();
        there = pkzip::StatFile(host, &info) == 0 && S_ISREG(info.st_mode);
      }
    }
    if (!there && (!path || path->parts.empty() || !ResolveHostPath(platform, *path, &host).ok() ||
                   pkzip::StatFile(host, &info) != 0 || !S_ISREG(info.st_mode))) {
      std::error_code ec;
      const bool folder = !host.empty() && fs::is_directory(zr::host::FsPath(host), ec);
      errors << "PkZip25: " << (folder ? "a folder, not a file: " : "file not found: ") << line
             << "\n";
      complete = false;
      continue;
    }
    if (archive_identity.Is(info, host)) {
      errors << "PkZip25: the archive is not added to itself: " << line << "\n";
      continue;
    }
    // A small file is read once, by the worker that deflates it, which finds
    // out then whether it can be read; a large one, streamed by libzip, is
    // tried first.
    if (static_cast<std::uint64_t>(info.st_size) > options.largest_for_workers &&
        !Readable(host, line, errors)) {
      complete = false;
      continue;
    }
    const std::string name = StoredName(*path);
    if (seen.emplace(FoldCase(name), files.size()).second) {
      files.push_back({host, name, info});
      shown.push_back(line);
    }
  }
  return Write(*archive, files, shown, options, errors) && complete ? kExitOk : kExitIncomplete;
}

int AddRecursive(zr::Platform& platform, const Command& command, std::ostream& errors) {
  std::optional<std::string> archive = ArchiveHostPath(platform, command.archive, errors);
  if (!archive) return kExitIncomplete;
  std::optional<WindowsPath> folder = FullPath(platform, command.folder);
  std::string folder_host;
  std::error_code ec;
  if (!folder || !ResolveHostPath(platform, *folder, &folder_host).ok() ||
      !fs::is_directory(zr::host::FsPath(folder_host), ec)) {
    errors << "PkZip25: folder not found: " << command.folder << "\n";
    return kExitIncomplete;
  }

  const ArchiveIdentity archive_identity(*archive);
  bool complete = true;
  std::vector<FileToAdd> files;
  fs::recursive_directory_iterator it(zr::host::FsPath(folder_host), ec), end;
  if (ec) {
    errors << "PkZip25: cannot list " << command.folder << ": " << ec.message() << "\n";
    return kExitIncomplete;
  }
  for (; it != end; it.increment(ec)) {
    if (ec) {
      errors << "PkZip25: cannot list below " << command.folder << ": " << ec.message() << "\n";
      complete = false;
      break;
    }
    const fs::file_status status = it->symlink_status(ec);
    const std::u8string relative =
        it->path().lexically_relative(zr::host::FsPath(folder_host)).generic_u8string();
    const std::string name(relative.begin(), relative.end());
    if (ec) {
      // The host cannot even name it (a path too long): the archive would
      // lack it, so the run is not complete.
      errors << "PkZip25: cannot read, not added: " << name << ": " << ec.message() << "\n";
      complete = false;
      ec.clear();
      continue;
    }
    if (fs::is_directory(status) || archive_identity.Is(zr::host::FsText(it->path()))) continue;
    if (!fs::is_regular_file(status)) {
      errors << "PkZip25: not an ordinary file, skipped: " << name << "\n";
      continue;
    }
    const std::string host = zr::host::FsText(it->path());
    if (!Readable(host, WindowsName(*folder, name), errors)) {
      complete = false;
      continue;
    }
    files.push_back({host, name});
  }
  std::sort(files.begin(), files.end(), [](const FileToAdd& a, const FileToAdd& b) {
    return FoldCase(a.entry_name) < FoldCase(b.entry_name);
  });
  std::vector<std::string> shown;
  for (const FileToAdd& file : files) shown.push_back(WindowsName(*folder, file.entry_name));
  return Write(*archive, files, shown, WriteOptions(), errors) && complete ? kExitOk
                                                                           : kExitIncomplete;
}

int Extract(zr::Platform& platform, const Command& command, std::ostream& errors) {
  std::optional<WindowsPath> archive = FullPath(platform, command.archive);
  std::string archive_host;
  std::error_code ec;
  if (!archive || !ResolveHostPath(platform, *archive, &archive_host).ok() ||
      !fs::is_regular_file(zr::host::FsPath(archive_host), ec)) {
    errors << "PkZip25: archive not found: " << command.archive << "\n";
    return kExitIncomplete;
  }
  std::optional<WindowsPath> destination = FullPath(platform, command.destination);
  std::string destination_host;
  zr::Status status = destination ? ResolveHostPath(platform, *destination, &destination_host)
                                  : zr::Status::Error(zr::kErrPathNotFound);
  if (status.ok()) fs::create_directories(zr::host::FsPath(destination_host), ec);
  if (!status.ok() || !fs::is_directory(zr::host::FsPath(destination_host), ec)) {
    errors << "PkZip25: destination folder not usable: " << command.destination << " ("
           << (status.ok() ? "cannot create it" : Describe(status)) << ")\n";
    return kExitIncomplete;
  }
  destination_host = zr::host::FsText(fs::absolute(zr::host::FsPath(destination_host), ec));
  ExtractOutcome outcome = ExtractArchive(
      zr::host::FsText(fs::absolute(zr::host::FsPath(archive_host), ec)), destination_host, errors);
  return outcome.ok() ? kExitOk : kExitIncomplete;
}

}  // namespace

int RunPkZip(zr::Platform& platform, const std::vector<std::string>& args, std::ostream& errors) {
  std::optional<Command> command = ParseCommandLine(args);
  if (!command) {
    errors << UsageText();
    return kExitUsage;
  }
  switch (command->mode) {
    case Mode::kAddList:
      return AddList(platform, *command, errors);
    case Mode::kAddRecursive:
      return AddRecursive(platform, *command, errors);
    case Mode::kExtract:
      return Extract(platform, *command, errors);
  }
  return kExitUsage;
}

}  // namespace pkzip
