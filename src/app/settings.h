// The settings file ZA-RIREVO.INI and the configuration readings of a
// product: the two INI primitives (every read leaves an empty key APPLICATION
// in section CONFIGURA of the file read), loading and saving the [PATH] keys,
// and preparing the old DAXOR installation or a product under c:\kyconfig
// for backup (ProductFolder, Language, ZipMode, error texts, BackupPath).
// The backup destination and the server folders are checked before they are
// kept, and saved in one rewrite of the file that is read back, so that the
// file holds either every new value exactly or its old bytes.
#ifndef ZARIREVO_APP_SETTINGS_H_
#define ZARIREVO_APP_SETTINGS_H_

#include <string>
#include <utility>
#include <vector>

#include "app/session.h"

namespace zr {

/// The value of a key (at most 255 characters), or `default_value`; then
/// writes the empty key APPLICATION in section CONFIGURA of `file`.
std::string GetIniString(Platform& platform, const std::string& section, const std::string& key,
                         const std::string& default_value, const std::string& file,
                         bool* marked = nullptr);
/// The same for the program's own reads: a file whose read leaves the mark
/// now is no longer the file its copy summed, and its kept sum goes.
std::string GetIniString(Session& program, const std::string& section, const std::string& key,
                         const std::string& default_value, const std::string& file);
/// Writes a key; the file is created when missing; failures are ignored.
void PutIniString(Platform& platform, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file);

/// Read: BackupPath, the ProductTable names and server folders.
/// Write: SaveSettings, its failure unreported.
void LoadOrSaveSettings(Session& program, const std::string& file, bool read);

/// A folder given as the backup destination or a server folder, checked
/// before it is kept: `error` says in the program's words why it cannot be
/// (empty when it can): not a Windows folder ("X:\..." or
/// "\\SERVER\SHARE\..."), a control character or line break, longer than
/// a settings value (255 characters, its final "\" included), no existing
/// folder. `warning` is for a folder accepted unseen because its drive is
/// not ready (a floppy drive with no disk, as the program is usually set up).
struct FolderCheck {
  std::string error;
  std::string warning;
};
FolderCheck CheckSettingsFolder(Platform& platform, const std::string& folder);

/// A change of the folders of the Configurazione menu: the backup
/// destination ("" keeps it) and server roots by product row.
struct SettingsChange {
  std::string backup_folder;
  std::vector<std::pair<int, std::string>> servers;  // product row, root folder
};
/// Takes `folder`, in the form a folder picker answers with, as the backup
/// destination (ending with "\"); false, and nothing changes, when it names
/// no folder.
bool KeepBackupFolder(Session& program, const std::string& folder);
/// Takes `folder` (as KeepBackupFolder) as the server root of a row with a
/// server item of its own (DAXOR2D, and so DAXOR_OLD; TRELUN; PLOVIK); any
/// other row changes nothing. False when nothing changed.
bool KeepServerFolder(Session& program, int row, const std::string& folder);
/// Takes the folders of `change` (already checked with CheckSettingsFolder)
/// and saves the settings. "" when saved (or nothing to change); otherwise
/// why not, and the folders in memory are as before.
std::string ChangeSettings(Session& program, const SettingsChange& change);

/// Writes BackupPath and each row's server folder under its own key in one
/// rewrite of `file`, then reads each back. Empty when every value reads
/// back as it is; otherwise the reason in the program's words, and `file`
/// keeps its old bytes (or stays missing).
std::string SaveSettings(Session& program, const std::string& file);
void FillDaxorIniFiles(Session& program);
/// True when the product folder's INI names an Installdir.
bool HasInstallDir(Session& program, const std::string& product_folder);
void LoadDaxorOldSettings(Session& program, bool force_question);
/// True when the product's installation folder exists (and was prepared).
bool LoadProductSettings(Session& program, int row);

}  // namespace zr

#endif  // ZARIREVO_APP_SETTINGS_H_
