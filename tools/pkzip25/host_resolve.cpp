#include "host_resolve.h"

#include <filesystem>
#include <system_error>

#include "platform/host_portable.h"

namespace pkzip {

namespace fs = std::filesystem;

// The host's own separator, so that a path in a message is never "A:\/X.ZIP".
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

zr::Status ResolveHostPath(zr::Platform& platform, const WindowsPath& path, std::string* host,
                           size_t* existing) {
  // A UNC name needs its server and share before anything can resolve.
  const size_t shortest = path.root_parts();
  zr::Status last = zr::Status::Error(zr::kErrPathNotFound, path.Text());
  for (size_t count = path.parts.size() + 1; count-- > shortest;) {
    WindowsPath prefix{path.drive, {path.parts.begin(), path.parts.begin() + count}};
    std::string resolved;
    zr::Status status = platform.ToHostPath(prefix.Text(), &resolved);
    if (!status.ok()) {
      last = status;
      if (status.error == zr::kErrDiskNotReady) break;
      continue;
    }
    std::error_code ec;
    const bool found = count == path.parts.size()
                           ? fs::exists(zr::host::FsPath(resolved), ec)
                           : fs::is_directory(zr::host::FsPath(resolved), ec);
    if (!found) continue;
    for (size_t i = count; i < path.parts.size(); ++i) {
      if (resolved.empty() || (resolved.back() != '/' && resolved.back() != kSeparator)) {
        resolved += kSeparator;
      }
      resolved += path.parts[i];
    }
    *host = resolved;
    if (existing) *existing = count;
    return zr::Status::Ok();
  }
  host->clear();
  return last;
}

}  // namespace pkzip
