// The settings file ZA-RIREVO.INI and the configuration readings of a
// product: the two INI primitives (every read leaves an empty key APPLICATION
// in section CONFIGURA of the file read), loading and saving the [PATH] keys,
// and preparing the old DAXOR installation or a product under c:\kyconfig
// for backup (ProductFolder, Language, ZipMode, error texts, BackupPath).
#ifndef ZARIREVO_APP_SETTINGS_H_
#define ZARIREVO_APP_SETTINGS_H_

#include <string>

#include "app/program_state.h"

namespace zr {

/// The value of a key (at most 255 characters), or `default_value`; then
/// writes the empty key APPLICATION in section CONFIGURA of `file`.
std::string GetIniString(Platform& platform, const std::string& section, const std::string& key,
                         const std::string& default_value, const std::string& file);
/// Writes a key; the file is created when missing; failures are ignored.
void PutIniString(Platform& platform, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file);

/// Read: BackupPath, the ProductTable names and server folders.
/// Write: BackupPath and each row's server folder under its own key.
void LoadOrSaveSettings(Program& program, const std::string& file, bool read);
void FillDaxorIniFiles(Program& program);
/// True when the product folder's INI names an Installdir.
bool HasInstallDir(Program& program, const std::string& product_folder);
void LoadDaxorOldSettings(Program& program, bool force_question);
/// True when the product's installation folder exists (and was prepared).
bool LoadProductSettings(Program& program, int row);

}  // namespace zr

#endif  // ZARIREVO_APP_SETTINGS_H_
