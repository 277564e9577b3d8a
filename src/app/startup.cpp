#include "app/startup.h"

#include <cctype>
#include <vector>

#include "app/product_catalog.h"
#include "app/products.h"
#include "app/settings.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

// Tells the user that a folder of the start-up could not be entered and
// which folder is used instead.
void ReportUnusableFolder(Session& program, const std::string& origin, const std::string& folder,
                          const std::string& kept) {
  MessageBoxRequest box;
  box.text = origin + ": la cartella " + folder + " non esiste o non è accessibile\r" +
             "Si continua nella cartella " + kept;
  box.title = "ERRORE SULLE CARTELLE";
  box.buttons = Buttons::kOk;
  program.ui.ShowMessageBox(box);
}

// Enters a folder of the start-up; on failure the current folder stays and
// the user is told. True when the folder was entered.
bool EnterStartFolder(Session& program, const std::string& origin, const std::string& folder) {
  if (!folder.empty() && program.platform.ChangeFolder(folder).ok()) return true;
  ReportUnusableFolder(program, origin, folder, program.platform.CurrentFolder());
  return false;
}

// The folder that holds `folder`: the text up to its last "\". A drive root
// stays itself ("C:\" and "C:\X" give "C:\"); a text without "\" has no
// parent and is its own.
std::string ParentOf(const std::string& folder) {
  const std::string_view part = FolderOfText(folder);
  if (part.empty()) return folder;
  std::string parent(part.substr(0, part.size() - 1));
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';
  return parent;
}

// True for "X:\..." and "\\SERVER\SHARE...": a path that does not depend on
// the current drive or folder.
bool IsFullPath(const std::string& path) {
  auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         separator(path[2]);
}

// The name of the old installation, the product chosen when no folder
// product can be.
const std::string& OldInstallationName(const Session& program) {
  return program.ProductTable[static_cast<std::size_t>(OldInstallationRow())].Name;
}

}  // namespace

void ParseCommandLine(Session& program, const std::string& command_line) {
  const std::size_t slash = command_line.find('/');
  if (slash == std::string::npos) return;
  const std::string option = command_line.substr(slash + 1);
  if (option.empty() || ToUpper(option.substr(0, 1)) != "F") return;
  std::string folder = option.substr(1);
  // A further option after the folder (" /X") is not part of it.
  const std::size_t further = folder.find(" /");
  if (further != std::string::npos) folder.resize(further);
  folder = TrimBlanks(folder);
  EnterStartFolder(program, "/F", folder);
}

void LoadSession(Session& program, const std::string& command_line) {
  Platform& platform = program.platform;

  // 1-3: the command line, then the folder of the settings file.
  ParseCommandLine(program, command_line);
  program.SystemFolder = platform.CurrentFolder();
  // The settings file is made here when the start folder has none (a start
  // without /F keeps it in the current folder): the person who started the
  // program is told where, once.
  const std::string settings = program.SettingsFile();
  const bool settings_existed = FileExists(platform, settings);
  const std::string system =
      GetIniString(program, "PATH", "KYSYSTEM", program.SystemFolder, program.SettingsFile());
  if (system == program.SystemFolder || EnterStartFolder(program, "KYSYSTEM", system)) {
    // A relative value ("..\SYSTEM", "..") was entered from the folder of the
    // settings file it was read from; the folder reached is kept as a full
    // path, so that the settings file and the archiver do not follow later
    // changes of the current folder.
    program.SystemFolder = IsFullPath(system) ? system : platform.CurrentFolder();
    PutIniString(platform, "PATH", "KYSYSTEM", program.SystemFolder, program.SettingsFile());
    IgnoreStatus(platform.ChangeFolder(program.SystemFolder),
                 "a missing system folder leaves the current folder as it is");
  }
  // A KYSYSTEM that cannot be entered is left in the file as it is, and the
  // start folder is used; nothing is written elsewhere.
  if (!settings_existed && FileExists(platform, settings)) {
    std::string host;
    const bool mapped = platform.ToHostPath(settings, &host).ok();
    program.ui.Notice("nessuna impostazione in " + program.SystemFolder +
                      ": ZA-RIREVO.INI creato lì" +
                      (mapped ? " (" + host + ")" : std::string()));
  }

  // 4-5: the general folder, normally c:\kyconfig.
  const std::string general = GetIniString(program, "PATH", "KYGENERALE",
                                           ParentOf(program.SystemFolder), program.SettingsFile());
  if (EnterStartFolder(program, "KYGENERALE", general)) {
    PutIniString(platform, "PATH", "KYGENERALE", general, program.SettingsFile());
  }

  // 6-8.
  LoadOrSaveSettings(program, program.SettingsFile(), true);
  program.InstalledProducts.clear();

  // 9: the installed products, in listing order.
  const std::string here = platform.CurrentFolder();
  if (ClassifyStartFolder(here)) {
    const std::string prefix = SetTrailingBackslash(here, true);
    std::vector<FolderEntry> entries;
    IgnoreStatus(platform.List(prefix + "*", ListKind::kFilesAndFolders, &entries),
                 "a folder that cannot be listed is taken as empty");
    for (const FolderEntry& entry : entries) {
      if (entry.name.empty() || entry.name[0] == '.') continue;
      const int row = ProductIndexOfFolder(program, prefix, entry.name, true);
      if (row >= 0) program.InstalledProducts.push_back(row);
    }
  }

  // 10-11: the archiver and the product choice.
  program.ArchiverPath = program.SystemFolder + "\\PKZIP25";
  if (program.InstalledProducts.empty()) {
    program.SelectedSoftware = OldInstallationName(program);
    IgnoreStatus(platform.ChangeFolder(program.SystemFolder),
                 "a missing system folder leaves the current folder as it is");
    program.ArchiverPath = program.SystemFolder + "\\tools\\PKZIP25";
    LoadDaxorOldSettings(program, false);
  } else {
    const int first = program.InstalledProducts.front();
    program.SelectedSoftware = program.ProductTable[static_cast<std::size_t>(first)].Name;
    if (!LoadProductSettings(program, first)) {
      program.SelectedSoftware = OldInstallationName(program);
      LoadDaxorOldSettings(program, true);
      program.InstalledProducts.clear();
    }
  }

  // 12-13.
  program.ArchiverPath =
      GetIniString(program, "PATH", "ZIPFILE", program.ArchiverPath, program.SettingsFile());
  PutIniString(platform, "PATH", "ZIPFILE", program.ArchiverPath, program.SettingsFile());
}

void PrepareMainWindow(Session& program) {
  program.ColorBlue = Rgb(0, 0, 128);
  program.ColorGreen = Rgb(0, 128, 0);
  program.ColorCyan = Rgb(0, 128, 128);
  program.ColorRed = Rgb(128, 0, 0);
  program.ColorMagenta = Rgb(128, 0, 128);
  program.ColorGray = Rgb(128, 128, 128);
  program.ColorLightGreen = Rgb(0, 255, 0);
  program.ColorLightRed = Rgb(255, 0, 0);
  program.ColorLightYellow = Rgb(255, 255, 0);
  program.ColorBlack = Rgb(0, 0, 0);
  program.ColorStop = Rgb(128, 0, 0);
  program.ColorLightCyan = Rgb(0, 255, 255);

  const int row = TableRowOfName(program, program.SelectedSoftware);
  if (const ProductDescriptor* product = ProductAt(row);
      product != nullptr && product->settings_loader != nullptr) {
    product->settings_loader(program, row, false);
  }
}

void ExitProgram(Session& program) {
  LoadOrSaveSettings(program, program.SettingsFile(), false);
  throw ProgramEnded(true);
}

}  // namespace zr
