// config: the settings of the Configurazione menu, changed through its own
// handlers (the backup destination and the server roots through the folder
// picker, answered with the folders given) and saved by ExitProgram as ESCI
// saves them. Prints the settings as the menu then shows them.
#include <cstdio>

#include "commands.h"
#include "ui/base_form.h"

namespace zr::cli {

namespace {

void Print(std::FILE* out, const std::string& name, const std::string& value) {
  std::fprintf(out, "%s=%s\n", name.c_str(), value.c_str());
}

const char* ArchiveWord(int zip_mode) {
  switch (zip_mode) {
    case 0:
      return "folder";
    case 2:
      return "none";
    default:
      return "root";
  }
}

}  // namespace

int RunConfig(CommandContext& context) {
  Program& program = context.program;
  for (const auto& [row, folder] : context.config.servers) {
    context.ui.QueuePick(folder);
    if (row == kDaxor2D) context.commands.Run("Menu3321");
    if (row == kTrelun) context.commands.Run("Menu3322");
    if (row == kPlovik) context.commands.Run("Menu3323");
  }
  if (!context.config.backup_folder.empty()) {
    context.ui.QueuePick(context.config.backup_folder);
    context.commands.Run("Menu331");
  }
  std::FILE* out = context.out;
  Print(out, "BackupFolder", program.BackupPath);
  for (int row : {kDaxor2D, kTrelun, kPlovik}) {
    const ProductRecord& record = program.ProductTable[static_cast<std::size_t>(row)];
    Print(out, "Server." + record.Name, record.ServerFolder);
  }
  Print(out, "Archive", ArchiveWord(static_cast<int>(program.ZipMode)));
  std::fflush(out);
  return kDone;
}

}  // namespace zr::cli
