// The session: the globals every operation reads and writes (settings,
// installed products, folders, the running operation), the error texts, and
// the platform and user interface they act through. One `Session` lives for
// the whole run and is handed to every operation, so nothing hides in
// globals. It holds nothing of the windows: the main window's model lives in
// ui/ (ui/program.h joins the two for the front-ends).
//
// Field names are the program's own names for these values (`BackupPath`,
// `Menu211`, ...), so that code and the texts of the program read alike.
#ifndef ZARIREVO_APP_SESSION_H_
#define ZARIREVO_APP_SESSION_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/product_catalog.h"
#include "app/run_context.h"
#include "cnf/cnf_session.h"
#include "platform/platform.h"
#include "platform/user_interface.h"
#include "platform/windows_path.h"

namespace zr {

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

/// The error texts of the message boxes, by run-time error number and title
/// index (LoadErrorTexts fills them when the language is Italian).
struct ErrorMessages {
  std::array<std::string, 201> ErrorTexts;
  std::array<std::string, 11> ErrorTitles;
};

/// Sizes and CRC-32s of files by their path, whatever its case: a file read
/// under one spelling is found under another (the archive list names a file
/// as its folder's listing spells it, a setting may name it otherwise).
class FileSums {
 public:
  void Keep(const std::string& path, const FileSum& sum) { sums_[FoldCase(path)] = sum; }
  void Forget(const std::string& path) { sums_.erase(FoldCase(path)); }
  void Clear() { sums_.clear(); }
  /// The sum kept for `path`, or null.
  const FileSum* Find(const std::string& path) const {
    const auto found = sums_.find(FoldCase(path));
    return found == sums_.end() ? nullptr : &found->second;
  }

 private:
  std::unordered_map<std::string, FileSum> sums_;
};

/// The shared state and its two collaborators (`platform` and `ui`, with
/// `CnfFolder`, come from CnfSession), with the error texts, whose members it
/// reaches by their own names (`program.ErrorTexts`).
struct Session : CnfSession, ErrorMessages {
  Session(Platform& platform_in, UserInterface& ui_in) : CnfSession(platform_in, ui_in) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  /// The running operation's progress, report and cancellation.
  RunContext run;

  // Products.
  /// One record per row of Products(), in the same order.
  std::vector<ProductRecord> ProductTable = std::vector<ProductRecord>(Products().size());
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
  /// Size and CRC-32 of the files entered in the archive list, by their
  /// line, as the copy read them: the archive's check compares with these
  /// instead of reading the files again. A file the program itself changes
  /// after its copy (the mark an INI read leaves) loses its sum here, so
  /// that the check reads it as the archiver did.
  FileSums listed_sums;
  /// The archive list while files are entered in it: opened at the first
  /// line and kept open, each line written through (AddToArchiveList);
  /// closed before the archiver reads the list and before the temporary
  /// folder goes (CloseArchiveList).
  std::unique_ptr<AppendingFile> archive_list;
  /// The first failure to write or close the archive list since it was
  /// last deleted: the archive would lack files, and is not made.
  Status archive_list_failure;
  /// The settings file: SystemFolder & "\" & "ZA-RIREVO.INI".
  std::string SettingsFile() const { return SystemFolder + "\\ZA-RIREVO.INI"; }

  std::string Language;  // "ITA" or "ENG"
  ZipTarget ZipMode = ZipTarget::kBackupPath;

  /// The message area's background: normal, alarm (red) or archive only.
  Color MessageBackground = kBackgroundNormal;

  // Message colours (set by PrepareMainWindow).
  Color ColorBlue = 0, ColorGreen = 0, ColorCyan = 0, ColorRed = 0, ColorMagenta = 0, ColorGray = 0,
        ColorLightGreen = 0, ColorLightRed = 0, ColorLightYellow = 0, ColorBlack = 0, ColorStop = 0,
        ColorLightCyan = 0;

  /// Today's date as year, month, day (ZARIREVO_TODAY=YYYY-MM-DD fixes it for tests).
  int today_year = 0, today_month = 0, today_day = 0;
};

/// Session version, as shown in captions and by --version. Its one source is
/// the project version in CMakeLists.txt, handed in as compile definitions.
inline constexpr int kVersionMajor = ZARIREVO_VERSION_MAJOR;
inline constexpr int kVersionMinor = ZARIREVO_VERSION_MINOR;
inline constexpr int kVersionRevision = ZARIREVO_VERSION_REVISION;

}  // namespace zr

#endif  // ZARIREVO_APP_SESSION_H_
