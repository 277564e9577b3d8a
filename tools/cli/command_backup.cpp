// backup CUSTOMER: types the customer name into the customer box and presses
// OK, as the engineer does in the main window. The job's own boxes and lines
// are printed by the console interface; STOP comes from --stop-after.
#include <cstdio>

#include "backup/backup_job.h"
#include "commands.h"
#include "text/strings.h"
#include "ui/base_form.h"

namespace zr::cli {

namespace {

// Puts BackupPath and its menu caption back however the job ends, so that a
// destination given for one run is never saved.
class DestinationForOneRun {
 public:
  DestinationForOneRun(Program& program, const std::string& to)
      : program_(program), path_(program.BackupPath), caption_(program.menus.Menu331.caption) {
    if (!to.empty()) program.BackupPath = SetTrailingBackslash(to, true);
  }
  DestinationForOneRun(const DestinationForOneRun&) = delete;
  DestinationForOneRun& operator=(const DestinationForOneRun&) = delete;
  ~DestinationForOneRun() {
    program_.BackupPath = path_;
    program_.menus.Menu331.caption = caption_;
  }

 private:
  Program& program_;
  std::string path_;
  std::string caption_;
};

}  // namespace

int RunBackup(CommandContext& context) {
  Program& program = context.program;
  DestinationForOneRun destination(program, context.to);
  context.commands.TypeCustomer(context.args.at(0));
  // A disabled button cannot be pressed: an empty name starts nothing.
  const CommandResult result = context.commands.Run("OK_B");
  if (result == CommandResult::kDisabled) {
    std::fprintf(stderr, "za-rirevo-cli: nome cliente vuoto: nessuna copia eseguita\n");
    return kNotDone;
  }
  return result == CommandResult::kDone ? kDone : kNotDone;
}

}  // namespace zr::cli
