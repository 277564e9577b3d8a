// backup CUSTOMER: types the customer name into NomeCliente and presses OK_B,
// as the engineer does in the main window. The job's own boxes and lines are
// printed by the console interface; STOP comes from --stop-after.
#include <cstdio>

#include "backup/backup_job.h"
#include "commands.h"
#include "ui/base_form.h"

namespace zr::cli {

int RunBackup(CommandContext& context) {
  Program& program = context.program;
  NomeClienteChange(program, context.args.at(0));
  // A disabled button cannot be pressed: an empty name starts nothing.
  if (!program.main.OK_B.enabled) {
    std::fprintf(stderr, "za-rirevo-cli: OK_B is disabled (empty customer name)\n");
    return kNotDone;
  }
  const JobResult result = OkButtonClick(program, CurrentBackupSelection(program));
  return result == JobResult::kCompleted ? kDone : kNotDone;
}

}  // namespace zr::cli
