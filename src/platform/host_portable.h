// The parts of the host layer that hold on every host: the Windows wildcard
// rule of listings, the drive map's settings, host folder texts.
#ifndef ZARIREVO_PLATFORM_HOST_PORTABLE_H_
#define ZARIREVO_PLATFORM_HOST_PORTABLE_H_

#include <string>
#include <string_view>

#include "platform/host_platform.h"

namespace zr::host {

bool HasWildcards(std::string_view pattern);
/// Windows wildcard match without regard to case: "*" any run, "?" one
/// character, "*" and "*.*" match every name, "NAME.*" also matches "NAME",
/// a pattern ending in "." also matches names without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

/// Strips trailing "/" (but keeps "/").
std::string TrimHostFolder(std::string folder);

/// The drive map of the settings ZARIREVO_DRIVES ("A=/tmp/w/a;C=/tmp/w/c"),
/// ZARIREVO_UNC and ZARIREVO_WINDIR (each "" when not set); no drives when
/// `drives` names none: each host then fills in its own default.
DriveMap ParseDriveMap(const std::string& drives, const std::string& unc,
                       const std::string& windir);

}  // namespace zr::host

#endif  // ZARIREVO_PLATFORM_HOST_PORTABLE_H_
