#include "platform/host_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "platform/host_clock.h"
#include "platform/host_errors.h"
#include "platform/host_paths.h"
#include "platform/host_process.h"
#include "platform/mapped_platform.h"

namespace zr {

namespace {

using host::ErrnoStatus;
using host::Resolution;

// Hidden and system live in this extended attribute as ASCII text "0x" and
// the hexadecimal attribute bits ("0x2" hidden, "0x6" hidden and system).
// Only those two bits are read from it; read-only lives in the mode bits.
constexpr const char* kDosAttributeName = "user.DOSATTRIB";
constexpr unsigned kXattrBits = kAttrHidden | kAttrSystem;

unsigned ReadDosBits(const std::string& host_path) {
  char buffer[64];
  ssize_t size = ::getxattr(host_path.c_str(), kDosAttributeName, buffer, sizeof(buffer) - 1);
  if (size <= 0) return 0;  // none, or the host file system keeps no xattrs
  buffer[size] = '\0';
  const char* text = buffer;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
  char* end = nullptr;
  unsigned long bits = std::strtoul(text, &end, 16);
  if (end == text) return 0;
  return static_cast<unsigned>(bits) & kXattrBits;
}

Status WriteDosBits(const std::string& host_path, unsigned bits) {
  bits &= kXattrBits;
  if (bits == 0) {
    if (::removexattr(host_path.c_str(), kDosAttributeName) == 0 || errno == ENODATA ||
        errno == ENOTSUP) {
      return Status::Ok();
    }
    return ErrnoStatus(errno, "clear attributes", host_path);
  }
  char text[16];
  int length = std::snprintf(text, sizeof(text), "0x%X", bits);
  if (::setxattr(host_path.c_str(), kDosAttributeName, text, static_cast<size_t>(length), 0) != 0) {
    return ErrnoStatus(errno, "set attributes", host_path);
  }
  return Status::Ok();
}

unsigned AttributesOf(const std::string& host_path, const struct stat& st) {
  unsigned attributes = kAttrNormal;
  if (S_ISDIR(st.st_mode)) attributes |= kAttrFolder;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  return attributes | ReadDosBits(host_path);
}

// Writes all of `bytes` to `fd`.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Closes a descriptor on every way out of a scope.
class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;
  /// Closes now and reports whether the close succeeded (errors of delayed writes).
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  /// Leaves the descriptor open, to the caller.
  void Release() { fd_ = -1; }

 private:
  int fd_;
};

// A file open for appending: each Append one write(2) (or more, for a
// short one) straight to the file.
class AppendingDescriptor : public AppendingFile {
 public:
  AppendingDescriptor(int fd, std::string host) : closer_(fd), fd_(fd), host_(std::move(host)) {}
  Status Append(const std::string& bytes) override {
    if (fd_ < 0) return Status::Error(kErrPathFileAccess, "closed: " + host_);
    if (!WriteAll(fd_, bytes.data(), bytes.size())) return ErrnoStatus(errno, "write", host_);
    return Status::Ok();
  }
  Status Close() override {
    if (fd_ < 0) return Status::Ok();
    fd_ = -1;
    if (!closer_.Close()) return ErrnoStatus(errno, "write", host_);
    return Status::Ok();
  }

 private:
  FdCloser closer_;
  int fd_;
  std::string host_;
};

// Opens an existing file for reading. A FIFO, socket or device in the place
// of a file is refused like a file that cannot be read (75): opening a FIFO
// without O_NONBLOCK waits for a writer for ever, and a device never ends.
Status OpenRegularForReading(const std::string& host_path, const std::string& path,
                             const char* what, int* fd, struct stat* st) {
  *fd = ::open(host_path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (*fd < 0) return ErrnoStatus(errno, what, host_path);
  // O_NONBLOCK stays: it changes nothing for the reads of a regular file.
  int err = ::fstat(*fd, st) != 0 ? errno : 0;
  if (err == 0 && !S_ISREG(st->st_mode)) err = -1;
  if (err == 0) return Status::Ok();
  ::close(*fd);
  *fd = -1;
  if (err < 0) return Status::Error(kErrPathFileAccess, "not a file: " + path);
  return ErrnoStatus(err, what, host_path);
}

// Lexically normalised absolute host path ("." and ".." applied, "//" merged).
std::string NormaliseHostPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      std::string part = path.substr(start, i - start);
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      start = i + 1;
    }
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

// The file creation mask, read once (setting it back at once).
mode_t CurrentUmask() {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// The new content of a settings file, written so that the file stays as the
// user set it up (see Platform::RewriteFile). Works on host paths; the
// caller has resolved the Windows path and checked its folder.
class Rewrite {
 public:
  Rewrite(std::string host_path, const std::string& bytes)
      : path_(std::move(host_path)), bytes_(bytes) {}

  Status Run(bool exists) {
    if (exists) {
      // A link is resolved once: the file it names is the one rewritten, and
      // the link itself stays as it is.
      struct stat link;
      if (::lstat(path_.c_str(), &link) != 0) return ErrnoStatus(errno, "write", path_);
      if (S_ISLNK(link.st_mode)) {
        char* real = ::realpath(path_.c_str(), nullptr);
        if (real == nullptr) {
          return Status::Error(kErrPathFileAccess, "link leads nowhere: " + path_);
        }
        path_ = real;
        std::free(real);
      }
    }
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && !exists) return Replace(nullptr, -1);
    if (fd < 0) return ErrnoStatus(errno, "write", path_);
    FdCloser closer(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) return ErrnoStatus(errno, "write", path_);
    if (!S_ISREG(st.st_mode)) return Status::Error(kErrPathFileAccess, "not a file: " + path_);
    if ((st.st_mode & S_IWUSR) == 0) {
      return Status::Error(kErrPermissionDenied, "read-only: " + path_);
    }
    // A new file would split the names of a multiply-linked file; one that
    // cannot be given the file's owner would change it.
    if (st.st_nlink > 1) return InPlace(st);
    return Replace(&st, fd);
  }

 private:
  // A new file in the folder of `path_`, of a name no one can foresee,
  // created where no name existed (O_EXCL: never a link followed).
  int CreateBeside(std::string* name) const {
    *name = path_ + ".~zrXXXXXX";
    return ::mkostemp(name->data(), O_CLOEXEC);
  }

  // Writes the bytes to a new file and renames it over the old one, after
  // giving it the old one's owner, group, mode and extended attributes (the
  // hidden and system bits among them). `old` is null for a missing file.
  Status Replace(const struct stat* old, int old_fd) {
    std::string temporary;
    const int fd = CreateBeside(&temporary);
    if (fd < 0) return ErrnoStatus(errno, "write", path_);
    FdCloser closer(fd);
    Status status = Fill(fd, temporary);
    if (status.ok() && old != nullptr) {
      if (!KeepOwner(fd, *old)) {
        ::unlink(temporary.c_str());
        return InPlace(*old);
      }
      CopyExtendedAttributes(old_fd, fd);
      if (::fchmod(fd, old->st_mode & 07777) != 0) status = ErrnoStatus(errno, "write", path_);
    } else if (status.ok() && ::fchmod(fd, 0666 & ~CurrentUmask()) != 0) {
      status = ErrnoStatus(errno, "write", path_);
    }
    if (status.ok() && ::fsync(fd) != 0) status = ErrnoStatus(errno, "write", temporary);
    if (status.ok() && !closer.Close()) status = ErrnoStatus(errno, "write", temporary);
    if (status.ok() && ::rename(temporary.c_str(), path_.c_str()) != 0) {
      status = ErrnoStatus(errno, "write", path_);
    }
    if (!status.ok()) ::unlink(temporary.c_str());
    return status;
  }

  Status Fill(int fd, const std::string& name) const {
    if (!WriteAll(fd, bytes_.data(), bytes_.size())) return ErrnoStatus(errno, "write", name);
    return Status::Ok();
  }

  static bool KeepOwner(int fd, const struct stat& old) {
    struct stat now;
    if (::fstat(fd, &now) != 0) return false;
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid) return true;
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
  }

  // Every extended attribute this process may set; the others are left.
  static void CopyExtendedAttributes(int from, int to) {
    std::string names(4096, '\0');
    const ssize_t length = ::flistxattr(from, names.data(), names.size());
    if (length <= 0) return;
    names.resize(static_cast<std::size_t>(length));
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
      const char* name = names.c_str() + at;
      char value[4096];
      const ssize_t size = ::fgetxattr(from, name, value, sizeof(value));
      if (size >= 0) ::fsetxattr(to, name, value, static_cast<std::size_t>(size), 0);
    }
  }

  // The bytes written over the old ones in the file itself. First the old
  // bytes are copied to a new file beside it and the room the new content
  // needs is reserved, so that a full disk is found before the file is
  // touched; a write that fails on the way puts the old bytes back.
  Status InPlace(const struct stat& old) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ErrnoStatus(errno, "write", path_);
    FdCloser closer(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) return ErrnoStatus(errno, "write", path_);
    if (st.st_dev != old.st_dev || st.st_ino != old.st_ino) {
      return Status::Error(kErrPathFileAccess, "changed while written: " + path_);
    }
    std::string before;
    if (Status s = ReadAll(fd, &before); !s.ok()) return s;
    std::string copy;
    const int copy_fd = CreateBeside(&copy);
    if (copy_fd < 0) return ErrnoStatus(errno, "write", path_);
    FdCloser copy_closer(copy_fd);
    Status saved = WriteAll(copy_fd, before.data(), before.size())
                       ? Status::Ok()
                       : ErrnoStatus(errno, "write", copy);
    if (saved.ok() && ::fsync(copy_fd) != 0) saved = ErrnoStatus(errno, "write", copy);
    if (!saved.ok()) {
      ::unlink(copy.c_str());
      return saved;
    }
    Status status = Reserve(fd);
    if (status.ok()) status = PutAt(fd, bytes_);
    if (!status.ok() && !PutAt(fd, before).ok()) {
      status.detail += "; the old content is kept in " + copy;
      return status;
    }
    ::unlink(copy.c_str());
    return status;
  }

  Status Reserve(int fd) const {
    if (bytes_.empty()) return Status::Ok();
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes_.size())) == 0 ||
        errno == EOPNOTSUPP || errno == ENOSYS) {
      return Status::Ok();  // a file system that reserves nothing finds a full disk on writing
    }
    return ErrnoStatus(errno, "write", path_);
  }

  Status PutAt(int fd, const std::string& content) const {
    const char* data = content.data();
    std::size_t left = content.size();
    off_t at = 0;
    while (left > 0) {
      const ssize_t written = ::pwrite(fd, data, left, at);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return ErrnoStatus(written < 0 ? errno : ENOSPC, "write", path_);
      data += written;
      at += written;
      left -= static_cast<std::size_t>(written);
    }
    if (::ftruncate(fd, static_cast<off_t>(content.size())) != 0 || ::fsync(fd) != 0) {
      return ErrnoStatus(errno, "write", path_);
    }
    return Status::Ok();
  }

  Status ReadAll(int fd, std::string* bytes) const {
    char buffer[65536];
    off_t at = 0;
    while (true) {
      const ssize_t got = ::pread(fd, buffer, sizeof(buffer), at);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return ErrnoStatus(errno, "read", path_);
      if (got == 0) return Status::Ok();
      bytes->append(buffer, static_cast<std::size_t>(got));
      at += got;
    }
  }

  std::string path_;
  const std::string& bytes_;
};

std::string HostWorkingFolder() {
  char* cwd = ::getcwd(nullptr, 0);
  if (cwd == nullptr) return "/";
  std::string out(cwd);
  std::free(cwd);
  return out;
}

class HostPlatform : public MappedPlatform {
  // A file or folder named in a folder whose handle is open: `name` is its
  // host spelling when `exists`, the name as typed otherwise.
  struct Placed {
    host::FolderHandles::Handle* folder = nullptr;
    std::string name;
    bool exists = false;
    // The real location of the folder's handle that was found gone and
    // opened again by its path in this call ("" when none was).
    std::string gone_real;
    std::string host() const { return host::JoinHost(folder->host, name); }
  };

 public:
  explicit HostPlatform(const DriveMap& map) : MappedPlatform(map, "/", false) {
    for (auto& [letter, folder] : map_.drives) folder = host::TrimHostFolder(folder);
    map_.unc_root = map_.unc_root.empty() ? "" : host::TrimHostFolder(map_.unc_root);
    StartIn(HostWorkingFolder());
  }

  Status List(const std::string& pattern, ListKind kind,
              std::vector<FolderEntry>* entries) override {
    entries->clear();
    std::string name_pattern;
    WindowsPath folder;
    if (Status s = ParseListPattern(pattern, &folder, &name_pattern); !s.ok()) return s;
    Resolution r;
    if (Status s = Resolve(folder, &r); !s.ok()) return s;
    if (!r.exists()) return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
    int fd = ::open(r.host.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ErrnoStatus(errno == ENOENT ? ENOTDIR : errno, "list", r.host);
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
      int err = errno;
      ::close(fd);
      return ErrnoStatus(err, "list", r.host);
    }
    ListingRule rule(name_pattern, kind);
    while (const dirent* d = ::readdir(dir)) {
      std::string_view name(d->d_name);
      if (!rule.Matches(name)) continue;
      struct stat st;
      if (::fstatat(fd, d->d_name, &st, 0) != 0) continue;         // dangling link or vanished
      if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) continue;  // devices, pipes, sockets
      if (!rule.Wanted(S_ISDIR(st.st_mode) ? static_cast<unsigned>(kAttrFolder) : 0u))
        continue;  // before the xattr read
      const unsigned attributes = AttributesOf(host::JoinHost(r.host, name), st);
      if (!rule.Wanted(attributes)) continue;
      const std::uint64_t size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
      rule.Add({std::string(name), attributes, size});
    }
    ::closedir(dir);
    rule.Take(entries);
    return Status::Ok();
  }

  Status GetAttributes(const std::string& path, unsigned* attributes) override {
    *attributes = kAttrNormal;
    Resolution r;
    if (Status s = ResolveText(path, &r); !s.ok()) return s;
    if (int missing = r.MissingError()) return Status::Error(missing, "not found: " + r.host);
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0) {
      if (::lstat(r.host.c_str(), &st) != 0) return ErrnoStatus(errno, "attributes", r.host);
      return Status::Ok();  // a dangling link: an ordinary file that can only be deleted
    }
    *attributes = AttributesOf(r.host, st);
    return Status::Ok();
  }

  Status SetAttributes(const std::string& path, unsigned attributes) override {
    Resolution r;
    if (Status s = ResolveExisting(path, &r); !s.ok()) return s;
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0) return ErrnoStatus(errno, "attributes", r.host);
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH})
                                        : (mode | S_IWUSR);
    if (mode != (st.st_mode & 07777) && ::chmod(r.host.c_str(), mode) != 0) {
      return ErrnoStatus(errno, "attributes", r.host);
    }
    return WriteDosBits(r.host, attributes);
  }

  // The source opened relative to its folder's handle, a temporary created
  // relative to the target folder's handle, the bytes copied in the kernel,
  // mode and times set on the descriptor, one rename over the target
  // relative to that handle. A failed copy (disk full, read error) leaves no
  // half file behind and an older target as it was.
  Status CopyFile(const std::string& from, const std::string& to) override {
    return Copy(from, to, nullptr);
  }

  // The bytes go through this process, summed as they pass.
  Status CopyFileSummed(const std::string& from, const std::string& to,
                        std::optional<FileSum>* sum) override {
    sum->reset();
    FileSum copied;
    Status result = Copy(from, to, &copied);
    if (result.ok()) *sum = copied;
    return result;
  }

  Status Copy(const std::string& from, const std::string& to, FileSum* sum) {
    std::optional<WindowsPath> source_path = WindowsPath::Parse(from, current_);
    if (!source_path) return Status::Error(kErrPathNotFound, "bad path: " + from);
    std::optional<WindowsPath> target_path = WindowsPath::Parse(to, current_);
    if (!target_path) return Status::Error(kErrPathNotFound, "bad path: " + to);
    int in = -1;
    struct stat in_stat;
    Placed source;
    if (Status s = OpenSource(*source_path, from, "copy from", &source, &in, &in_stat); !s.ok()) {
      return s;
    }
    FdCloser in_closer(in);
    Placed target;
    if (Status s = Place(*target_path, true, &target); !s.ok()) {
      return s.error == kErrPathFileAccess ? Status::Error(s.error, "a folder: " + to) : s;
    }
    // A caller checks where the target lies through the folder's handle
    // (RealLocation); a folder removed since and put back elsewhere under
    // its name (a link) is not the folder that was checked.
    if (!target.gone_real.empty() && target.gone_real != target.folder->real) {
      return Status::Error(kErrPathFileAccess, "folder replaced since it was placed: " + to);
    }
    const int folder = target.folder->fd;
    struct stat out_stat;
    if (!target.exists) {
      if (!IsCreatableName(target.name)) {
        return Status::Error(kErrPathNotFound, "name not allowed: " + to);
      }
    } else if (::fstatat(folder, target.name.c_str(), &out_stat, 0) == 0) {
      if (S_ISDIR(out_stat.st_mode)) return Status::Error(kErrPathFileAccess, "a folder: " + to);
      if (out_stat.st_dev == in_stat.st_dev && out_stat.st_ino == in_stat.st_ino) {
        return Status::Error(kErrPathFileAccess, "copy onto itself: " + to);
      }
      if ((out_stat.st_mode & S_IWUSR) == 0) {
        return Status::Error(kErrPermissionDenied, "read-only: " + to);
      }
    }
    // The copy keeps the source's permission bits but is writable by its
    // owner, and the source's modification time, as Windows copies keep it.
    const mode_t mode = (in_stat.st_mode & 0777) | S_IWUSR;
    // A summed copy fills a customer folder: a new file there is created
    // under its own name (exclusively, so nothing put there meanwhile is
    // written through) and removed again should the copy fail, which spares
    // a rename per file. Any other copy goes through a temporary renamed over
    // the target, so that nobody ever meets half a file under its name.
    std::string temporary;
    int out = -1;
    if (sum != nullptr && !target.exists) {
      out = ::openat(folder, target.name.c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      if (out < 0 && errno != EEXIST) return ErrnoStatus(errno, "copy to", target.host());
    }
    const bool in_place = out >= 0;
    if (!in_place) out = CreateTemporary(folder, mode, &temporary);
    if (out < 0) return ErrnoStatus(errno, "copy to", target.host());
    FdCloser out_closer(out);
    Status result = sum != nullptr
                        ? CopySummed(in, out, in_stat.st_size, source.host(), target.host(), sum)
                        : CopyBytes(in, out, in_stat.st_size, source.host(), target.host());
    if (result.ok()) {
      if ((mode & umask_) != 0) ::fchmod(out, mode);
      const struct timespec times[2] = {in_stat.st_atim, in_stat.st_mtim};
      ::futimens(out, times);
      if (!out_closer.Close()) {
        result = ErrnoStatus(errno, "copy to", target.host());
      } else if (!in_place &&
                 ::renameat(folder, temporary.c_str(), folder, target.name.c_str()) != 0) {
        result = ErrnoStatus(errno, "copy to", target.host());
      } else if (!target.exists) {
        names_.Added(target.folder->host, target.name, folder);
      }
    }
    if (!result.ok()) ::unlinkat(folder, in_place ? target.name.c_str() : temporary.c_str(), 0);
    return result;
  }

  // The source's open of CopyFile, then reads of 256 KB summed as they come.
  Status SumFile(const std::string& path, FileSum* sum) override {
    *sum = {};
    std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current_);
    if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + path);
    int fd = -1;
    struct stat st;
    Placed placed;
    if (Status s = OpenSource(*parsed, path, "read", &placed, &fd, &st); !s.ok()) return s;
    FdCloser closer(fd);
    const std::span<unsigned char> buffer = ReadBuffer();
    uLong crc = crc32(0L, Z_NULL, 0);
    while (true) {
      const ssize_t got = ::read(fd, buffer.data(), buffer.size());
      if (got < 0) {
        if (errno == EINTR) continue;
        *sum = {};
        return ErrnoStatus(errno, "read", placed.host());
      }
      if (got == 0) break;
      crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
      sum->size += static_cast<std::uint64_t>(got);
      // A regular file gives all it has: a short read at or past the size it
      // had on opening is its end, and needs no further read to say so.
      if (static_cast<std::size_t>(got) < buffer.size() &&
          sum->size >= static_cast<std::uint64_t>(st.st_size)) {
        break;
      }
    }
    sum->crc32 = static_cast<std::uint32_t>(crc);
    return Status::Ok();
  }

  Status DeleteFile(const std::string& path) override {
    Resolution r;
    if (Status s = ResolveExisting(path, &r); !s.ok()) return s;
    struct stat st;
    if (::lstat(r.host.c_str(), &st) != 0) return ErrnoStatus(errno, "delete", r.host);
    if (S_ISDIR(st.st_mode)) return Status::Error(kErrPathFileAccess, "a folder: " + path);
    if (S_ISLNK(st.st_mode)) {
      struct stat target;
      if (::stat(r.host.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        return Status::Error(kErrPathFileAccess, "a folder link: " + path);
      }
    } else if ((st.st_mode & S_IWUSR) == 0) {
      return Status::Error(kErrPermissionDenied, "read-only: " + path);
    }
    if (::unlink(r.host.c_str()) != 0) return ErrnoStatus(errno, "delete", r.host);
    Changed(r.host, false);
    return Status::Ok();
  }

  Status CreateFolder(const std::string& path) override {
    Resolution r;
    if (Status s = ResolveText(path, &r); !s.ok()) return s;
    if (r.total == 0 || r.exists()) return Status::Error(kErrPathFileAccess, "exists: " + path);
    if (!r.parent_exists()) return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
    if (Status s = CheckNewName(r, path); !s.ok()) return s;
    if (::mkdir(r.host.c_str(), 0777) != 0) return ErrnoStatus(errno, "create folder", r.host);
    Changed(r.host, true);
    return Status::Ok();
  }

  Status RemoveFolder(const std::string& path) override {
    Resolution r;
    if (Status s = ResolveText(path, &r); !s.ok()) return s;
    if (!r.exists()) return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
    if (r.total == 0) return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    struct stat st;
    if (::lstat(r.host.c_str(), &st) != 0) return ErrnoStatus(errno, "remove folder", r.host);
    folders_.ForgetHost(r.host);
    if (S_ISLNK(st.st_mode)) {  // removed as a link, never followed
      if (::unlink(r.host.c_str()) != 0) return ErrnoStatus(errno, "remove folder", r.host);
      Changed(r.host, false);
      return Status::Ok();
    }
    if (!S_ISDIR(st.st_mode)) return Status::Error(kErrPathFileAccess, "not a folder: " + path);
    if (::rmdir(r.host.c_str()) != 0) return ErrnoStatus(errno, "remove folder", r.host);
    names_.Forget(r.host);
    Changed(r.host, false);
    return Status::Ok();
  }

  Status ReadFile(const std::string& path, std::string* bytes) override {
    bytes->clear();
    Resolution r;
    if (Status s = ResolveExisting(path, &r); !s.ok()) return s;
    int fd = -1;
    struct stat st;
    if (Status s = OpenRegularForReading(r.host, path, "read", &fd, &st); !s.ok()) return s;
    FdCloser closer(fd);
    char buffer[65536];
    while (true) {
      ssize_t got = ::read(fd, buffer, sizeof(buffer));
      if (got < 0) {
        if (errno == EINTR) continue;
        bytes->clear();
        return ErrnoStatus(errno, "read", r.host);
      }
      if (got == 0) break;
      bytes->append(buffer, static_cast<std::size_t>(got));
    }
    return Status::Ok();
  }

  Status WriteFile(const std::string& path, const std::string& bytes) override {
    return Write(path, bytes, O_TRUNC);
  }

  Status AppendFile(const std::string& path, const std::string& bytes) override {
    return Write(path, bytes, O_APPEND);
  }

  // The descriptor of AppendFile's open, kept: one write a call after it.
  Status OpenAppending(const std::string& path, std::unique_ptr<AppendingFile>* file) override {
    file->reset();
    int fd = -1;
    std::string host;
    // Never through a link in the file's place: the list this serves is
    // made afresh in our temporary folder.
    if (Status s = OpenForWriting(path, O_APPEND | O_NOFOLLOW, &fd, &host); !s.ok()) return s;
    *file = std::make_unique<AppendingDescriptor>(fd, std::move(host));
    return Status::Ok();
  }

  Status RenameFile(const std::string& from, const std::string& to) override {
    Resolution source;
    if (Status s = ResolveExisting(from, &source); !s.ok()) return s;
    Resolution target;
    if (Status s = ResolveText(to, &target); !s.ok()) return s;
    if (target.total == 0) return Status::Error(kErrPathFileAccess, "a drive root: " + to);
    if (!target.parent_exists()) {
      return Status::Error(kErrPathNotFound, "folder not found: " + target.host);
    }
    struct stat st;
    if (::lstat(source.host.c_str(), &st) != 0) return ErrnoStatus(errno, "rename", source.host);
    if (S_ISDIR(st.st_mode)) return Status::Error(kErrPathFileAccess, "a folder: " + from);
    if (target.exists() && ::stat(target.host.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) return Status::Error(kErrPathFileAccess, "a folder: " + to);
      if ((st.st_mode & S_IWUSR) == 0) {
        return Status::Error(kErrPermissionDenied, "read-only: " + to);
      }
    }
    if (::rename(source.host.c_str(), target.host.c_str()) != 0) {
      return ErrnoStatus(errno, "rename", target.host);
    }
    Changed(source.host, false);
    if (!target.exists()) Changed(target.host, true);
    return Status::Ok();
  }

  Status RewriteFile(const std::string& path, const std::string& bytes) override {
    Resolution r;
    if (Status s = ResolveText(path, &r); !s.ok()) return s;
    if (r.total == 0) return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    if (!r.parent_exists()) return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
    if (Status s = CheckNewName(r, path); !s.ok()) return s;
    Status status = Rewrite(r.host, bytes).Run(r.exists());
    if (status.ok() && !r.exists()) Changed(r.host, true);
    return status;
  }

  Status Run(const std::string& command_line, int* exit_code,
             const std::function<bool()>& poll = {}) override {
    *exit_code = -1;
    std::vector<std::string> args = host::SplitCommandLine(command_line);
    WindowsPath program;
    if (Status s = ParseProgram(args.empty() ? "" : args[0], &program); !s.ok()) return s;
    Resolution r;
    if (Status s = Resolve(program, &r); !s.ok()) return s;
    if (int missing = r.MissingError()) return Status::Error(missing, "not found: " + r.host);
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      return Status::Error(kErrFileNotFound, "not a program file: " + r.host);
    }
    std::string work;
    if (Status s = HostFolderOf(current_, &work); !s.ok()) return s;
    std::vector<std::string> environment;
    for (const auto& [name, value] : MapSettings()) environment.push_back(name + "=" + value);
    return host::SpawnAndWait(r.host, args, work, environment, exit_code, poll);
  }

  Date Today() override { return HostToday(); }

  Status RealLocation(const std::string& path, std::string* location) override {
    location->clear();
    std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current_);
    if (!parsed) return Status::Error(kErrPathNotFound, "bad path: " + path);
    // The common case: the folder's real location, read when its handle was
    // opened, and the last name when it is no link.
    Placed placed;
    if (Status s = Place(*parsed, true, &placed); s.error == kErrDiskNotReady)
      return s;
    else if (s.ok()) {
      struct stat st;
      if (!placed.exists ||
          (::fstatat(placed.folder->fd, placed.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           !S_ISLNK(st.st_mode))) {
        *location = NormaliseHostPath(placed.folder->real + "/" + placed.name);
        return Status::Ok();
      }
    }
    return MappedPlatform::RealLocation(path, location);
  }

 protected:
  Status HostPathOf(const WindowsPath& path, std::string* host) override {
    Resolution r;
    if (Status s = Resolve(path, &r); !s.ok()) return s;
    *host = std::move(r.host);
    return Status::Ok();
  }

  Status HostFolderOf(const WindowsPath& folder, std::string* host) override {
    Resolution r;
    if (Status s = Resolve(folder, &r); !s.ok()) return s;
    struct stat st;
    if (!r.exists() || ::stat(r.host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
    }
    *host = std::move(r.host);
    return Status::Ok();
  }

  std::string HostAbsolute(const std::string& host_path) override {
    if (host_path.empty()) return {};
    return NormaliseHostPath(host_path[0] == '/' ? host_path
                                                 : HostWorkingFolder() + "/" + host_path);
  }

  // As mapped, and as resolved.
  std::vector<std::string> HostSpellings(const std::string& folder) override {
    std::vector<std::string> spellings = {NormaliseHostPath(folder)};
    if (std::optional<std::string> real = HostReal(folder); real && *real != spellings[0]) {
      spellings.push_back(std::move(*real));
    }
    return spellings;
  }

  std::optional<std::string> HostReal(const std::string& host_path) override {
    char* real = ::realpath(host_path.c_str(), nullptr);
    if (real == nullptr) return std::nullopt;
    std::string out(real);
    std::free(real);
    return out;
  }

  bool HostIsLink(const std::string& host_path) override {
    struct stat st;
    return ::lstat(host_path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }

 private:
  // Resolves `path` below its drive's folder, names looked up in the name memory.
  Status Resolve(const WindowsPath& path, Resolution* r) const {
    std::string root;
    if (Status s = MappedRoot(path, &root); !s.ok()) return s;
    return host::Resolve(root, path, r, &names_);
  }

  Status ResolveText(const std::string& path, Resolution* r) const {
    WindowsPath parsed;
    if (Status s = Parse(path, &parsed); !s.ok()) return s;
    return Resolve(parsed, r);
  }

  // A name that is about to be created must be one Windows accepts: ':' (but
  // the drive's), < > " | ? * and control characters are refused as Windows
  // refuses them, instead of making a host name no Windows program can open.
  static Status CheckNewName(const Resolution& r, const std::string& path) {
    if (r.exists()) return Status::Ok();
    std::string_view name(r.host);
    name.remove_prefix(name.find_last_of('/') + 1);
    if (IsCreatableName(name)) return Status::Ok();
    return Status::Error(kErrPathNotFound, "name not allowed: " + path);
  }

  Status ResolveExisting(const std::string& path, Resolution* r) const {
    if (Status s = ResolveText(path, r); !s.ok()) return s;
    if (int missing = r->MissingError()) return Status::Error(missing, "not found: " + r->host);
    return Status::Ok();
  }

  // Opens an existing regular file for reading, relative to its folder's
  // handle (a FIFO, socket or device in its place gives 75, see
  // OpenRegularForReading). A name that vanished after the lookup is 53.
  Status OpenSource(const WindowsPath& path, const std::string& text, const char* what,
                    Placed* placed, int* fd, struct stat* st) {
    if (Status s = Place(path, false, placed); !s.ok()) {
      return s.error == kErrPathFileAccess ? Status::Error(s.error, "not a file: " + text) : s;
    }
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    *fd = ::openat(placed->folder->fd, placed->name.c_str(), kFlags);
    if (*fd < 0 && errno == ENOENT) {  // another spelling, or a folder gone since
      if (Status s = Place(path, true, placed); !s.ok()) return s;
      if (!placed->exists) return Status::Error(kErrFileNotFound, "not found: " + placed->host());
      *fd = ::openat(placed->folder->fd, placed->name.c_str(), kFlags);
    }
    if (*fd < 0) return ErrnoStatus(errno, what, placed->host());
    int err = ::fstat(*fd, st) != 0 ? errno : 0;
    if (err == 0 && !S_ISREG(st->st_mode)) err = -1;
    if (err == 0) return Status::Ok();
    ::close(*fd);
    *fd = -1;
    if (err < 0) return Status::Error(kErrPathFileAccess, "not a file: " + text);
    return ErrnoStatus(err, what, placed->host());
  }

  // The 256 KB a summing read goes through: one for every read of the thread,
  // never cleared, since a fresh one per file cost more than reading a small
  // file itself.
  static std::span<unsigned char> ReadBuffer() {
    constexpr std::size_t kSize = std::size_t{1} << 18;
    thread_local const std::unique_ptr<unsigned char[]> bytes(new unsigned char[kSize]);
    return {bytes.get(), kSize};
  }

  // Creates a new file of a name of its own in the folder of handle `folder`.
  int CreateTemporary(int folder, mode_t mode, std::string* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      *temporary = ".zrcopy-" + std::to_string(pid_) + "-" + std::to_string(++temporaries_);
      int fd = ::openat(folder, temporary->c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
  }

  // Copies `size` bytes (the source's size when opened) in the kernel,
  // reading and writing where the kernel cannot (another file system, or a
  // file whose size says nothing, such as those of /proc): then to its end.
  // Reads and writes, summing what is read: a read that stops short at the
  // size the stat gave is the end, so a small file takes one read and one write.
  static Status CopySummed(int in, int out, off_t size, const std::string& from,
                           const std::string& to, FileSum* sum) {
    const std::span<unsigned char> buffer = ReadBuffer();
    uLong crc = crc32(0L, Z_NULL, 0);
    *sum = {};
    while (true) {
      const ssize_t got = ::read(in, buffer.data(), buffer.size());
      if (got < 0) {
        if (errno == EINTR) continue;
        return ErrnoStatus(errno, "copy from", from);
      }
      if (got == 0) break;
      for (ssize_t put = 0; put < got;) {
        const ssize_t wrote =
            ::write(out, buffer.data() + put, static_cast<std::size_t>(got - put));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return ErrnoStatus(wrote < 0 ? errno : ENOSPC, "copy to", to);
        put += wrote;
      }
      crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
      sum->size += static_cast<std::uint64_t>(got);
      if (static_cast<std::size_t>(got) < buffer.size() &&
          sum->size == static_cast<std::uint64_t>(size)) {
        break;
      }
    }
    sum->crc32 = static_cast<std::uint32_t>(crc);
    return Status::Ok();
  }

  static Status CopyBytes(int in, int out, off_t size, const std::string& from,
                          const std::string& to) {
    off_t left = size;
    while (left > 0) {
      ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(left), 0);
      if (copied > 0) {
        left -= copied;
        continue;
      }
      if (copied == 0) return Status::Ok();  // the source got shorter
      if (errno == EINTR) continue;
      if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
          errno == EBADF) {
        break;
      }
      const bool target_side = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
      return ErrnoStatus(errno, target_side ? "copy to" : "copy from", target_side ? to : from);
    }
    if (size > 0 && left == 0) return Status::Ok();
    char buffer[65536];
    while (true) {
      ssize_t got = ::read(in, buffer, sizeof(buffer));
      if (got < 0) {
        if (errno == EINTR) continue;
        return ErrnoStatus(errno, "copy from", from);
      }
      if (got == 0) return Status::Ok();
      if (!WriteAll(out, buffer, static_cast<std::size_t>(got))) {
        return ErrnoStatus(errno, "copy to", to);
      }
    }
  }

  Status Write(const std::string& path, const std::string& bytes, int mode_flag) {
    int fd = -1;
    std::string host;
    if (Status s = OpenForWriting(path, mode_flag, &fd, &host); !s.ok()) return s;
    FdCloser closer(fd);
    if (!WriteAll(fd, bytes.data(), bytes.size())) return ErrnoStatus(errno, "write", host);
    if (!closer.Close()) return ErrnoStatus(errno, "write", host);
    return Status::Ok();
  }

  // Opens a file to write (O_TRUNC: cut first; O_APPEND: at its end),
  // creating it when missing; `*fd` is the caller's to close.
  Status OpenForWriting(const std::string& path, int mode_flag, int* out, std::string* host) {
    Resolution r;
    if (Status s = ResolveText(path, &r); !s.ok()) return s;
    if (r.total == 0) return Status::Error(kErrPathFileAccess, "a drive root: " + path);
    if (!r.parent_exists()) return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
    if (Status s = CheckNewName(r, path); !s.ok()) return s;
    // Opened first and checked on the descriptor: a folder fails the open, a
    // FIFO neither blocks it (O_NONBLOCK) nor is written, a read-only file is
    // refused before anything is cut.
    const bool truncate = (mode_flag & O_TRUNC) != 0;
    int fd = ::open(r.host.c_str(),
                    O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (mode_flag & ~O_TRUNC),
                    0666);
    if (fd < 0) return ErrnoStatus(errno, "write", r.host);
    FdCloser closer(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) return ErrnoStatus(errno, "write", r.host);
    if (!S_ISREG(st.st_mode)) return Status::Error(kErrPathFileAccess, "not a file: " + path);
    if (r.exists() && (st.st_mode & S_IWUSR) == 0) {
      return Status::Error(kErrPermissionDenied, "read-only: " + path);
    }
    if (truncate && st.st_size > 0 && ::ftruncate(fd, 0) != 0) {
      return ErrnoStatus(errno, "write", r.host);
    }
    if (!r.exists()) Changed(r.host, true);
    closer.Release();
    *out = fd;
    *host = std::move(r.host);
    return Status::Ok();
  }

  // The handle of the folder of `path` (opened and its real location read
  // once, then kept) and, with `look_up`, the host spelling of its last name
  // from the name memory; without, the name as typed and nothing asked of
  // the host once the folder is open. Error 71 when the drive is not ready,
  // 76 when the folder is missing, 75 for a drive root or share, which has
  // no folder here.
  Status Place(const WindowsPath& path, bool look_up, Placed* out) {
    if (path.parts.size() <= path.root_parts()) {
      return Status::Error(kErrPathFileAccess, "a drive root: " + path.Text());
    }
    const WindowsPath parent = path.Parent();
    const std::string key = parent.Text();
    const std::string& name = path.parts.back();
    for (int attempt = 0; attempt < 2; ++attempt) {
      host::FolderHandles::Handle* folder = folders_.Find(key);
      if (folder == nullptr) {
        Resolution r;
        if (Status s = Resolve(parent, &r); !s.ok()) return s;
        if (!r.exists()) return Status::Error(kErrPathNotFound, "folder not found: " + r.host);
        folder = folders_.Open(key, r.host);
        if (folder == nullptr) {
          return errno == ENOTDIR || errno == ENOENT
                     ? Status::Error(kErrPathNotFound, "folder not found: " + r.host)
                     : ErrnoStatus(errno, "open folder", r.host);
        }
      }
      out->folder = folder;
      out->name = name;
      out->exists = false;
      if (!look_up) return Status::Ok();
      bool gone = false;
      std::string found;
      out->exists = names_.FindAt(folder->fd, folder->host, name, &found, &gone);
      if (gone) {  // removed since it was opened: opened again by its path
        out->gone_real = folder->real;
        folders_.Forget(key);
        continue;
      }
      if (out->exists) out->name = std::move(found);
      return Status::Ok();
    }
    return Status::Error(kErrPathNotFound, "folder not found: " + key);
  }

  // Tells the name memory that this process added or removed `host_path`.
  void Changed(const std::string& host_path, bool added) const {
    const std::size_t slash = host_path.find_last_of('/');
    const std::string folder = slash == 0 ? "/" : host_path.substr(0, slash);
    const std::string name = host_path.substr(slash + 1);
    if (added) {
      names_.Added(folder, name);
    } else {
      names_.Removed(folder, name);
    }
  }

  mutable host::NameCache names_;
  host::FolderHandles folders_;
  mode_t umask_ = CurrentUmask();
  unsigned long temporaries_ = 0;
  pid_t pid_ = ::getpid();
};

}  // namespace

DriveMap DriveMap::FromEnvironment() {
  const std::string drives = HostEnvironment("ZARIREVO_DRIVES");
  DriveMap map = host::ParseDriveMap(drives, HostEnvironment("ZARIREVO_UNC"),
                                     HostEnvironment("ZARIREVO_WINDIR"));
  if (drives.empty()) map.drives['C'] = "/";
  return map;
}

std::unique_ptr<Platform> CreateHostPlatform(const DriveMap& map) {
  // Without TZ the C library reads the zone file again at every conversion
  // of a time (one per entry of a zip archive read, in this process and in
  // the archiver it starts): TZ names that same file once for the run.
  if (std::getenv("TZ") == nullptr) ::setenv("TZ", ":/etc/localtime", 0);
  return std::make_unique<HostPlatform>(map);
}

}  // namespace zr
