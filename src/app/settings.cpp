#include "app/settings.h"

#include "app/message_area.h"
#include "app/products.h"
#include "cnf/cnf_reader.h"
#include "platform/profile.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

constexpr std::size_t kIniBufferSize = 256;  // 255 characters and the final NUL
constexpr const char* kDefaultBackupPath = "A:\\";

}  // namespace

std::string GetIniString(Platform& platform, const std::string& section, const std::string& key,
                         const std::string& default_value, const std::string& file) {
  const std::string value = CutAtNul(
      GetPrivateProfileString(platform, section, key, default_value, kIniBufferSize, file));
  // Every read leaves the empty key APPLICATION in CONFIGURA of the file read.
  // A file that does not exist is not created by a read.
  if (FileExists(platform, file)) {
    IgnoreStatus(WritePrivateProfileString(platform, "CONFIGURA", "APPLICATION", "", file),
                 "the mark of a read is not checked");
  }
  return value;
}

void PutIniString(Platform& platform, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file) {
  IgnoreStatus(WritePrivateProfileString(platform, section, key, value, file),
               "settings that cannot be written are not reported");
}

void LoadOrSaveSettings(Program& program, const std::string& file, bool read) {
  Platform& platform = program.platform;
  if (read) {
    program.BackupPath = GetIniString(platform, "PATH", "BACKUPCLIENTE", kDefaultBackupPath, file);
    for (int row = 0; row < kProductCount; ++row) {
      ProductRecord& record = program.ProductTable[static_cast<std::size_t>(row)];
      record.Name = kProductNames[static_cast<std::size_t>(row)];
      record.ServerFolder = GetIniString(platform, "PATH", "SERVER_" + record.Name, "", file);
    }
    return;
  }
  PutIniString(platform, "PATH", "BACKUPCLIENTE", program.BackupPath, file);
  for (const ProductRecord& record : program.ProductTable) {
    if (record.Name.empty()) continue;  // a table that was never read has nothing to save
    PutIniString(platform, "PATH", "SERVER_" + record.Name, record.ServerFolder, file);
  }
}

void FillDaxorIniFiles(Program& program) {
  program.DaxorIniFiles = {"Ky-Geow.ini", "Ky-Tecw.ini", "Ky-Cutw.ini", "Ky-cut12.ini",
                           "Ky-db.ini",   "Ky-libw.ini", "Ky-cam32.ini"};
}

bool HasInstallDir(Program& program, const std::string& product_folder) {
  const std::string name(NameOfText(product_folder));
  const std::string ini = product_folder + "\\" + name + ".ini";
  return !GetIniString(program.platform, "SETTINGS", "Installdir", "", ini).empty();
}

void LoadDaxorOldSettings(Program& program, bool force_question) {
  Platform& platform = program.platform;
  FillDaxorIniFiles(program);
  if (!FileExists(platform, "ky-gen.cnf") || force_question) {
    const std::string folder = LocateCnfFolder(program, force_question);
    IgnoreStatus(platform.ChangeFolder(folder),
                 "the located folder exists: the picker's or the current one");
  }
  program.ProductFolder = platform.CurrentFolder();
  program.CnfFolder = program.ProductFolder;
  program.Language = ToUpper(ReadCnfRecord(program, 15));
  program.ZipMode = ZipTarget::kBackupPath;
  LoadErrorTexts(program);
  program.BackupPath =
      GetIniString(platform, "PATH", "BACKUPCLIENTE", kDefaultBackupPath, program.SettingsFile());
}

bool LoadProductSettings(Program& program, int row) {
  Platform& platform = program.platform;
  FillDaxorIniFiles(program);
  const std::string folder = FindProductConfigFolder(program, static_cast<std::int16_t>(row));
  const std::size_t prefix = std::string(kProductListFolder).size();
  program.ProductSettingsFile[1] =
      (folder.size() > prefix ? folder.substr(prefix) : std::string()) + ".ini";
  program.ProductSettingsFile[0] = folder;
  const std::string ini = folder + "\\" + program.ProductSettingsFile[1];
  program.ProductFolder =
      SetTrailingBackslash(GetIniString(platform, "SETTINGS", "Installdir", "", ini), false);

  if (program.ProductFolder.empty() || !FolderExists(platform, program.ProductFolder)) {
    return false;
  }
  // A folder that exists but cannot be entered is as unusable as a missing one.
  if (!platform.ChangeFolder(program.ProductFolder).ok()) return false;

  switch (row) {
    case kDaxor2D:
      program.Language = ToUpper(ReadCnfRecord(program, 15));
      break;
    case kTrelun:
      program.Language = GetIniString(platform, "OPTION", "LINGUA", "", ini) == "1" ? "ITA" : "ENG";
      break;
    default:
      program.Language = "ENG";
      break;
  }
  program.ZipMode = ZipTarget::kBackupPath;
  LoadErrorTexts(program);
  if (program.BackupPath.empty()) {
    program.BackupPath =
        GetIniString(platform, "PATH", "BACKUPCLIENTE", kDefaultBackupPath, program.SettingsFile());
  }
  return true;
}

}  // namespace zr
