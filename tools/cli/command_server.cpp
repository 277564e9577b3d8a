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

// Runs `action` as a click on `item` (refused when the item is disabled).
int RunMenuAction(CommandContext& context, MenuItem BaseFormMenus::*item, const char* name,
                  bool (*action)(Program&)) {
  Program& program = context.program;
  if (!Clickable(program.menus.*item, name)) return kNotDone;
  const bool done = action(program);
  program.ui.StateChanged();
  return done ? kDone : kNotDone;
}

}  // namespace

int RunServerCopy(CommandContext& context) {
  return RunMenuAction(context, &BaseFormMenus::Menu12, "Menu12 (no server folder set)",
                       CopyConfigurationsToServer);
}

int RunErase(CommandContext& context) {
  return RunMenuAction(context, &BaseFormMenus::Menu32, "Menu32", FormattaFloppyClick);
}

}  // namespace zr::cli
