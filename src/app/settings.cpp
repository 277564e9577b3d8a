#include "app/settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "app/message_area.h"
#include "app/product_catalog.h"
#include "app/products.h"
#include "cnf/cnf_reader.h"
#include "platform/profile.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

constexpr std::size_t kIniBufferSize = 256;  // 255 characters and the final NUL
constexpr const char* kDefaultBackupPath = "A:\\";

// "X:\..." or "\\SERVER\SHARE\...", each name one Windows keeps as it is
// (no "." or "..", no trailing dot or blank, no character it refuses).
bool IsWindowsFolderText(const std::string& folder) {
  std::string_view rest = folder;
  std::size_t root_names = 0;  // the server and the share of a UNC folder
  if (rest.size() >= 3 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':' &&
      rest[2] == '\\') {
    rest.remove_prefix(3);
  } else if (rest.substr(0, 2) == "\\\\") {
    rest.remove_prefix(2);
    root_names = 2;
  } else {
    return false;
  }
  if (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
  std::size_t names = 0;
  for (std::size_t start = 0; start <= rest.size() && !rest.empty(); ++names) {
    const std::size_t end = std::min(rest.find('\\', start), rest.size());
    const std::string_view name = rest.substr(start, end - start);
    if (!IsCreatableName(name) || CleanComponent(name) != name) return false;
    start = end + 1;
  }
  return names >= root_names;
}

// Characters of a UTF-8 text, as a settings value counts them.
std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// Why a read or write of the settings file failed, in the program's words.
std::string WriteFailure(const Status& status) {
  switch (status.error) {
    case kErrPermissionDenied:
      return "il file è protetto in scrittura";
    case kErrDiskFull:
      return "il disco è pieno";
    case kErrDiskNotReady:
      return "l'unità non è pronta";
    case kErrPathNotFound:
      return "la cartella non esiste";
    default:
      return "errore " + std::to_string(status.error) + ", " + status.detail;
  }
}

}  // namespace

std::string GetIniString(Platform& platform, const std::string& section, const std::string& key,
                         const std::string& default_value, const std::string& file,
                         bool* marked) {
  if (marked != nullptr) *marked = false;
  // One read serves the value and the mark of the read: every read leaves
  // the empty key APPLICATION in CONFIGURA of the file read. A file that does
  // not exist is not created by a read.
  std::string content;
  const bool read = platform.ReadFile(file, &content).ok();
  const std::string value = CutAtNul(
      ProfileGet(read ? content : std::string(), section, key, default_value, kIniBufferSize));
  std::string with_mark = content;
  if (read && FileExists(platform, file) &&
      ProfileSet(&with_mark, "CONFIGURA", "APPLICATION", "").ok() && with_mark != content) {
    // A rewrite that failed may still have changed the file: marked either way.
    if (marked != nullptr) *marked = true;
    IgnoreStatus(platform.RewriteFile(file, with_mark), "the mark of a read is not checked");
  }
  return value;
}

std::string GetIniString(Session& program, const std::string& section, const std::string& key,
                         const std::string& default_value, const std::string& file) {
  bool marked = false;
  std::string value = GetIniString(program.platform, section, key, default_value, file, &marked);
  if (marked) program.listed_sums.Forget(file);
  return value;
}

void PutIniString(Platform& platform, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& file) {
  IgnoreStatus(WritePrivateProfileString(platform, section, key, value, file),
               "settings that cannot be written are not reported");
}

bool KeepBackupFolder(Session& program, const std::string& folder) {
  const std::string path = PickedFolderForm(folder);
  if (path.empty()) return false;
  program.BackupPath = SetTrailingBackslash(path, true);
  return true;
}

bool KeepServerFolder(Session& program, int row, const std::string& folder) {
  const ProductDescriptor* product = ProductAt(row);
  if (product == nullptr || product->server_menu.item == nullptr) return false;
  const std::string picked = PickedFolderForm(folder);
  if (picked.empty()) return false;
  const std::string path = SetTrailingBackslash(picked, true);
  program.ProductTable[static_cast<std::size_t>(row)].ServerFolder = path;
  // The products whose server folder follows this one's.
  for (std::size_t other = 0; other < Products().size(); ++other) {
    const char* with = Products()[other].server_folder_with;
    if (with != nullptr && product->name == std::string(with)) {
      program.ProductTable[other].ServerFolder = path;
    }
  }
  return true;
}

std::string ChangeSettings(Session& program, const SettingsChange& change) {
  if (change.backup_folder.empty() && change.servers.empty()) return {};
  const std::string backup_path = program.BackupPath;
  const auto table = program.ProductTable;
  for (const auto& [row, folder] : change.servers) KeepServerFolder(program, row, folder);
  if (!change.backup_folder.empty()) KeepBackupFolder(program, change.backup_folder);
  const std::string why = SaveSettings(program, program.SettingsFile());
  if (!why.empty()) {
    // The values in memory go back too, so that the end of the program
    // saves nothing either.
    program.BackupPath = backup_path;
    program.ProductTable = table;
  }
  return why;
}

void LoadOrSaveSettings(Session& program, const std::string& file, bool read) {
  if (read) {
    program.BackupPath = GetIniString(program, "PATH", "BACKUPCLIENTE", kDefaultBackupPath, file);
    for (std::size_t row = 0; row < Products().size(); ++row) {
      const ProductDescriptor& product = Products()[row];
      ProductRecord& record = program.ProductTable[row];
      record.Name = product.name;
      record.ServerFolder = GetIniString(program, "PATH", product.server_key, "", file);
    }
    return;
  }
  // The end of the program reports nothing; `config` calls SaveSettings itself.
  SaveSettings(program, file);
}

FolderCheck CheckSettingsFolder(Platform& platform, const std::string& folder) {
  // A control character is shown by its code, never sent to the terminal.
  std::string shown = "\"";
  for (char c : folder) {
    if (!IsControlCharacter(c)) {
      shown += c;
      continue;
    }
    char code[8];
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(c));
    shown += code;
  }
  shown += "\"";
  if (std::any_of(folder.begin(), folder.end(), IsControlCharacter)) {
    return {"la cartella " + shown + " contiene un a capo o un carattere di controllo", {}};
  }
  if (!IsWindowsFolderText(folder)) {
    return {"la cartella " + shown + " non è nella forma X:\\... o \\\\SERVER\\CONDIVISIONE\\...",
            {}};
  }
  const std::string kept = SetTrailingBackslash(folder, true);
  if (CharacterCount(kept) > kIniBufferSize - 1) {
    return {"la cartella " + shown + " supera i " + std::to_string(kIniBufferSize - 1) +
                " caratteri di un valore di ZA-RIREVO.INI",
            {}};
  }
  unsigned attributes = 0;
  const Status found = platform.GetAttributes(folder, &attributes);
  if (found.error == kErrDiskNotReady) {
    return {{}, "l'unità di " + shown + " non è pronta: la cartella non è stata controllata"};
  }
  if (!found.ok()) return {"la cartella " + shown + " non esiste", {}};
  if ((attributes & kAttrFolder) == 0) return {shown + " non è una cartella", {}};
  return {};
}

std::string SaveSettings(Session& program, const std::string& file) {
  Platform& platform = program.platform;
  std::vector<std::pair<std::string, std::string>> values = {{"BACKUPCLIENTE", program.BackupPath}};
  for (std::size_t row = 0; row < program.ProductTable.size(); ++row) {
    const ProductRecord& record = program.ProductTable[row];
    if (record.Name.empty()) continue;  // a table that was never read has nothing to save
    values.emplace_back(Products()[row].server_key, record.ServerFolder);
  }
  const std::string failed = "impostazioni non salvate in " + file + ": ";
  std::string before;
  const Status read = platform.ReadFile(file, &before);
  if (!read.ok() && read.error != kErrFileNotFound) {
    return failed + "il file non si può leggere (" + WriteFailure(read) + ")";
  }
  std::string after = before;
  for (const auto& [key, value] : values) {
    if (!ProfileSet(&after, "PATH", key, value).ok()) {
      return failed + "il valore di " + key + " contiene un a capo";
    }
  }
  if (read.ok() && after == before) return {};
  if (Status written = platform.RewriteFile(file, after); !written.ok()) {
    return failed + WriteFailure(written);
  }
  for (const auto& [key, value] : values) {
    const std::string back =
        GetPrivateProfileString(platform, "PATH", key, "", kIniBufferSize, file);
    if (back == value) continue;
    const Status undone =
        read.ok() ? platform.RewriteFile(file, before) : platform.DeleteFile(file);
    return failed + key + " si rilegge \"" + back + "\" invece di \"" + value + "\"" +
           (undone.ok() ? "" : " e il file non è tornato com'era (" + WriteFailure(undone) + ")");
  }
  return {};
}

void FillDaxorIniFiles(Session& program) {
  program.DaxorIniFiles = {"Ky-Geow.ini", "Ky-Tecw.ini", "Ky-Cutw.ini", "Ky-cut12.ini",
                           "Ky-db.ini",   "Ky-libw.ini", "Ky-cam32.ini"};
}

bool HasInstallDir(Session& program, const std::string& product_folder) {
  const std::string name(NameOfText(product_folder));
  const std::string ini = product_folder + "\\" + name + ".ini";
  return !GetIniString(program, "SETTINGS", "Installdir", "", ini).empty();
}

void LoadDaxorOldSettings(Session& program, bool force_question) {
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
      GetIniString(program, "PATH", "BACKUPCLIENTE", kDefaultBackupPath, program.SettingsFile());
}

bool LoadProductSettings(Session& program, int row) {
  Platform& platform = program.platform;
  FillDaxorIniFiles(program);
  const std::string folder = FindProductConfigFolder(program, row);
  const std::size_t prefix = std::string(kProductListFolder).size();
  program.ProductSettingsFile[1] =
      (folder.size() > prefix ? folder.substr(prefix) : std::string()) + ".ini";
  program.ProductSettingsFile[0] = folder;
  const std::string ini = folder + "\\" + program.ProductSettingsFile[1];
  program.ProductFolder =
      SetTrailingBackslash(GetIniString(program, "SETTINGS", "Installdir", "", ini), false);

  if (program.ProductFolder.empty() || !FolderExists(platform, program.ProductFolder)) {
    return false;
  }
  // A folder that exists but cannot be entered is as unusable as a missing one.
  if (!platform.ChangeFolder(program.ProductFolder).ok()) return false;

  const ProductDescriptor* product = ProductAt(row);
  program.Language =
      product != nullptr && product->language != nullptr ? product->language(program, ini) : "ENG";
  program.ZipMode = ZipTarget::kBackupPath;
  LoadErrorTexts(program);
  if (program.BackupPath.empty()) {
    program.BackupPath =
        GetIniString(program, "PATH", "BACKUPCLIENTE", kDefaultBackupPath, program.SettingsFile());
  }
  return true;
}

}  // namespace zr
