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
//
// An archive that would expand past a bound (see ExtractLimits) is refused
// before anything is written; as the sizes an archive declares can lie, the
// bytes actually written are counted too, and past the bound the extraction
// stops and removes every file and folder it made.
//
// Existing names are matched without regard to case through a memory of each
// folder of the destination (one scan per folder, kept true across the
// extraction's own creates), so unpacking many entries into one folder costs
// time in proportion to their number.
#ifndef ZARIREVO_TOOLS_PKZIP25_ZIP_EXTRACTOR_H_
#define ZARIREVO_TOOLS_PKZIP25_ZIP_EXTRACTOR_H_

#include <cstdint>
#include <ostream>
#include <string>

namespace pkzip {

struct ExtractOutcome {
  int extracted = 0;       // entries written (files and folders)
  int refused = 0;         // entries refused for their name or kind
  int failed = 0;          // entries whose data was damaged or could not be written
  bool damaged = false;    // the archive itself could not be read to its end
  bool too_large = false;  // refused, or stopped and undone, for its expanded size

  bool ok() const { return refused == 0 && failed == 0 && !damaged && !too_large; }
};

/// The most an archive may expand to: `ratio` times its own size, and never
/// less than `floor` bytes (so a small archive of ordinary files always fits).
struct ExtractLimits {
  uint64_t ratio = 100;
  uint64_t floor = uint64_t{1} << 30;  // 1 GiB
  bool check_declared = true;          // off only to test the count of the bytes written

  uint64_t BoundFor(uint64_t archive_size) const;
};

/// Extracts every entry of the archive at `archive_host` below the existing
/// host folder `destination_host`, recreating the stored folders. Existing folders and files are
/// matched without regard to case; files are overwritten. Each refusal and failure is reported as
/// one line on `report`. A file whose data turns out damaged (bad CRC, truncated) is removed again.
ExtractOutcome ExtractArchive(const std::string& archive_host, const std::string& destination_host,
                              std::ostream& report, const ExtractLimits& limits = {});

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_ZIP_EXTRACTOR_H_
