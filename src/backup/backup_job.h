// The customer backup: it makes the customer folder under the backup
// destination, runs the collector of the selected product, and packs what
// was collected into customer_ddmmyy.ZIP; a stop ends it. The window's OK
// button and name box start it (ui/base_form.h).
#ifndef ZARIREVO_BACKUP_BACKUP_JOB_H_
#define ZARIREVO_BACKUP_BACKUP_JOB_H_

#include <string>

#include "app/session.h"
#include "backup/backup_selection.h"

namespace zr {

/// How a job ended, for the window's commands; read from the run's report
/// (program.run), which is what the closing boxes, the console's summary and
/// its exit code are made from.
enum class JobResult {
  kNotStarted,  // refused name or destination, existing customer folder
  kCompleted,   // "Copia eseguita" and a real "Zip eseguito" (or no archive wanted)
  kIncomplete,  // went to its end, but some files were not copied or the archive is not whole
  kFailed,      // stopped, archive not made, product not managed
};

/// The customer backup of `selection`: the customer name is
/// `selection.customer`; the destination is BackupPath, completed in place
/// when it lacks a drive, and the job gets it so. The result is read from the
/// run's report, which says the rest.
JobResult RunCustomerBackup(Session& program, BackupSelection selection);
/// Why a customer name cannot name a folder on the backup unit (the text
/// after "Nome cliente non valido: "), or "" when it can.
std::string WhyCustomerNameIsRefused(const std::string& name);
/// Stops the running backup or server copy at its next look, with the line
/// "Copia fermata dall'utente".
void StopBackup(Session& program);
/// Collects into CustomerFolder, then archives as `selection.zip_mode` says.
JobResult RunBackupJob(Session& program, const BackupSelection& selection);
void ReportUnmanagedSoftware(Session& program);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_BACKUP_JOB_H_
