// From Windows-form paths to host paths, through the program's platform.
// Existing components are found by the platform without regard to case; the
// components that do not exist yet (a new archive, a folder or file to be
// extracted) keep the name as given, inside the resolved existing folder.
#ifndef ZARIREVO_TOOLS_PKZIP25_HOST_RESOLVE_H_
#define ZARIREVO_TOOLS_PKZIP25_HOST_RESOLVE_H_

#include <string>

#include "entry_names.h"
#include "platform/platform.h"

namespace pkzip {

/// Host path of a full Windows path. The longest prefix that exists on the
/// host is resolved by the platform; the rest is appended as given. Fails
/// (71 drive not ready, 76 path not found) when not even the drive or share
/// resolves. `existing` (optional) receives the number of components found.
zr::Status ResolveHostPath(zr::Platform& platform, const WindowsPath& path, std::string* host,
                           size_t* existing = nullptr);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_HOST_RESOLVE_H_
