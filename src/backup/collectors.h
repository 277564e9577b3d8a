// The product collectors: for the selected product, which files are copied
// into the customer folder and which are only entered in the archive list.
// Each reads the groups of the backup selection (backup_selection.h) when
// its step is reached.
// A file that cannot be copied is reported and entered in the run's report
// (file_operations.h); the collector goes on with the next.
#ifndef ZARIREVO_BACKUP_COLLECTORS_H_
#define ZARIREVO_BACKUP_COLLECTORS_H_

#include "app/session.h"
#include "backup/backup_selection.h"

namespace zr {

void CollectDaxorFiles(Session& program, const BackupSelection& selection);
void CollectTrelunFiles(Session& program, const BackupSelection& selection);
void CollectPlovikFiles(Session& program, const BackupSelection& selection);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_COLLECTORS_H_
