#include "host_resolve.h"

#include <filesystem>
#include <system_error>

namespace pkzip {

namespace fs = std::filesystem;

zr::Status ResolveHostPath(zr::Platform& platform, const WindowsPath& path, std::string* host,
                           size_t* existing) {
  // A UNC name needs its server and share before anything can resolve.
  const size_t shortest = path.root == "\\\\" ? 2 : 0;
  zr::Status last = zr::Status::Error(zr::kErrPathNotFound, JoinWindows(path));
  for (size_t count = path.components.size() + 1; count-- > shortest;) {
    WindowsPath prefix{path.root, {path.components.begin(), path.components.begin() + count}};
    std::string resolved;
    zr::Status status = platform.ToHostPath(JoinWindows(prefix), &resolved);
    if (!status.ok()) {
      last = status;
      if (status.error == zr::kErrDiskNotReady) break;
      continue;
    }
    std::error_code ec;
    const bool found =
        count == path.components.size() ? fs::exists(resolved, ec) : fs::is_directory(resolved, ec);
    if (!found) continue;
    for (size_t i = count; i < path.components.size(); ++i) {
      if (resolved.empty() || resolved.back() != '/') resolved += '/';
      resolved += path.components[i];
    }
    *host = resolved;
    if (existing) *existing = count;
    return zr::Status::Ok();
  }
  host->clear();
  return last;
}

}  // namespace pkzip
