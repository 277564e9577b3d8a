// The customer backup: the OK button makes the customer folder under the
// backup destination, runs the collector of the selected product, and packs
// what was collected into customer_ddmmyy.ZIP; STOP stops it.
#ifndef ZARIREVO_BACKUP_BACKUP_JOB_H_
#define ZARIREVO_BACKUP_BACKUP_JOB_H_

#include <cstdint>
#include <string>

#include "app/program_state.h"

namespace zr {

/// How a job ended, for front-ends that report it (the console's exit code).
enum class JobResult {
  kNotStarted,  // refused name or destination, existing customer folder
  kCompleted,   // "Copia eseguita" and a real "Zip eseguito" (or no archive wanted)
  kIncomplete,  // went to its end, but some files were not copied
  kFailed,      // stopped, archive not made, product not managed
};

JobResult OkButtonClick(Program& program);
/// Enter (character 13) in NomeCliente runs the OK handler, also while OK_B is disabled.
JobResult NomeClienteKeyPress(Program& program, char key);
/// OK_B is enabled exactly when the name box is not empty.
void NomeClienteChange(Program& program, const std::string& text);
void StopButtonClick(Program& program);
JobResult RunBackupJob(Program& program, std::int16_t mode);
void ReportUnmanagedSoftware(Program& program);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_BACKUP_JOB_H_
