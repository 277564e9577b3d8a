// The one place where host errno values become run-time error numbers:
// ENOENT is 53 when the file's folder exists and 76 when a folder on the way
// is missing; EACCES, EPERM and EROFS are 70; ENOSPC and EDQUOT 61; EIO 57;
// EEXIST, ENOTEMPTY, EISDIR, EBUSY and anything else 75; ENOTDIR and ELOOP 76.
#ifndef ZARIREVO_PLATFORM_HOST_ERRORS_H_
#define ZARIREVO_PLATFORM_HOST_ERRORS_H_

#include <string>

#include "platform/platform.h"

namespace zr::host {

/// Run-time error number for `err` raised on `host_path`.
int ErrnoToRuntimeError(int err, const std::string& host_path);

/// A Status for `err` raised by `what` on `host_path`, with a readable detail.
Status ErrnoStatus(int err, const std::string& what, const std::string& host_path);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_ERRORS_H_
