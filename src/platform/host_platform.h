// The platform over the host file system and processes (POSIX).
//
// A DriveMap says which host folder stands for each drive letter and which
// host folder holds the "\\server\share" folders of UNC names. A drive that is
// not mapped, or whose host folder does not exist, is not ready (error 71), as
// a floppy drive without a disk.
//
// Name resolution: each component of a Windows path is looked up in its host
// folder without regard to case; an exact match wins, otherwise, among host
// names that differ only in case, the smallest in byte order. Trailing dots and
// blanks of a component are dropped; "\" and "/" both separate, repeated
// separators count as one. Read-only is a file without its owner's write bit
// and is enforced here (the machines run as root, which ignores permission
// bits); hidden and system are kept in the extended attribute user.DOSATTRIB
// as the text "0x" and the hexadecimal attribute bits ("0x2" hidden, "0x6"
// hidden and system); on a host file system without extended attributes
// nothing is hidden. A name starting with "." is an ordinary name. A file or
// folder is never created under a name Windows refuses (":" but the drive's,
// < > " | ? * and control characters): error 76. Only regular files are
// opened; a FIFO, socket or device in their place gives 75. Listings
// come sorted by name without regard to case, equal names by bytes.
#ifndef ZARIREVO_PLATFORM_HOST_PLATFORM_H_
#define ZARIREVO_PLATFORM_HOST_PLATFORM_H_

#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace zr {

struct DriveMap {
  std::map<char, std::string> drives;  // upper-case letter -> host folder
  std::string unc_root;                // host folder holding server/share folders
  std::string windows_folder = "C:\\WINDOWS";

  /// From ZARIREVO_DRIVES ("A=/tmp/w/a;C=/tmp/w/c"), ZARIREVO_UNC and
  /// ZARIREVO_WINDIR. With no ZARIREVO_DRIVES, C: is the host root "/".
  static DriveMap FromEnvironment();
  /// The same map as environment settings, for a started program.
  std::string DrivesVariable() const;
};

/// Creates the host platform. The current folder starts as the host working
/// folder expressed through the map (C: when nothing maps it: then "C:\").
std::unique_ptr<Platform> CreateHostPlatform(const DriveMap& map);

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_HOST_PLATFORM_H_
