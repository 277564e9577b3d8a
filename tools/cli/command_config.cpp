// config: the settings of the Configurazione menu (the backup destination
// and the server roots), changed through the settings' own service and saved
// as ESCI saves them, then read back. A folder that cannot be kept, or a save that does not
// stick, is named on standard error and changes nothing. Prints the settings
// as the menu then shows them.
#include <cstdio>

#include "app/product_catalog.h"
#include "app/settings.h"
#include "commands.h"

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

// Every folder given, checked before any is kept; false after naming the
// first that cannot be.
bool CheckFolders(CommandContext& context) {
  const ConfigChanges& config = context.config;
  std::vector<std::pair<std::string, std::string>> given;
  if (!config.backup_folder.empty()) given.emplace_back("--backup-folder", config.backup_folder);
  for (const auto& [row, folder] : config.servers) {
    given.emplace_back(
        "--server " + context.program.ProductTable[static_cast<std::size_t>(row)].Name, folder);
  }
  for (const auto& [option, folder] : given) {
    const FolderCheck check = CheckSettingsFolder(context.program.platform, folder);
    if (!check.error.empty()) {
      context.reason = option + ": " + check.error;
      std::fprintf(stderr, "za-rirevo-cli: %s\n", context.reason.c_str());
      return false;
    }
    if (!check.warning.empty()) {
      std::fprintf(stderr, "za-rirevo-cli: %s: %s\n", option.c_str(), check.warning.c_str());
    }
  }
  return true;
}

}  // namespace

int RunConfig(CommandContext& context) {
  Program& program = context.program;
  if (!CheckFolders(context)) return kNotDone;
  if (const std::string why = ChangeSettings(program, context.config); !why.empty()) {
    context.reason = why;
    std::fprintf(stderr, "za-rirevo-cli: %s\n", why.c_str());
    return kNotDone;
  }
  std::FILE* out = context.out;
  Print(out, "BackupFolder", program.BackupPath);
  for (int row : ServerMenuRows()) {
    const ProductRecord& record = program.ProductTable[static_cast<std::size_t>(row)];
    Print(out, "Server." + record.Name, record.ServerFolder);
  }
  Print(out, "Archive", ArchiveWord(static_cast<int>(program.ZipMode)));
  std::fflush(out);
  return kDone;
}

}  // namespace zr::cli
