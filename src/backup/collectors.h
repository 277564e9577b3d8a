// The product collectors: for the selected product, which files are copied
// into the customer folder and which are only entered in the archive list.
// Each reads the groups of the backup selection (backup_selection.h) when
// its step is reached.
// A file that cannot be copied is reported and entered in the run's report
// (file_operations.h); the collector goes on with the next.
#ifndef ZARIREVO_BACKUP_COLLECTORS_H_
#define ZARIREVO_BACKUP_COLLECTORS_H_

#include <string>
#include <utility>

#include "app/session.h"
#include "backup/backup_selection.h"

namespace zr {

using Collector = void (*)(Session& program, const BackupSelection& selection);

/// DAXOR_OLD: from the folder of KY-GEN.CNF (`CnfFolder`).
void CollectDaxorFiles(Session& program, const BackupSelection& selection);
/// DAXOR2D: `CnfFolder` becomes `ProductFolder`, then as DAXOR_OLD.
void CollectDaxor2DFiles(Session& program, const BackupSelection& selection);
void CollectTrelunFiles(Session& program, const BackupSelection& selection);
void CollectPlovikFiles(Session& program, const BackupSelection& selection);

/// The collector of each product that is backed up, by its name in
/// Products() (app/product_catalog.h); the others are not managed.
inline constexpr std::pair<const char*, Collector> kCollectors[] = {
    {"DAXOR_OLD", CollectDaxorFiles},
    {"DAXOR2D", CollectDaxor2DFiles},
    {"PLOVIK", CollectPlovikFiles},
    {"TRELUN", CollectTrelunFiles},
};

/// The collector of the product called `name`, or nullptr when the program
/// does not back that product up.
inline Collector CollectorOf(const std::string& name) {
  for (const auto& [product, collector] : kCollectors) {
    if (name == product) return collector;
  }
  return nullptr;
}

}  // namespace zr

#endif  // ZARIREVO_BACKUP_COLLECTORS_H_
