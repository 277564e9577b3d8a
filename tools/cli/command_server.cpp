// server-copy and erase: the clicks on Menu12 ("Copia sul &Server") and
// Menu32 ("&Formatta Floppy"). Their boxes and lines are printed by the
// console interface. The erase asks first, and an unanswered Yes/No box
// answers No, so nothing is erased without an explicit --answer yes.
#include <cstdio>

#include "commands.h"
#include "server/server_copy.h"

namespace zr::cli {

namespace {

// A disabled menu item cannot be clicked.
bool Clickable(const MenuItem& item, const char* name) {
  if (item.enabled) return true;
  std::fprintf(stderr, "za-rirevo-cli: %s is disabled\n", name);
  return false;
}

}  // namespace

int RunServerCopy(CommandContext& context) {
  Program& program = context.program;
  if (!Clickable(program.menus.Menu12, "Menu12 (no server folder set)")) return kNotDone;
  const bool filed = CopyConfigurationsToServer(program);
  program.ui.StateChanged();
  return filed ? kDone : kNotDone;
}

int RunErase(CommandContext& context) {
  Program& program = context.program;
  if (!Clickable(program.menus.Menu32, "Menu32")) return kNotDone;
  const bool erased = FormattaFloppyClick(program);
  program.ui.StateChanged();
  return erased ? kDone : kNotDone;
}

}  // namespace zr::cli
