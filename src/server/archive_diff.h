// What changed in the installation since a backup: each entry of the
// archive (which keeps each file's full path less its drive) against the
// file there now, by size and CRC-32, and the files that the same selection
// would take today but the archive lacks (found by a dry run of the backup,
// backup/dry_run.h). Nothing is written.
#ifndef ZARIREVO_SERVER_ARCHIVE_DIFF_H_
#define ZARIREVO_SERVER_ARCHIVE_DIFF_H_

#include <string>
#include <vector>

#include "app/session.h"
#include "backup/backup_selection.h"

namespace zr {

struct DiffRequest {
  std::string archive;        // Windows form
  BackupSelection selection;  // the selection whose files count as new
};

enum class Change {
  kChanged,  // there, with another size or CRC-32 (or unreadable)
  kGone,     // in the archive, no longer in the installation
  kNew,      // the selection takes it today, the archive lacks it
};

struct DiffEntry {
  std::string path;  // the file in the installation
  Change change;
  std::string detail;
};

struct DiffReport {
  std::string failure;  // why nothing could be compared ("" when it was)
  std::size_t compared = 0;
  std::vector<DiffEntry> changes;
};

/// An entry's file is looked for on the drive of the product installation
/// unless today's collection names it.
DiffReport DiffArchive(Session& program, const DiffRequest& request);

const char* ChangeName(Change change);  // "changed", "gone", "new"

}  // namespace zr

#endif  // ZARIREVO_SERVER_ARCHIVE_DIFF_H_
