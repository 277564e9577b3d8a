#include "ui/base_form.h"

#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "app/clock.h"
#include "app/product_catalog.h"
#include "app/products.h"
#include "app/settings.h"
#include "app/startup.h"
#include "backup/backup_job.h"
#include "server/server_copy.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

using Item = MenuItem BaseFormMenus::*;

// An item's caption as the window is designed, before any product changed it.
const std::string& DesignCaption(const std::string& item_name) {
  static const BaseFormMenus design{};
  for (const MenuEntry& entry : MenuTree()) {
    if (item_name == entry.name) return (design.*(entry.item)).caption;
  }
  static const std::string none;
  return none;
}

// After a click on `item_name` its submenu opens again, so that several
// items can be changed in a row.
void ReopenMenuOf(Program& program, const std::string& item_name) {
  program.ui.ReopenMenu(MenuPathTo(item_name));
}

}  // namespace

BackupItems CurrentBackupItems(const Program& program) {
  const BaseFormMenus& menus = program.menus;
  BackupItems items;
  items.machines = menus.Menu211.checked;
  items.post_processor = menus.Menu212.checked;
  items.customisations = menus.Menu213.checked;
  items.reports = menus.Menu214.checked;
  items.product_files = menus.Menu215.checked;
  items.transmissions = menus.Menu216.checked;
  items.windows_files = menus.Menu217.checked;
  items.post_processor_exe = menus.Menu221.checked;
  items.laser_tables = menus.Menu231.checked;
  items.tables_mdb = menus.Menu232.checked;
  items.material_mdb = menus.Menu233.checked;
  items.punches = menus.Menu241.checked;
  items.dies = menus.Menu242.checked;
  items.punches_offered = menus.Menu241.enabled;
  items.dies_offered = menus.Menu242.enabled;
  return items;
}

BackupSelection CurrentBackupSelection(const Program& program) {
  BackupSelection selection;
  selection.items = [&program] { return CurrentBackupItems(program); };
  selection.zip_mode = program.ZipMode;
  selection.destination = program.BackupPath;
  selection.customer = program.main.NomeCliente;
  return selection;
}

namespace {

void FileItemClick(Program& program, const std::string& item_name) {
  MenuItem& menu = *FindMenuItem(program, item_name);
  menu.checked = !menu.checked;
  ReopenMenuOf(program, item_name);
  program.ui.StateChanged();
}

void CompressionClick(Program& program, ZipTarget zip_mode) {
  BaseFormMenus& menus = program.menus;
  menus.Menu311.checked = zip_mode == ZipTarget::kNone;
  menus.Menu312.checked = zip_mode == ZipTarget::kBackupPath;
  menus.Menu313.checked = zip_mode == ZipTarget::kCustomerFolder;
  program.ZipMode = zip_mode;
  ReopenMenuOf(program, "Menu311");  // the three items share their submenu
  program.ui.StateChanged();
}

// True when a picked folder can be kept and saved as it is (the same check
// as the console's); otherwise a box says why and the old folder stays.
bool IsKeepableFolder(Program& program, const std::string& folder) {
  const FolderCheck check = CheckSettingsFolder(program.platform, folder);
  if (check.error.empty()) return true;
  MessageBoxRequest box;
  box.text = check.error;
  box.title = "Folder Error";
  program.ui.ShowMessageBox(box);
  return false;
}

// The product that owns the server item `item_name` ("Menu3321"): its
// row, or -1.
int ServerMenuRow(const std::string& item_name) {
  const std::vector<ProductDescriptor>& products = Products();
  for (std::size_t row = 0; row < products.size(); ++row) {
    const char* item = products[row].server_menu.item;
    if (item != nullptr && item_name == item) return static_cast<int>(row);
  }
  return -1;
}

// A server item's click: the folder picked becomes the server folder of its
// product (KeepServerFolder).
void ServerFolderClick(Program& program, const std::string& item_name) {
  const int row = ServerMenuRow(item_name);
  if (row < 0) return;
  const ServerMenu& menu = Products()[static_cast<std::size_t>(row)].server_menu;
  const std::string picked = PickFolder(program, menu.prompt);
  // A cancelled picker keeps the root and its caption: an empty answer would
  // become "\", which ESCI would then save over the old root. So does a
  // folder that could not be saved as it is.
  if (!picked.empty() && IsKeepableFolder(program, picked) &&
      KeepServerFolder(program, row, picked)) {
    program.menus.Menu12.enabled = true;
    FindMenuItem(program, item_name)->caption =
        menu.prefix + program.ProductTable[static_cast<std::size_t>(row)].ServerFolder;
  }
  ReopenMenuOf(program, item_name);
  program.ui.StateChanged();
}

}  // namespace

std::optional<std::string> InformationRequest(const std::string& command_line) {
  const std::string request = TrimBlanks(command_line);
  if (request == "--version") {
    return "za-rirevo (ZA-Rirevo) " + std::to_string(ZARIREVO_VERSION_MAJOR) + "." +
           std::to_string(ZARIREVO_VERSION_MINOR) + "." +
           std::to_string(ZARIREVO_VERSION_REVISION) + "\n";
  }
  if (request != "--help") return std::nullopt;
  return "Usage: za-rirevo [COMMAND-LINE]\n"
         "Opens the windows of ZA-Rirevo: the launcher, then the main window with the\n"
         "customer backup, the server copy and the erase of the backup unit.\n"
         "COMMAND-LINE is the program's own command line: \"/Fc:\\kyconfig\\system\" starts\n"
         "in that folder, which holds the settings file ZA-RIREVO.INI.\n"
         "\n"
         "Options:\n"
         "  --help     print this text and exit\n"
         "  --version  print the version and exit\n";
}

void LauncherLoad(Program& program, const std::string& command_line) {
  LoadSession(program, command_line);
  program.launcher.Backup.caption = "ZA-Rirevo\rVers." + std::to_string(kVersionMajor) + "." +
                                    std::to_string(kVersionMinor) + "." +
                                    std::to_string(kVersionRevision);
  program.launcher.Software_B.caption = program.SelectedSoftware;
  program.ui.StateChanged();
}

void LauncherSoftwareClick(Program& program) {
  program.launcher.Software_B.caption =
      NextInstalledSoftware(program, program.launcher.Software_B.caption);
  program.ui.StateChanged();
}

void LauncherBackupClick(Program& program) {
  program.SelectedSoftware = program.launcher.Software_B.caption;
}

void StartProgram(Program& program, const std::string& command_line) {
  LoadToday(program);
  LauncherLoad(program, command_line);
}

void OpenMainWindow(Program& program, const std::function<void()>& make_window) {
  LauncherBackupClick(program);
  if (make_window) make_window();
  BaseFormLoad(program);
}

std::string PickFolder(Program& program, const std::string& prompt) {
  return PickedFolderForm(program.ui.BrowseForFolder(prompt));
}

void BaseFormLoad(Program& program) {
  BaseFormControls& main = program.main;
  BaseFormMenus& menus = program.menus;
  main.Caption = "ZA-Rirevo Vers. " + std::to_string(kVersionMajor) + "." +
                 std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
  main.DataOggi = ShortDateText(program);
  main.OK_B.enabled = false;
  main.Software_B.caption = program.SelectedSoftware;
  PrepareMainWindow(program);

  const bool italian = ToUpper(program.Language) == "ITA";
  menus.Menu3.caption = italian ? "Configurazione" : "Configuration";
  menus.Menu31.caption = italian ? "Configurazione_ZIP" : "Configuration_ZIP";
  menus.Menu32.caption = italian ? "Formatta Floppy" : "Floppy Format";
  menus.Menu311.caption = italian ? "Non compattare" : "Do not compress";
  menus.Menu312.caption = italian ? "Compatta nella root" : "Compress on root";
  menus.Menu313.caption =
      italian ? "Comapatta nella cartella cliente" : "Compress on client folder";
  menus.Menu21.caption = italian ? "File_Configurazioni" : "File_Configuration";
  menus.Menu331.caption = (italian ? "Backup Cliente: " : "Backup Client: ") + program.BackupPath;

  // Each server item shows its product's folder; one of them set enables the copy.
  std::string server_folders;
  for (std::size_t row = 0; row < Products().size(); ++row) {
    const char* item = Products()[row].server_menu.item;
    if (item == nullptr) continue;
    const ProductRecord& record = program.ProductTable[row];
    FindMenuItem(program, item)->caption = record.Name + ": " + record.ServerFolder;
    server_folders += record.ServerFolder;
  }

  ApplyProductMenus(program, program.SelectedSoftware);

  menus.Menu11.enabled = program.InstalledProducts.empty();

  menus.Menu311.checked = program.ZipMode == ZipTarget::kNone;
  menus.Menu312.checked = program.ZipMode == ZipTarget::kBackupPath;
  menus.Menu313.checked = program.ZipMode == ZipTarget::kCustomerFolder;

  if (!server_folders.empty()) menus.Menu12.enabled = true;
  program.ui.StateChanged();
}

void ApplyProductMenus(Program& program, const std::string& name) {
  const ProductDescriptor* product = ProductAt(TableRowOfName(program, name));
  if (product != nullptr && !product->file_items.empty()) {
    for (const FileItemState& state : product->file_items) {
      MenuItem& item = *FindMenuItem(program, state.item);
      // An item the product does not name shows its own caption again, not
      // the one the product shown before gave it.
      item.caption = state.caption != nullptr ? state.caption : DesignCaption(state.item);
      item.enabled = state.enabled;
      item.checked = state.checked;
    }
    program.menus.Menu24.caption = product->tools_caption;
  }
  program.menus.Menu215.caption = name;
  program.ui.StateChanged();
}

MenuItem* FindMenuItem(Program& program, const std::string& name) {
  for (const MenuEntry& entry : MenuTree()) {
    if (name == entry.name) return &(program.menus.*(entry.item));
  }
  return nullptr;
}

bool IsFileItem(const std::string& name) {
  for (const MenuEntry& entry : MenuTree()) {
    if (name != entry.name) continue;
    for (Item item : FileItems()) {
      if (item == entry.item) return true;
    }
  }
  return false;
}

void Menu211Click(Program& program) { FileItemClick(program, "Menu211"); }
void Menu212Click(Program& program) { FileItemClick(program, "Menu212"); }
void Menu213Click(Program& program) { FileItemClick(program, "Menu213"); }
void Menu214Click(Program& program) { FileItemClick(program, "Menu214"); }
void Menu215Click(Program& program) { FileItemClick(program, "Menu215"); }
void Menu216Click(Program& program) { FileItemClick(program, "Menu216"); }
void Menu217Click(Program& program) { FileItemClick(program, "Menu217"); }
void Menu221Click(Program& program) { FileItemClick(program, "Menu221"); }
void Menu231Click(Program& program) { FileItemClick(program, "Menu231"); }
void Menu232Click(Program& program) { FileItemClick(program, "Menu232"); }
void Menu233Click(Program& program) { FileItemClick(program, "Menu233"); }
void Menu241Click(Program& program) { FileItemClick(program, "Menu241"); }
void Menu242Click(Program& program) { FileItemClick(program, "Menu242"); }

void Menu25Click(Program& program) {
  for (Item item : FileItems()) {
    MenuItem& menu = program.menus.*item;
    if (menu.enabled) menu.checked = true;
  }
  ReopenMenuOf(program, "Menu25");
  program.ui.StateChanged();
}

void Menu11Click(Program& program) {
  const int row = TableRowOfName(program, program.SelectedSoftware);
  const ProductDescriptor* product = ProductAt(row);
  if (product == nullptr) return;
  if (product->settings_loader != nullptr) product->settings_loader(program, row, true);
  program.ui.StateChanged();
}

void Menu13Click(Program& program) { ExitProgram(program); }

void Menu311Click(Program& program) { CompressionClick(program, ZipTarget::kNone); }
void Menu312Click(Program& program) { CompressionClick(program, ZipTarget::kBackupPath); }
void Menu313Click(Program& program) { CompressionClick(program, ZipTarget::kCustomerFolder); }

void Menu331Click(Program& program) {
  std::string path;
  do {
    path = PickFolder(program, "Selezionare la cartella dove eseguire la copia di Backup :");
  } while (path.find(' ') != std::string::npos);
  if (!path.empty() && IsKeepableFolder(program, path) && KeepBackupFolder(program, path)) {
    program.menus.Menu331.caption = "Backup Cliente: " + program.BackupPath;
  }
  ReopenMenuOf(program, "Menu331");
  program.ui.StateChanged();
}

void Menu3321Click(Program& program) { ServerFolderClick(program, "Menu3321"); }
void Menu3322Click(Program& program) { ServerFolderClick(program, "Menu3322"); }
void Menu3323Click(Program& program) { ServerFolderClick(program, "Menu3323"); }
void Menu3324Click(Program&) {}

void BaseFormSoftwareClick(Program& program) {
  program.main.Software_B.caption = NextInstalledSoftware(program, program.SelectedSoftware);
  program.SelectedSoftware = program.main.Software_B.caption;
  ApplyProductMenus(program, program.SelectedSoftware);
  program.ui.StateChanged();
}

JobResult OkButtonClick(Program& program, BackupSelection selection) {
  const JobResult result = RunCustomerBackup(program, std::move(selection));
  if (program.run.report().customer_taken) {
    program.main.OK_B.enabled = false;
    program.ui.StateChanged();
  }
  return result;
}

JobResult NomeClienteKeyPress(Program& program, char key, const BackupSelection& selection) {
  if (key != 13) return JobResult::kNotStarted;
  return OkButtonClick(program, selection);
}

void NomeClienteChange(Program& program, const std::string& text) {
  program.main.NomeCliente = text;
  program.main.OK_B.enabled = !text.empty();
  program.ui.StateChanged();
}

void StopButtonClick(Program& program) { StopBackup(program); }

bool Menu12Click(Program& program) { return CopyConfigurationsToServer(program); }

bool FormattaFloppyClick(Program& program) { return EraseFloppy(program, program.BackupPath); }

void MainWindowExit::RunOperation(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const ProgramEnded&) {
    throw;
  } catch (...) {
    // A failed operation does not cancel the exit the user asked for.
    if (!running() && exit_asked()) CarryOut();
    throw;
  }
  if (!running() && exit_asked()) CarryOut();
}

void MainWindowExit::EsciClick() { Ask(Asked::kSaveAndEnd); }

void MainWindowExit::CloseClick() { Ask(Asked::kEnd); }

void MainWindowExit::Ask(Asked how) {
  if (!running()) {
    asked_ = how;
    CarryOut();
  }
  if (exit_asked()) return;  // the first request decides how the program ends
  asked_ = how;
  if (StopEnabled(program_)) {
    StopButtonClick(program_);
  } else if (program_.run.active()) {
    program_.run.Cancel(CancelCause::kUser);  // the erase stops between two files
  }
  program_.ui.StateChanged();
}

void MainWindowExit::CarryOut() {
  const Asked how = asked_;
  asked_ = Asked::kNone;
  if (how == Asked::kSaveAndEnd) ExitProgram(program_);
  program_.ui.EndProgram();
  throw ProgramEnded();  // an interface that came back from EndProgram still ends here
}

}  // namespace zr
