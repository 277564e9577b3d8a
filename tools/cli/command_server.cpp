// server-copy and erase: the menu commands "Copia sul &Server" and "&Formatta
// Floppy". Their boxes and lines are printed by the console interface. The
// erase asks first, and an unanswered Yes/No box answers No, so nothing is
// erased without an explicit --yes (or --answer yes).
#include <cstdio>

#include "commands.h"
#include "server/server_copy.h"

namespace zr::cli {

namespace {

// Runs `action` as a click on `item`; a disabled item cannot be clicked:
// `why` says why not.
int RunMenuAction(CommandContext& context, MenuItem BaseFormMenus::*item, const char* why,
                  bool (*action)(Program&)) {
  Program& program = context.program;
  if (!(program.menus.*item).enabled) {
    std::fprintf(stderr, "za-rirevo-cli: %s\n", why);
    return kNotDone;
  }
  const bool done = action(program);
  program.ui.StateChanged();
  return done ? kDone : kNotDone;
}

}  // namespace

int RunServerCopy(CommandContext& context) {
  return RunMenuAction(context, &BaseFormMenus::Menu12,
                       "server-copy: no server folder is set (see config --server)",
                       CopyConfigurationsToServer);
}

int RunErase(CommandContext& context) {
  if (context.yes) context.ui.QueueAnswer(Answer::kYes);
  return RunMenuAction(context, &BaseFormMenus::Menu32, "erase: not available",
                       FormattaFloppyClick);
}

}  // namespace zr::cli
