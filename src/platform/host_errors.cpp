#include "platform/host_errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace zr::host {

namespace {

bool ParentIsFolder(const std::string& host_path) {
  std::string::size_type slash = host_path.find_last_of('/');
  if (slash == std::string::npos) return true;  // relative to the host working folder
  std::string parent = slash == 0 ? "/" : host_path.substr(0, slash);
  struct stat st;
  return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int ErrnoToRuntimeError(int err, const std::string& host_path) {
  switch (err) {
    case 0:
      return kErrNone;
    case ENOENT:
      return ParentIsFolder(host_path) ? kErrFileNotFound : kErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return kErrPermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrDiskFull;
    case EIO:
      return kErrDeviceIo;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return kErrPathNotFound;
    default:  // EEXIST, ENOTEMPTY, EISDIR, EBUSY, ...
      return kErrPathFileAccess;
  }
}

Status ErrnoStatus(int err, const std::string& what, const std::string& host_path) {
  return Status::Error(ErrnoToRuntimeError(err, host_path),
                       what + ": " + std::strerror(err) + " (" + host_path + ")");
}

}  // namespace zr::host
