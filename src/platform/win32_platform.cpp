// The platform over the Windows file system and processes, through the W
// functions: texts are UTF-8 inside and UTF-16 at each call.
//
// The drive map is kept: with no ZARIREVO_DRIVES every drive letter is itself
// (identity); otherwise each named letter stands for a host folder
// ("A=Z:\tmp\w\a") and the others are not ready (71), as on the other hosts,
// so that tests build temporary worlds here too. Windows itself matches names
// without regard to case, enforces read-only and keeps hidden and system.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/host_clock.h"
#include "platform/host_platform.h"
#include "platform/host_portable.h"
#include "platform/mapped_platform.h"
#include "platform/win32_text.h"
#include "platform/windows_path.h"

namespace zr {

namespace {

using win32::Narrow;
using win32::Widen;

constexpr unsigned kOurBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrFolder;
constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

// The one place where Windows error codes become run-time error numbers.
int ToRuntimeError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return kErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_CANT_RESOLVE_FILENAME:
      return kErrPathNotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return kErrFileInUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return kErrPermissionDenied;
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DEV_NOT_EXIST:
      return kErrDiskNotReady;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return kErrDiskFull;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
      return kErrDeviceIo;
    default:  // ERROR_ALREADY_EXISTS, ERROR_FILE_EXISTS, ERROR_DIR_NOT_EMPTY, ...
      return kErrPathFileAccess;
  }
}

Status LastError(const std::string& what, const std::string& host_path) {
  const DWORD error = ::GetLastError();
  return Status::Error(ToRuntimeError(error),
                       what + " " + host_path + ": Windows error " + std::to_string(error));
}

DWORD AttributesOf(const std::string& host_path) {
  return ::GetFileAttributesW(Widen(host_path).c_str());
}

bool IsFolder(const std::string& host_path) {
  const DWORD attributes = AttributesOf(host_path);
  return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Closes a handle on every way out of a scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  bool Close() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(handle) != 0;
  }
  /// Leaves the handle open, to the caller.
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

std::string ParentOf(const std::string& host_path) {
  const std::size_t slash = host_path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  std::string parent = host_path.substr(0, slash);
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';
  return parent;
}

std::string NameOf(const std::string& host_path) {
  const std::size_t slash = host_path.find_last_of("\\/");
  return slash == std::string::npos ? host_path : host_path.substr(slash + 1);
}

// A host folder of the map without trailing separators ("Z:\tmp\w\a", "Z:").
std::string TrimFolder(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

// The full path of a host path ("" for ""): relative to the current
// folder, "." and ".." applied, "/" as "\".
std::string FullPath(const std::string& host_path) {
  if (host_path.empty()) return {};
  const std::wstring wide = Widen(host_path);
  std::wstring buffer(MAX_PATH, L'\0');
  DWORD length =
      ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length >= buffer.size()) {
    buffer.resize(length);
    length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  }
  buffer.resize(length < buffer.size() ? length : 0);
  return Narrow(buffer);
}

// The final path of an existing file or folder, in its DOS form without the
// "\\?\" prefix ("\\?\UNC\srv\share" becomes "\\srv\share").
std::optional<std::string> FinalPath(const std::string& host_path) {
  Handle handle(::CreateFileW(Widen(host_path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return std::nullopt;
  std::wstring buffer(MAX_PATH, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(handle.get(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), 0);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = ::GetFinalPathNameByHandleW(handle.get(), buffer.data(),
                                         static_cast<DWORD>(buffer.size()), 0);
  }
  if (length == 0 || length >= buffer.size()) return std::nullopt;
  buffer.resize(length);
  std::string path = Narrow(buffer);
  if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
    path = "\\\\" + path.substr(8);
  } else if (path.rfind("\\\\?\\", 0) == 0) {
    path = path.substr(4);
  }
  return path;
}

// Writes all of `bytes` to an open file at its current position.
bool WriteAllTo(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// A file open for appending: each Append one WriteFile (or more, for a
// short one) straight to the file.
class AppendingHandle : public AppendingFile {
 public:
  AppendingHandle(HANDLE handle, std::string host) : file_(handle), host_(std::move(host)) {}
  Status Append(const std::string& bytes) override {
    if (!file_.valid()) return Status::Error(kErrPathFileAccess, "closed: " + host_);
    if (!WriteAllTo(file_.get(), bytes)) return LastError("write", host_);
    return Status::Ok();
  }
  Status Close() override {
    if (!file_.valid()) return Status::Ok();
    if (!file_.Close()) return LastError("write", host_);
    return Status::Ok();
  }

 private:
  Handle file_;
  std::string host_;
};

// Creates a new file beside `host_path`, of a name no one can foresee, where
// no name existed: CREATE_NEW never opens what is there, a reparse point
// included.
HANDLE CreateBeside(const std::string& host_path, std::string* name) {
  static unsigned long counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    LARGE_INTEGER ticks;
    ::QueryPerformanceCounter(&ticks);
    *name = host_path + ".~zr" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "-" + std::to_string(ticks.QuadPart);
    HANDLE file =
        ::CreateFileW(Widen(*name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Puts `content` at the start of an open file and cuts it there.
bool PutAt(HANDLE file, const std::string& content) {
  LARGE_INTEGER start{};
  return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteAllTo(file, content) &&
         ::SetEndOfFile(file) && ::FlushFileBuffers(file);
}

class Win32Platform : public MappedPlatform {
 public:
  explicit Win32Platform(const DriveMap& map) : MappedPlatform(map, "\\/", true) {
    identity_ = map_.drives.empty();
    // The map's folders as full paths with "\", as the system gives them back.
    for (auto& [letter, folder] : map_.drives) folder = TrimFolder(FullPath(folder));
    map_.unc_root = TrimFolder(FullPath(map_.unc_root));
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
      buffer.resize(length);
      length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    buffer.resize(length);
    StartIn(Narrow(buffer));
  }

  Status List(const std::string& pattern, ListKind kind,
              std::vector<FolderEntry>* entries) override {
    entries->clear();
    std::string name_pattern, host;
    WindowsPath folder;
    if (Status s = ParseListPattern(pattern, &folder, &name_pattern); !s.ok()) return s;
    if (Status s = HostFolderOf(folder, &host); !s.ok()) return s;
    ListingRule rule(name_pattern, kind);
    WIN32_FIND_DATAW data;
    // All names, filtered here by the program's own rule; a pattern is also
    // tried on the short 8.3 name, as Windows tries it.
    HANDLE find = ::FindFirstFileExW(Widen(Join(host, "*")).c_str(), FindExInfoStandard, &data,
                                     FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
      if (::GetLastError() == ERROR_FILE_NOT_FOUND) return Status::Ok();
      return LastError("list", host);
    }
    do {
      const std::string name = Narrow(data.cFileName);
      const std::string short_name = Narrow(data.cAlternateFileName);
      if (!rule.Matches(name) && (short_name.empty() || !rule.Matches(short_name))) continue;
      const unsigned attributes = data.dwFileAttributes & kOurBits;
      if (!rule.Wanted(attributes)) continue;
      const std::uint64_t size =
          (attributes & kAttrFolder)
              ? 0
              : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      rule.Add({name, attributes, size});
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    rule.Take(entries);
    return Status::Ok();
  }

  Status GetAttributes(const std::string& path, unsigned* attributes) override {
    *attributes = kAttrNormal;
    std::string host;
    if (Status s = HostOfText(path, &host); !s.ok()) return s;
    const DWORD found = AttributesOf(host);
    if (found == kNoAttributes) return LastError("attributes", host);
    *attributes = found & kOurBits;
    return Status::Ok();
  }

  Status SetAttributes(const std::string& path, unsigned attributes) override {
    std::string host;
    if (Status s = HostOfText(path, &host); !s.ok()) return s;
    const DWORD found = AttributesOf(host);
    if (found == kNoAttributes) return LastError("attributes", host);
    constexpr DWORD kSettable = kAttrReadOnly | kAttrHidden | kAttrSystem;
    DWORD wanted = (found & ~kSettable & ~DWORD{FILE_ATTRIBUTE_NORMAL}) | (attributes & kSettable);
    if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileAttributesW(Widen(host).c_str(), wanted)) return LastError("attributes", host);
    return Status::Ok();
  }

  // Copied to a temporary name beside the target, then moved over it: a
  // failed copy leaves no half file and an older target as it was.
  Status CopyFile(const std::string& from, const std::string& to) override {
    std::string source, target;
    if (Status s = HostOfText(from, &source); !s.ok()) return s;
    if (Status s = HostOfText(to, &target); !s.ok()) return s;
    const DWORD source_attributes = AttributesOf(source);
    if (source_attributes == kNoAttributes) return LastError("copy from", source);
    if (source_attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Status::Error(kErrPathFileAccess, "a folder: " + from);
    }
    if (Status s = CheckTarget(target, to); !s.ok()) return s;
    if (const DWORD existing = AttributesOf(target); existing != kNoAttributes) {
      const std::optional<std::string> a = FinalPath(source), b = FinalPath(target);
      if (a && b && EqualsNoCase(*a, *b)) {
        return Status::Error(kErrPathFileAccess, "copy onto itself: " + to);
      }
    }
    const std::string temporary =
        Join(ParentOf(target), ".zrcopy-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                   std::to_string(++temporaries_));
    const std::wstring wide_temporary = Widen(temporary);
    if (!::CopyFileExW(Widen(source).c_str(), wide_temporary.c_str(), nullptr, nullptr, nullptr,
                       COPY_FILE_FAIL_IF_EXISTS)) {
      const DWORD error = ::GetLastError();
      ::DeleteFileW(wide_temporary.c_str());
      // The source was opened above: a missing name now is the target's folder.
      return Status::Error(error == ERROR_FILE_NOT_FOUND ? kErrPathNotFound : ToRuntimeError(error),
                           "copy to " + target + ": Windows error " + std::to_string(error));
    }
    // The copy is an ordinary writable file, whatever the source's bits.
    ::SetFileAttributesW(wide_temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::MoveFileExW(wide_temporary.c_str(), Widen(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
      Status failed = LastError("copy to", target);
      ::DeleteFileW(wide_temporary.c_str());
      return failed;
    }
    return Status::Ok();
  }

  Status DeleteFile(const std::string& path) override {
    std::string host;
    if (Status s = HostOfText(path, &host); !s.ok()) return s;
    const DWORD attributes = AttributesOf(host);
    if (attributes == kNoAttributes) return LastError("delete", host);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Status::Error(kErrPathFileAccess, "a folder: " + path);
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      return Status::Error(kErrPermissionDenied, "read-only: " + path);
    }
    if (!::DeleteFileW(Widen(host).c_str())) return LastError("delete", host);
    return Status::Ok();
  }

  Status CreateFolder(const std::string& path) override {
    std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current_);
    if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + path);
    std::string host;
    if (Status s = HostOf(*parsed, &host); !s.ok()) return s;
    if (parsed->is_root() || AttributesOf(host) != kNoAttributes) {
      return Status::Error(kErrPathFileAccess, "exists: " + path);
    }
    if (!IsFolder(ParentOf(host)))
      return Status::Error(kErrPathNotFound, "folder not found: " + host);
    if (!IsCreatableName(NameOf(host))) {
      return Status::Error(kErrPathNotFound, "name not allowed: " + path);
    }
    if (!::CreateDirectoryW(Widen(host).c_str(), nullptr)) return LastError("create folder", host);
    return Status::Ok();
  }

  Status RemoveFolder(const std::string& path) override {
    std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current_);
    if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + path);
    std::string host;
    if (Status s = HostOf(*parsed, &host); !s.ok()) return s;
    const DWORD attributes = AttributesOf(host);
    if (attributes == kNoAttributes)
      return Status::Error(kErrPathNotFound, "folder not found: " + host);
    if (parsed->is_root()) return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return Status::Error(kErrPathFileAccess, "not a folder: " + path);
    }
    // A junction or folder link goes as a link: RemoveDirectoryW never follows it.
    if (!::RemoveDirectoryW(Widen(host).c_str())) return LastError("remove folder", host);
    return Status::Ok();
  }

  Status ReadFile(const std::string& path, std::string* bytes) override {
    bytes->clear();
    std::string host;
    if (Status s = HostOfText(path, &host); !s.ok()) return s;
    const DWORD attributes = AttributesOf(host);
    if (attributes == kNoAttributes) return LastError("read", host);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Status::Error(kErrPathFileAccess, "not a file: " + path);
    }
    Handle file(::CreateFileW(Widen(host).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return LastError("read", host);
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
      return Status::Error(kErrPathFileAccess, "not a file: " + path);
    }
    char buffer[65536];
    while (true) {
      DWORD got = 0;
      if (!::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) {
        bytes->clear();
        return LastError("read", host);
      }
      if (got == 0) break;
      bytes->append(buffer, got);
    }
    return Status::Ok();
  }

  Status WriteFile(const std::string& path, const std::string& bytes) override {
    return Write(path, bytes, false);
  }

  Status AppendFile(const std::string& path, const std::string& bytes) override {
    return Write(path, bytes, true);
  }

  // The handle of AppendFile's open, kept: one WriteFile a call after it.
  Status OpenAppending(const std::string& path, std::unique_ptr<AppendingFile>* file) override {
    file->reset();
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string host;
    if (Status s = OpenForWriting(path, true, &handle, &host); !s.ok()) return s;
    *file = std::make_unique<AppendingHandle>(handle, std::move(host));
    return Status::Ok();
  }

  Status RenameFile(const std::string& from, const std::string& to) override {
    std::string source, target;
    if (Status s = HostOfText(from, &source); !s.ok()) return s;
    const DWORD attributes = AttributesOf(source);
    if (attributes == kNoAttributes) return LastError("rename", source);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Status::Error(kErrPathFileAccess, "a folder: " + from);
    }
    if (Status s = HostOfText(to, &target); !s.ok()) return s;
    if (Status s = CheckTarget(target, to); !s.ok()) return s;
    if (!::MoveFileExW(Widen(source).c_str(), Widen(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
      return LastError("rename", target);
    }
    return Status::Ok();
  }

  // A link is followed once to the file it names; the new bytes go to a new
  // file beside that one, which ReplaceFileW puts in its place keeping its
  // attributes, owner and security. A file of several names is written in
  // place, after its old bytes are copied beside it and its room reserved.
  Status RewriteFile(const std::string& path, const std::string& bytes) override {
    std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current_);
    if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + path);
    if (parsed->is_root()) return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    std::string host;
    if (Status s = HostOf(*parsed, &host); !s.ok()) return s;
    if (Status s = CheckTarget(host, path); !s.ok()) return s;
    const bool exists = AttributesOf(host) != kNoAttributes;
    if (exists) {
      const std::optional<std::string> final_path = FinalPath(host);
      if (!final_path) return Status::Error(kErrPathFileAccess, "link leads nowhere: " + path);
      host = *final_path;
      if (Status s = CheckTarget(host, path); !s.ok()) return s;
    }
    Handle old(exists ? ::CreateFileW(Widen(host).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)
                      : INVALID_HANDLE_VALUE);
    if (exists && !old.valid()) return LastError("write", host);
    BY_HANDLE_FILE_INFORMATION information{};
    if (exists && !::GetFileInformationByHandle(old.get(), &information)) {
      return LastError("write", host);
    }
    if (exists && ::GetFileType(old.get()) != FILE_TYPE_DISK) {
      return Status::Error(kErrPathFileAccess, "not a file: " + path);
    }
    std::string temporary;
    Handle fresh(CreateBeside(host, &temporary));
    if (!fresh.valid()) return LastError("write", host);
    if (exists && information.nNumberOfLinks > 1) {
      return InPlace(old.get(), fresh, temporary, host, bytes);
    }
    old.Close();
    if (!WriteAllTo(fresh.get(), bytes) || !::FlushFileBuffers(fresh.get())) {
      Status failed = LastError("write", host);
      fresh.Close();
      ::DeleteFileW(Widen(temporary).c_str());
      return failed;
    }
    fresh.Close();
    const std::wstring wide_temporary = Widen(temporary);
    // Hidden and system go with the new bytes, whatever ReplaceFileW merges.
    const DWORD kept =
        exists ? information.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
    if (kept != 0) ::SetFileAttributesW(wide_temporary.c_str(), kept);
    const BOOL moved =
        exists ? ::ReplaceFileW(Widen(host).c_str(), wide_temporary.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
               : ::MoveFileExW(wide_temporary.c_str(), Widen(host).c_str(), MOVEFILE_WRITE_THROUGH);
    if (!moved) {
      Status failed = LastError("write", host);
      ::DeleteFileW(wide_temporary.c_str());
      return failed;
    }
    return Status::Ok();
  }


  Status Run(const std::string& command_line, int* exit_code,
             const std::function<bool()>& poll = {}) override {
    *exit_code = -1;
    // The program name: the first word, where quotes only group.
    std::size_t i = command_line.find_first_not_of(" \t");
    std::string program_text;
    bool quoted = false;
    for (; i != std::string::npos && i < command_line.size(); ++i) {
      const char c = command_line[i];
      if (c == '"') {
        quoted = !quoted;
      } else if ((c == ' ' || c == '\t') && !quoted) {
        break;
      } else {
        program_text += c;
      }
    }
    const std::string rest = i == std::string::npos ? "" : command_line.substr(i);
    WindowsPath program;
    if (Status s = ParseProgram(program_text, &program); !s.ok()) return s;
    std::string host, work;
    if (Status s = HostOf(program, &host); !s.ok()) return s;
    const DWORD attributes = AttributesOf(host);
    if (attributes == kNoAttributes) return LastError("run", host);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Status::Error(kErrFileNotFound, "not a program file: " + host);
    }
    if (Status s = HostFolderOf(current_, &work); !s.ok()) return s;
    // The child inherits the environment, the drive map included.
    for (const auto& [name, value] : MapSettings()) {
      ::SetEnvironmentVariableW(Widen(name).c_str(), Widen(value).c_str());
    }
    std::wstring line = Widen("\"" + host + "\"" + rest);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // A polled child is kept out of the console's Ctrl-C: the caller decides.
    // A console program started from the windows gets no console window
    // flashing up; from a console it shares that one, its messages in view.
    const DWORD creation = (poll ? CREATE_NEW_PROCESS_GROUP : 0) |
                           (::GetConsoleWindow() == nullptr ? CREATE_NO_WINDOW : 0);
    if (!::CreateProcessW(Widen(host).c_str(), line.data(), nullptr, nullptr, TRUE, creation,
                          nullptr, Widen(work).c_str(), &startup, &process)) {
      return LastError("run", host);
    }
    Handle process_handle(process.hProcess), thread_handle(process.hThread);
    if (!poll) {
      ::WaitForSingleObject(process.hProcess, INFINITE);
    } else {
      while (::WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        if (!poll()) {
          ::TerminateProcess(process.hProcess, 1);
          ::WaitForSingleObject(process.hProcess, INFINITE);
          return Status::Error(kErrCancelled, "ended on request: " + host);
        }
      }
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.hProcess, &code)) return LastError("run", host);
    *exit_code = static_cast<int>(code);
    return Status::Ok();
  }

  Date Today() override { return HostToday(); }

 protected:
  Status HostPathOf(const WindowsPath& path, std::string* host) override {
    return HostOf(path, host);
  }

  Status HostFolderOf(const WindowsPath& folder, std::string* host) override {
    if (Status s = HostOf(folder, host); !s.ok()) return s;
    if (!IsFolder(*host)) return Status::Error(kErrPathNotFound, "folder not found: " + *host);
    return Status::Ok();
  }

  std::string HostAbsolute(const std::string& host_path) override { return FullPath(host_path); }

  std::vector<std::string> HostSpellings(const std::string& folder) override { return {folder}; }

  std::optional<std::string> HostReal(const std::string& host_path) override {
    std::optional<std::string> real = FinalPath(host_path);
    if (!real) return real;
    std::string out = TrimFolder(*real);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
  }

  bool HostIsLink(const std::string& host_path) override {
    const DWORD attributes = AttributesOf(host_path);
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }

 private:
  static std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
    return folder + "\\" + name;
  }

  // The host path of a Windows path; 71 when its drive (share) is not ready.
  Status HostOf(const WindowsPath& path, std::string* host) const {
    std::string root;
    if (Status s = MappedRoot(path, &root); !s.ok()) return s;
    std::string base = root;
    for (std::size_t i = 0; i < path.root_parts() && i < path.parts.size(); ++i) {
      base += "\\" + path.parts[i];
    }
    if (base.size() == 2 && base[1] == ':') base += '\\';
    if (!IsFolder(base)) return Status::Error(kErrDiskNotReady, "drive not ready: " + base);
    if (path.is_root()) {
      *host = base;
      return Status::Ok();
    }
    *host = root;
    for (const std::string& part : path.parts) *host += "\\" + part;
    return Status::Ok();
  }

  Status HostOfText(const std::string& text, std::string* host) const {
    WindowsPath parsed;
    if (Status s = Parse(text, &parsed); !s.ok()) return s;
    return HostOf(parsed, host);
  }

  // A target file about to be written or replaced: its folder exists, it is
  // not a folder or a drive root, not read-only, and its name can be made.
  static Status CheckTarget(const std::string& host, const std::string& path) {
    const std::string parent = ParentOf(host);
    if (parent.empty() || NameOf(host).empty()) {
      return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    }
    if (!IsFolder(parent)) return Status::Error(kErrPathNotFound, "folder not found: " + host);
    const DWORD attributes = AttributesOf(host);
    if (attributes == kNoAttributes) {
      if (!IsCreatableName(NameOf(host))) {
        return Status::Error(kErrPathNotFound, "name not allowed: " + path);
      }
      return Status::Ok();
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Status::Error(kErrPathFileAccess, "a folder: " + path);
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      return Status::Error(kErrPermissionDenied, "read-only: " + path);
    }
    return Status::Ok();
  }

  // The old bytes go to the new file `copy` first and the room of the new
  // ones is reserved, so that a full disk is found before the file is
  // touched; a write that fails on the way puts the old bytes back.
  static Status InPlace(HANDLE file, Handle& copy, const std::string& copy_name,
                        const std::string& host, const std::string& bytes) {
    std::string before;
    char buffer[65536];
    bool read = true;
    for (DWORD got = 1; got > 0;) {
      read = ::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) != 0;
      if (!read) break;
      before.append(buffer, got);
    }
    if (!read || !WriteAllTo(copy.get(), before) || !::FlushFileBuffers(copy.get())) {
      Status failed = LastError(read ? "write" : "read", read ? copy_name : host);
      copy.Close();
      ::DeleteFileW(Widen(copy_name).c_str());
      return failed;
    }
    copy.Close();
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize.QuadPart = static_cast<LONGLONG>(bytes.size());
    Status status = Status::Ok();
    // A file system (or Wine) that reserves nothing finds a full disk on writing.
    if (bytes.size() > before.size() &&
        !::SetFileInformationByHandle(file, FileAllocationInfo, &room, sizeof(room)) &&
        ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED && ::GetLastError() != ERROR_NOT_SUPPORTED &&
        ::GetLastError() != ERROR_INVALID_PARAMETER) {
      status = LastError("write", host);
    } else if (!PutAt(file, bytes)) {
      status = LastError("write", host);
      if (!PutAt(file, before)) {
        status.detail += "; the old content is kept in " + copy_name;
        return status;
      }
    }
    ::DeleteFileW(Widen(copy_name).c_str());
    return status;
  }

  Status Write(const std::string& path, const std::string& bytes, bool append) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string host;
    if (Status s = OpenForWriting(path, append, &handle, &host); !s.ok()) return s;
    Handle file(handle);
    if (!append && !::SetEndOfFile(file.get())) return LastError("write", host);
    if (!WriteAllTo(file.get(), bytes)) return LastError("write", host);
    if (!file.Close()) return LastError("write", host);
    return Status::Ok();
  }

  // Opens a file to write (at its end with `append`), creating it when
  // missing; the handle is the caller's to close.
  Status OpenForWriting(const std::string& path, bool append, HANDLE* out, std::string* host) {
    std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current_);
    if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + path);
    if (parsed->is_root()) return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    if (Status s = HostOf(*parsed, host); !s.ok()) return s;
    if (Status s = CheckTarget(*host, path); !s.ok()) return s;
    Handle file(::CreateFileW(Widen(*host).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                              FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!file.valid()) return LastError("write", *host);
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
      return Status::Error(kErrPathFileAccess, "not a file: " + path);
    }
    *out = file.Release();
    return Status::Ok();
  }

  unsigned long temporaries_ = 0;
};

}  // namespace

DriveMap DriveMap::FromEnvironment() {
  DriveMap map =
      host::ParseDriveMap(HostEnvironment("ZARIREVO_DRIVES"), HostEnvironment("ZARIREVO_UNC"),
                          HostEnvironment("ZARIREVO_WINDIR"));
  // The machine's own Windows folder, unless a map of drives builds another
  // world (which has its C:\WINDOWS as on every host).
  if (map.drives.empty() && HostEnvironment("ZARIREVO_WINDIR").empty()) {
    wchar_t buffer[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) map.windows_folder = win32::Narrow({buffer, length});
  }
  return map;
}

std::unique_ptr<Platform> CreateHostPlatform(const DriveMap& map) {
  return std::make_unique<Win32Platform>(map);
}

}  // namespace zr
