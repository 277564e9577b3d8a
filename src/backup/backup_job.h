// The customer backup: the OK button makes the customer folder under the
// backup destination, runs the collector of the selected product, and packs
// what was collected into customer_ddmmyy.ZIP; STOP stops it.
#ifndef ZARIREVO_BACKUP_BACKUP_JOB_H_
#define ZARIREVO_BACKUP_BACKUP_JOB_H_

#include <string>

#include "app/program_state.h"
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

/// OK_B: the backup of `selection` (the main window's CurrentBackupSelection).
/// The customer name is `selection.customer`; the destination is BackupPath,
/// completed in place when it lacks a drive, and the job gets it so.
JobResult OkButtonClick(Program& program, BackupSelection selection);
/// Enter (character 13) in NomeCliente runs the OK handler, also while OK_B is disabled.
JobResult NomeClienteKeyPress(Program& program, char key, const BackupSelection& selection);
/// OK_B is enabled exactly when the name box is not empty.
void NomeClienteChange(Program& program, const std::string& text);
void StopButtonClick(Program& program);
/// Collects into CustomerFolder, then archives as `selection.zip_mode` says.
JobResult RunBackupJob(Program& program, const BackupSelection& selection);
void ReportUnmanagedSoftware(Program& program);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_BACKUP_JOB_H_
