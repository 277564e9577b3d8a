// The dry run of a backup: the collector of the selected product runs as in
// a real backup, over an overlay platform (platform/overlay_platform.h) that
// keeps what it would write in memory, so that no customer folder, no
// temporary folder and no list file is made and no archiver is started. The
// report names each file that would be copied or entered in the archive
// only, the totals, and whether they fit the free space of the destination.
#ifndef ZARIREVO_BACKUP_DRY_RUN_H_
#define ZARIREVO_BACKUP_DRY_RUN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "app/session.h"
#include "backup/backup_selection.h"

namespace zr {

struct DryRunFile {
  std::string source;  // the file in the installation
  std::string copy;    // where it would be copied ("" when it goes into the archive only)
  std::uint64_t size = 0;
};

struct DryRunReport {
  std::string refused;  // why the backup would not start ("" when it would)
  std::string customer_folder;
  std::vector<DryRunFile> files;          // in the collector's order
  std::vector<std::string> archive_list;  // the sources the archive would take
  int not_copied = 0;                     // files the backup would report as not copied
  std::uint64_t copy_bytes = 0;           // copies into the customer folder
  std::uint64_t archive_bytes = 0;        // the archive at most (0 with no archive)
  std::uint64_t free_bytes = 0;
  bool free_known = false;

  std::uint64_t needed() const { return copy_bytes + archive_bytes; }
  bool fits() const { return free_known && needed() <= free_bytes; }
};

/// The backup `selection` asks for (customer, destination, zip mode, items),
/// collected without writing anything anywhere. A customer folder that exists
/// already refuses it, as the backup would, unless `collect_only` (the
/// collection is wanted, not the backup).
DryRunReport DryRunBackup(Session& program, const BackupSelection& selection,
                          bool collect_only = false);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_DRY_RUN_H_
