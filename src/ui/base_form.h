// The main window `BaseForm` as a logic object: its load sequence and the
// handlers of its menu items and product button, acting on the `Program`
// state only (captions, Enabled and Checked flags, the globals). A front-end
// (Qt windows, the console) shows that state and calls these handlers; after
// each handler it is told through ui.StateChanged(). The front-ends reach
// these handlers, and those of the other modules (the server copy, the
// erase, the backup buttons), through one table of commands (ui/commands.h).
#ifndef ZARIREVO_UI_BASE_FORM_H_
#define ZARIREVO_UI_BASE_FORM_H_

#include <functional>
#include <optional>
#include <string>

#include "ui/program.h"
#include "backup/backup_job.h"
#include "backup/backup_selection.h"

namespace zr {

/// What the windowed program prints instead of opening its windows when its
/// command line is "--help" or "--version" (blanks around it aside); nullopt
/// for any other command line.
std::optional<std::string> InformationRequest(const std::string& command_line);

/// The launcher's load (LoadSession), then its captions: the version on
/// `Backup`, the selected product on `Software_B`.
void LauncherLoad(Program& program, const std::string& command_line);
/// Launcher `Software_B`: its caption steps to the next installed product.
void LauncherSoftwareClick(Program& program);
/// Launcher `Backup`: SelectedSoftware takes the caption of `Software_B`;
/// the caller then unloads the launcher and loads the main window.
void LauncherBackupClick(Program& program);

/// The start of the program, for every front-end: today's date, then the
/// launcher's load (settings, installed products, the product choice). The
/// launcher is then shown; the user may step its product button.
void StartProgram(Program& program, const std::string& command_line);
/// The launcher's Backup button: the product is taken over, the front-end
/// makes its main window (`make_window`, may be empty), and the main window
/// loads (BaseFormLoad).
void OpenMainWindow(Program& program, const std::function<void()>& make_window);

/// The main window's folder picker: the interface's answer in the form every
/// picker answers with (a drive root keeps its "\", "" when cancelled).
std::string PickFolder(Program& program, const std::string& prompt);

/// The window's load: caption, date, buttons, PrepareMainWindow, captions by
/// language and server paths, product menus, Apri CNF, compression, Menu12.
void BaseFormLoad(Program& program);

/// Captions, Enabled and Checked flags of the file items as the product's
/// row in Products() gives them (a product without file items changes no
/// item); Menu215 then takes the product's name.
void ApplyProductMenus(Program& program, const std::string& name);

/// The file items' check marks now (and whether the tool items are offered).
BackupItems CurrentBackupItems(const Program& program);
/// The backup the window's state asks for: ZipMode, BackupPath and the
/// customer name box as they are now; the file items as they are whenever
/// the job reads them (`program` must outlive the selection).
BackupSelection CurrentBackupSelection(const Program& program);

/// The menu item called `name` ("Menu211"), or nullptr.
MenuItem* FindMenuItem(Program& program, const std::string& name);
/// True for the file items of the backup selection (Menu211 ... Menu242).
bool IsFileItem(const std::string& name);

// File items: the check mark is inverted, then the submenu opens again.
void Menu211Click(Program& program);
void Menu212Click(Program& program);
void Menu213Click(Program& program);
void Menu214Click(Program& program);
void Menu215Click(Program& program);
void Menu216Click(Program& program);
void Menu217Click(Program& program);
void Menu221Click(Program& program);
void Menu231Click(Program& program);
void Menu232Click(Program& program);
void Menu233Click(Program& program);
void Menu241Click(Program& program);
void Menu242Click(Program& program);
/// "&Tutti": every enabled file item becomes checked.
void Menu25Click(Program& program);

/// "&Apri CNF": reads the selected product's configuration again.
void Menu11Click(Program& program);
/// "&Chiudi": saves the settings and ends the program (throws ProgramEnded).
[[noreturn]] void Menu13Click(Program& program);

// Compression: ZipMode 2, 1 and 0.
void Menu311Click(Program& program);
void Menu312Click(Program& program);
void Menu313Click(Program& program);

/// "&Backup Cliente": picks BackupPath (asked again while the path holds a blank).
void Menu331Click(Program& program);
/// The server items of the products that have one (their `server_menu`):
/// DAXOR (also setting DAXOR_OLD's folder), TRELUN, PLOVIK.
void Menu3321Click(Program& program);
void Menu3322Click(Program& program);
void Menu3323Click(Program& program);
/// The DUNRA server item is never enabled: a click does nothing.
void Menu3324Click(Program& program);

/// The main window's product button: the next installed product.
void BaseFormSoftwareClick(Program& program);

/// OK_B: the backup of `selection` (CurrentBackupSelection); OK_B goes off
/// once the customer name is used up at the destination.
JobResult OkButtonClick(Program& program, BackupSelection selection);
/// Enter (character 13) in NomeCliente runs the OK handler, also while OK_B is disabled.
JobResult NomeClienteKeyPress(Program& program, char key, const BackupSelection& selection);
/// OK_B is enabled exactly when the name box is not empty.
void NomeClienteChange(Program& program, const std::string& text);
/// STOP: the running backup or server copy stops.
void StopButtonClick(Program& program);
/// "Copia sul &Server": files the backup unit's archives on the server.
/// True when every archive was filed ("Copia Eseguita").
bool Menu12Click(Program& program);
/// "&Formatta Floppy": asks, then erases the backup unit (BackupPath). True
/// when it was erased.
bool FormattaFloppyClick(Program& program);

/// ESCI and the close box of the main window. An exit asked while an
/// operation of the window runs (the backup, the server copy, the erase)
/// must not cut it short: a backup or a server copy is stopped as STOP stops
/// it, and the program ends once the operation has returned, its clean-up
/// (the temporary folder, a stopped customer folder) done.
class MainWindowExit {
 public:
  explicit MainWindowExit(Program& program) : program_(program) {}

  /// Runs an operation of the window (OK, a menu command, the product
  /// button) as a Job runs it, holding the run context; an exit asked while
  /// it ran is carried out when it returns.
  void RunOperation(const std::function<void()>& operation);
  /// ESCI: saves the settings and ends (at once when nothing runs).
  void EsciClick();
  /// The close box: ends without saving (at once when nothing runs).
  void CloseClick();

  /// A command of the window is in hand (it holds the run context).
  bool running() const { return program_.run.held(); }
  bool exit_asked() const { return asked_ != Asked::kNone; }

 private:
  enum class Asked { kNone, kSaveAndEnd, kEnd };
  void Ask(Asked how);
  [[noreturn]] void CarryOut();

  Program& program_;
  Asked asked_ = Asked::kNone;
};

}  // namespace zr

#endif  // ZARIREVO_UI_BASE_FORM_H_
