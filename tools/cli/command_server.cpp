// server-copy and erase: the menu commands "Copia sul &Server" and "&Formatta
// Floppy". Their boxes and lines are printed by the console interface. The
// erase asks first, and an unanswered Yes/No box answers No, so nothing is
// erased without an explicit --yes (or --answer yes).
#include <cstdio>

#include "commands.h"

namespace zr::cli {

namespace {

// Runs the menu command `name` as a click; a disabled item cannot be
// clicked: `why` says why not.
int RunMenuCommand(CommandContext& context, const char* name, const char* why) {
  switch (context.commands.Run(name)) {
    case CommandResult::kDone:
      return kDone;
    case CommandResult::kDisabled:
      std::fprintf(stderr, "za-rirevo-cli: %s\n", why);
      return kNotDone;
    default:
      return kNotDone;
  }
}

}  // namespace

int RunServerCopy(CommandContext& context) {
  return RunMenuCommand(context, "Menu12",
                        "copia sul server non disponibile: nessuna cartella del server impostata "
                        "(config --server)");
}

int RunErase(CommandContext& context) {
  if (context.yes) context.ui.QueueAnswer(Answer::kYes);
  return RunMenuCommand(context, "Menu32", "cancellazione non disponibile");
}

}  // namespace zr::cli
