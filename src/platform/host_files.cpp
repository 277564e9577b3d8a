// Reading host files on POSIX hosts (see host_files.h).
#include "platform/host_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zr::host {

std::string ReadRefusal(const std::string& host_path) {
  const int fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  char byte;
  const bool read = ::read(fd, &byte, 1) >= 0;
  const int error = errno;
  ::close(fd);
  return read ? "" : std::strerror(error);
}

}  // namespace zr::host
