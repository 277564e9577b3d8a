// Whether a host file (its host path in UTF-8, as every host path of this
// program) can be read, asked by the archiver before it adds the file, so that
// a file held by another program is named and left out instead of failing
// the whole archive halfway.
#ifndef ZARIREVO_PLATFORM_HOST_FILES_H_
#define ZARIREVO_PLATFORM_HOST_FILES_H_

#include <string>

namespace zr::host {

/// Why an existing file cannot be read, "" when it can: "in use by another
/// program" for a file another program holds open without sharing it (the
/// whole file or a locked part), otherwise the system's reason.
std::string ReadRefusal(const std::string& host_path);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_FILES_H_
