// The program's shared state: the globals every operation reads and writes,
// the controls and menu items of the two windows, and the platform and user
// interface they act through. One `Program` lives for the whole run and is
// handed to every operation, so nothing hides in globals.
//
// Field names are the program's own names for these values (`BackupPath`,
// `Menu211`, ...), so that code and the texts of the program read alike.
#ifndef ZARIREVO_APP_PROGRAM_STATE_H_
#define ZARIREVO_APP_PROGRAM_STATE_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cnf/cnf_session.h"
#include "platform/platform.h"
#include "platform/user_interface.h"

namespace zr {

/// Rows of `ProductTable`.
enum ProductIndex : int {
  kDaxorOld = 0,
  kDaxor2D = 1,
  kPlovik = 2,
  kTrelun = 3,
  kDunra = 4,
};
inline constexpr int kProductCount = 5;
inline constexpr std::array<const char*, kProductCount> kProductNames = {
    "DAXOR_OLD", "DAXOR2D", "PLOVIK", "TRELUN", "DUNRA"};

/// Where the archive of a backup goes (`ZipMode`); the numbers are those the
/// console shows and takes. A value outside them checks no compression item.
enum class ZipTarget : std::int16_t {
  kCustomerFolder = 0,  // "&Compatta nella cartella"
  kBackupPath = 1,      // "&Compatta nella root"
  kNone = 2,            // "&Non compattare"
};

struct ProductRecord {
  std::string Name;
  std::string ServerFolder;  // settings key "SERVER_" & Name
  std::string Unused;        // a third field that no operation uses
};

/// A menu item or a control: caption, Enabled and Checked.
struct MenuItem {
  std::string caption;
  bool enabled = true;
  bool checked = false;
};

/// The menu tree of the main window, with the design-time captions and states.
struct BaseFormMenus {
  MenuItem Menu1{"&File"};
  MenuItem Menu11{"&Apri CNF"};
  MenuItem Menu12{"Copia sul &Server"};
  MenuItem Menu13{"&Chiudi"};
  MenuItem Menu2{"File&ToCopy"};
  MenuItem Menu21{"File_Configurazioni"};
  MenuItem Menu211{"&Macchina", true, true};
  MenuItem Menu212{"&PostProcessor", true, true};
  MenuItem Menu213{"Pe&Rsonalizzazioni", true, true};
  MenuItem Menu214{"&Stampe"};
  MenuItem Menu215{"", true, true};
  MenuItem Menu216{"&Trasmissioni", true, true};
  MenuItem Menu217{"&Windows", true, true};
  MenuItem Menu22{"&Eseguibili"};
  MenuItem Menu221{"&PostProcessor"};
  MenuItem Menu23{"&DataBase"};
  MenuItem Menu231{"&Tabelle_Laser"};
  MenuItem Menu232{"Ta&Belle_Mdb"};
  MenuItem Menu233{"&Material_Mdb"};
  MenuItem Menu24{"&Utensili"};
  MenuItem Menu241{"&Punzoni"};
  MenuItem Menu242{"&Matrici"};
  MenuItem Menu25{"&Tutti"};
  MenuItem Menu3{"&Configurazione"};
  MenuItem Menu31{"&Configurazione_ZIP"};
  MenuItem Menu311{"&Non compattare"};
  MenuItem Menu312{"&Compatta nella root", true, true};
  MenuItem Menu313{"&Compatta nella cartella"};
  MenuItem Menu32{"&Formatta Floppy"};
  MenuItem Menu33{"&Percorsi"};
  MenuItem Menu331{"&Backup Cliente"};
  MenuItem Menu332{"Backup &Server"};
  MenuItem Menu3321{""};
  MenuItem Menu3322{""};
  MenuItem Menu3323{""};
  MenuItem Menu3324{"Dunra: ", false, false};
  MenuItem Menu4{"&?"};
  MenuItem Menu41{"&Help"};
};

/// One entry of the menu tree, for walking it in order (front-ends, tests).
struct MenuEntry {
  const char* name;    // "Menu211"
  const char* parent;  // "Menu21", or "" for a bar menu
  MenuItem BaseFormMenus::*item;
};
/// Every menu item in tree order.
const std::vector<MenuEntry>& MenuTree();
/// The file items in the order "&Tutti" walks them (Menu211 ... Menu242).
const std::vector<MenuItem BaseFormMenus::*>& FileItems();

/// Controls of the main window `BaseForm` besides its menus.
struct BaseFormControls {
  std::string Caption;  // "ZA-Rirevo Vers. 6.8.1"
  MenuItem Software_B;  // caption = the selected product
  MenuItem EsciB{"ESCI"};
  MenuItem StopB{"STOP", false};
  MenuItem OK_B{"OK", false};
  std::string NomeCliente;       // customer name box
  std::string DataOggi{"data"};  // today's date in the short date form
  Color MessageBackground = kBackgroundNormal;
};

/// Controls of the launcher `BackupBotton`.
struct LauncherControls {
  MenuItem Software_B;
  MenuItem Backup{"BACKUP"};
};

/// What a long operation reports while it runs (the backup's copies, the
/// server copy, the erase), for a front-end's progress display and summary.
/// The operations call it as the work happens; the default does nothing.
/// `FilesKnown` adds files that a listing has just found (the total grows
/// as folders are listed); each such file is then started and done once.
struct ProgressObserver {
  enum class Done {
    kCopied,  // copied (backup), filed on the server, or erased
    kListed,  // entered in the archive list only, not copied
    kFailed,  // not copied, filed or erased (reported to the user)
  };
  virtual ~ProgressObserver() = default;
  virtual void FilesKnown(int /*count*/) {}
  /// `file` is being worked on.
  virtual void FileStarted(const std::string& /*file*/) {}
  /// `files` files (normally one, `file`) are done; `written` is where the
  /// copy now lies ("" when nothing was written).
  virtual void FileDone(const std::string& /*file*/, const std::string& /*written*/, Done /*how*/,
                        int /*files*/ = 1) {}
};

/// The observer of a program that nobody watches.
inline ProgressObserver& NoProgress() {
  static ProgressObserver none;
  return none;
}

/// The program's shared state and its two collaborators (`platform` and `ui`,
/// with `CnfFolder`, come from CnfSession).
struct Program : CnfSession {
  Program(Platform& platform_in, UserInterface& ui_in) : CnfSession(platform_in, ui_in) {}
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  /// Told of the files of the running operation (never null).
  ProgressObserver* progress = &NoProgress();

  // Products.
  std::array<ProductRecord, kProductCount> ProductTable;
  /// Rows of the installed products in listing order. Position 1 of the
  /// design's list is index 0 here; empty means none installed.
  std::vector<int> InstalledProducts;
  std::string SelectedSoftware;

  // Folders and files.
  std::string SystemFolder;    // folder of ZA-RIREVO.INI
  std::string ArchiverPath;    // PkZip25 without ".EXE"
  std::string BackupPath;      // backup root, normally ending with "\"
  std::string CustomerFolder;  // BackupPath & customer & "\"
  std::string ProductFolder;   // installation of the selected product, no trailing "\"
  std::array<std::string, 2> ProductSettingsFile;  // (0) folder, (1) INI file name
  std::vector<std::string> DaxorIniFiles;

  /// `ProductFolder` & "\~TMPZIP".
  std::string TemporaryFolder() const { return ProductFolder + "\\~TMPZIP"; }
  /// The archive list: TemporaryFolder & "\" & "ZIPLISTTMP.TXT".
  std::string ArchiveListFile() const { return TemporaryFolder() + "\\ZIPLISTTMP.TXT"; }
  /// The settings file: SystemFolder & "\" & "ZA-RIREVO.INI".
  std::string SettingsFile() const { return SystemFolder + "\\ZA-RIREVO.INI"; }

  std::string Language;  // "ITA" or "ENG"
  ZipTarget ZipMode = ZipTarget::kBackupPath;
  bool BackupRunning = false;  // the STOP flag
  int FilesNotCopied = 0;      // files of the running job that failed or were refused
  std::string ArchiveMade;     // the archive the last backup job made ("" when none)

  // Error texts of the message boxes, by run-time error number and title index.
  std::array<std::string, 201> ErrorTexts;
  std::array<std::string, 11> ErrorTitles;

  // Message colours (set by PrepareMainWindow).
  Color ColorBlue = 0, ColorGreen = 0, ColorCyan = 0, ColorRed = 0, ColorMagenta = 0, ColorGray = 0,
        ColorLightGreen = 0, ColorLightRed = 0, ColorLightYellow = 0, ColorBlack = 0, ColorStop = 0,
        ColorLightCyan = 0;

  // Windows.
  LauncherControls launcher;
  BaseFormControls main;
  BaseFormMenus menus;

  /// Today's date as year, month, day (ZARIREVO_TODAY=YYYY-MM-DD fixes it for tests).
  int today_year = 0, today_month = 0, today_day = 0;
};

/// Program version, as shown in captions: 6, 8, 1.
inline constexpr int kVersionMajor = 6;
inline constexpr int kVersionMinor = 8;
inline constexpr int kVersionRevision = 1;

}  // namespace zr

#endif  // ZARIREVO_APP_PROGRAM_STATE_H_
