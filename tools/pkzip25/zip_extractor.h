// Extracting an archive below a destination folder, treating the archive as
// untrusted input.
//
// Read with libarchive: a well-kept library, packaged by Debian, that reads
// the archive through its central directory, checks each entry's CRC as the
// data is read, and writes to disk with its own guards against names that
// climb out of the destination (ARCHIVE_EXTRACT_SECURE_NODOTDOT,
// _SECURE_SYMLINKS, _SECURE_NOABSOLUTEPATHS). On top of those guards every
// entry name is checked here before anything is written: absolute names,
// drive letters, "..", symbolic and hard links, and names that would reach
// outside the destination through a link already on disk are refused and
// reported; the other entries are still extracted. Stored permissions and
// owners are not applied: files get 0644, folders 0755.
#ifndef ZARIREVO_TOOLS_PKZIP25_ZIP_EXTRACTOR_H_
#define ZARIREVO_TOOLS_PKZIP25_ZIP_EXTRACTOR_H_

#include <ostream>
#include <string>

#include "platform/platform.h"
#include "windows_path.h"

namespace pkzip {

struct ExtractOutcome {
  int extracted = 0;     // entries written (files and folders)
  int refused = 0;       // entries refused for their name or kind
  int failed = 0;        // entries whose data was damaged or could not be written
  bool damaged = false;  // the archive itself could not be read to its end

  bool ok() const { return refused == 0 && failed == 0 && !damaged; }
};

/// Extracts every entry of the archive at `archive_host` below the existing
/// folder `destination` (Windows form; `destination_host` is its host path),
/// recreating the stored folders. Existing folders and files are matched
/// without regard to case; files are overwritten. Each refusal and failure
/// is reported as one line on `report`. A file whose data turns out damaged
/// (bad CRC, truncated) is removed again.
ExtractOutcome ExtractArchive(zr::Platform& platform, const std::string& archive_host,
                              const WindowsPath& destination, const std::string& destination_host,
                              std::ostream& report);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_ZIP_EXTRACTOR_H_
