// The erase of the backup unit (Menu32): after a confirmation every file and
// sub-folder below BackupPath is deleted; a drive root such as "A:\" stays,
// any other folder goes as well.
//
// Guard against lost data: a BackupPath that is, or lies above, the
// program's settings folder, the product's folders, the product list folder
// c:\kyconfig or the Windows directory is refused with a box that says why
// (so "C:\" is never wiped). Paths are compared as Windows compares them:
// without regard to case, after the drive completion MakePath applies and
// with "." and ".." components resolved.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/products.h"
#include "backup/file_operations.h"
#include "server/server_copy.h"
#include "text/strings.h"
#include "ui/message_area.h"

namespace zr {

namespace {

// The drive completion of MakePath: "\X" and ":\X" and "X" go to drive C:.
std::string CompleteDrive(std::string path) {
  if (path.rfind("\\\\", 0) == 0) return path;
  if (!path.empty() && path[0] == '\\') path = "C:" + path;
  if (path.rfind(":\\", 0) == 0) path = "C" + path;
  if (path.size() < 2 || path[1] != ':') path = "C:\\" + path;
  return path;
}

// Upper-case "X:\A\B\" or "\\SRV\SHARE\A\" with "." and ".." resolved and the
// trailing dots and blanks of each component dropped, as the file system does.
std::string CanonicalFolder(const std::string& complete) {
  std::string prefix;
  std::string rest;
  if (complete.rfind("\\\\", 0) == 0) {
    prefix = "\\\\";
    rest = complete.substr(2);
  } else {
    prefix = complete.substr(0, 2) + "\\";
    rest = complete.substr(2);
  }
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&]() {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
      if (part == "." || part == "..") break;
      part.pop_back();
    }
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (char c : rest) {
    if (c == '\\') {
      flush();
    } else {
      part += c;
    }
  }
  flush();
  std::string result = prefix;
  for (const std::string& p : parts) result += p + "\\";
  return ToUpper(result);
}

// Every folder the text may name: a drive-relative "C:DATI" is read both from
// the drive root and from the current folder when that lies on the same drive.
std::vector<std::string> Readings(Program& program, const std::string& folder) {
  std::string path = folder;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  path = CompleteDrive(path);
  std::vector<std::string> readings;
  if (path.rfind("\\\\", 0) != 0 && path.size() > 2 && path[2] != '\\') {
    const std::string rest = path.substr(2);
    readings.push_back(CanonicalFolder(path.substr(0, 2) + "\\" + rest));
    const std::string current = program.platform.CurrentFolder();
    if (current.size() >= 2 && ToUpper(current.substr(0, 2)) == ToUpper(path.substr(0, 2))) {
      readings.push_back(CanonicalFolder(SetTrailingBackslash(current, true) + rest));
    }
  } else {
    readings.push_back(CanonicalFolder(path));
  }
  return readings;
}

struct Protected {
  std::string folder;
  const char* what;
};

// A visible file left anywhere below `folder` (with trailing "\"), or "".
std::string FirstLeftoverFile(Program& program, const std::string& folder, int depth) {
  std::vector<FolderEntry> entries;
  program.platform.List(folder + "*", ListKind::kFilesAndFolders, &entries);
  for (const FolderEntry& entry : entries) {
    if (!entry.is_folder()) return folder + entry.name;
  }
  if (depth > 64) return {};
  for (const FolderEntry& entry : entries) {
    std::string file = FirstLeftoverFile(program, folder + entry.name + "\\", depth + 1);
    if (!file.empty()) return file;
  }
  return {};
}

}  // namespace

std::string ErasureRefusal(Program& program, const std::string& folder) {
  const std::vector<Protected> guarded = {
      {program.SystemFolder, "la cartella delle impostazioni del programma"},
      {program.ProductFolder, "la cartella del prodotto"},
      {program.CnfFolder, "la cartella di KY-GEN.CNF"},
      {kProductListFolder, "la cartella dei prodotti"},
      {program.platform.WindowsFolder(), "la cartella di Windows"},
  };
  for (const std::string& reading : Readings(program, folder)) {
    for (const Protected& item : guarded) {
      if (TrimBlanks(item.folder).empty()) continue;
      for (const std::string& kept : Readings(program, TrimBlanks(item.folder))) {
        if (kept.rfind(reading, 0) != 0) continue;
        return "Il percorso " + folder + " non viene cancellato:\r" +
               (kept == reading ? "\xC3\xA8 " : "contiene ") + item.what + " " + item.folder + ".";
      }
    }
  }
  return {};
}

namespace {

// Shows why `folder` may not be erased, if it may not; true when refused.
bool RefusedErasure(Program& program, const std::string& folder) {
  const std::string refusal = ErasureRefusal(program, folder);
  if (refusal.empty()) return false;
  MessageBoxRequest box;
  box.text = refusal;
  box.title = "Cancellazione Rifiutata";
  box.buttons = Buttons::kOk;
  program.ui.ShowMessageBox(box);
  return true;
}

}  // namespace

bool EraseBackupUnit(Program& program, const std::string& folder) {
  std::string copy = folder;
  if (RefusedErasure(program, copy)) return false;

  MakePath(program, copy, 0, false);
  try {
    DeleteFolderTree(program, copy, 0);
  } catch (const CopyFailed& failure) {
    std::int16_t ask = 0;
    ShowErrorBox(program, failure.error, 1, ask, failure.file + "\r", "");
    return false;
  } catch (const std::runtime_error& failure) {
    std::int16_t ask = 0;
    ShowErrorBox(program, kErrPathFileAccess, 1, ask, copy + "\r", failure.what());
    return false;
  }
  // DeleteFolderTree shows the error of a file it cannot delete and stops
  // there; a visible file still below the folder is how that shows here.
  // Hidden and system files are not seen and stay, and so may the folders
  // that hold them, as they always have.
  return FirstLeftoverFile(program, SetTrailingBackslash(copy, true), 0).empty();
}

bool FormattaFloppyClick(Program& program) {
  MessageBoxRequest question;
  question.text = "Siete sicuri di voler cancellare il floppy " + program.BackupPath + " ?";
  question.title = "Question";
  question.buttons = Buttons::kYesNo;
  question.no_icon = true;
  if (program.ui.ShowMessageBox(question) != Answer::kYes) return false;

  if (RefusedErasure(program, program.BackupPath)) return false;

  WriteMessageLine(program, "Cancellazione del floppy " + program.BackupPath + " in corso.", false,
                   program.ColorBlack, false);
  WriteMessageLine(program, "Attendere prego.......", false, program.ColorBlack, false);
  const bool erased = EraseBackupUnit(program, program.BackupPath);

  MessageBoxRequest closing;
  closing.text = erased ? "Cancellazione Eseguita" : "Cancellazione non completata";
  closing.title = "Fine Esecuzione";
  closing.buttons = Buttons::kOk;
  closing.no_icon = true;
  program.ui.ShowMessageBox(closing);
  return erased;
}

}  // namespace zr
