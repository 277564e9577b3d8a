// The erase of the backup unit (Menu32): after a confirmation every file and
// sub-folder below BackupPath is deleted; a drive root such as "A:\" and the
// root of a share ("\\SRV\SHARE\") stay, any other folder goes as well.
//
// Guard against lost data: a BackupPath at, above or below an installed
// product's folder (each folder of c:\kyconfig and the Installdir its INI
// names), c:\kyconfig itself, the selected product's folder or a server root
// is refused with a box that says why; so is one at or above the settings
// folder, the folder of KY-GEN.CNF or the Windows directory (so "C:\" is
// never wiped). Paths are compared by their real locations on the host, links
// resolved, with the platform's one case rule, after the drive completion
// MakePath applies ("C:DATI" is read both from the drive root and from the
// current folder); where a location cannot be resolved (a drive not ready),
// by their texts.
//
// The erase itself lists each folder once and never enters a link (it is
// removed as a link); a name that Windows could not hold as one name would
// make its path name another place, so it is reported and left, and the
// erase ends as not completed. Hidden and system files and folders stay, as
// a bootable disk needs them, in the unit's root as below it: each is named
// in the report as kept, so that nobody takes the unit for empty.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/message_area.h"
#include "app/products.h"
#include "backup/file_operations.h"
#include "platform/profile.h"
#include "platform/windows_path.h"
#include "server/server_copy.h"
#include "text/listed_names.h"
#include "text/strings.h"

namespace zr {

namespace {

// Every folder the text may name, after the drive completion of MakePath: a
// drive-relative "C:DATI" is read both from the drive root and from the
// current folder when that lies on the same drive. A text that names no
// folder (a UNC name without its share) has no reading.
std::vector<WindowsPath> Readings(Session& program, const std::string& folder) {
  std::string path = folder;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  path = CompleteDrive(path);
  std::vector<std::optional<WindowsPath>> readings = {WindowsPath::Parse(path)};
  if (path.rfind("\\\\", 0) != 0 && path.size() > 2 && path[2] != '\\') {
    std::optional<WindowsPath> current = WindowsPath::Parse(program.platform.CurrentFolder());
    if (current && !current->is_unc() && EqualsNoCase(path.substr(0, 1), {&current->drive, 1})) {
      readings.push_back(current->Join(path.substr(2)));
    }
  }
  std::vector<WindowsPath> parsed;
  for (std::optional<WindowsPath>& reading : readings) {
    if (reading) parsed.push_back(std::move(*reading));
  }
  return parsed;
}

struct Protected {
  std::string folder;
  std::string what;
  bool below_too;  // also refused below it, not only at or above it
};

// Where `reading` lies against `kept`: by real locations, or by the paths
// themselves when either cannot be resolved.
Placement PlaceOfReading(Session& program, const WindowsPath& reading, const WindowsPath& kept) {
  const Placement real = PlaceOf(program.platform, reading.Text(), kept.Text());
  if (real != Placement::kApart) return real;
  if (reading.SameAs(kept)) return Placement::kSame;
  if (reading.LiesBelow(kept)) return Placement::kBelow;
  if (kept.LiesBelow(reading)) return Placement::kAbove;
  return Placement::kApart;
}

// Every folder the erase must leave whole.
std::vector<Protected> ProtectedFolders(Session& program) {
  std::vector<Protected> kept = {
      {program.SystemFolder, "la cartella delle impostazioni del programma", false},
      {program.ProductFolder, "la cartella del prodotto", true},
      {program.CnfFolder, "la cartella di KY-GEN.CNF", false},
      {kProductListFolder, "la cartella dei prodotti", true},
      {program.platform.WindowsFolder(), "la cartella di Windows", false},
  };
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(std::string(kProductListFolder) + "*",
                                     ListKind::kFilesAndFolders, &entries),
               "a folder that cannot be listed is taken as empty");
  for (const FolderEntry& entry : entries) {
    if (!entry.is_folder() || IsForbiddenName(entry.name)) continue;
    const std::string folder = std::string(kProductListFolder) + entry.name;
    kept.push_back({folder, "la cartella di un prodotto", true});
    const std::string install = GetPrivateProfileString(
        program.platform, "SETTINGS", "Installdir", "", 256, folder + "\\" + entry.name + ".ini");
    kept.push_back({install, "la cartella di installazione di " + entry.name, true});
  }
  for (const ProductRecord& record : program.ProductTable) {
    kept.push_back({record.ServerFolder, "la cartella del server di " + record.Name, true});
  }
  return kept;
}

// A visible file left anywhere below `folder` (with trailing "\"), or "".
std::string FirstLeftoverFile(Session& program, const std::string& folder, int depth) {
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(folder + "*", ListKind::kFilesAndFolders, &entries),
               "a folder that cannot be listed is taken as empty");
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

std::string ErasureRefusal(Session& program, const std::string& folder) {
  const std::vector<Protected> guarded = ProtectedFolders(program);
  for (const WindowsPath& reading : Readings(program, folder)) {
    for (const Protected& item : guarded) {
      if (TrimBlanks(item.folder).empty()) continue;
      for (const WindowsPath& kept : Readings(program, TrimBlanks(item.folder))) {
        const Placement placement = PlaceOfReading(program, reading, kept);
        const char* how = nullptr;
        if (placement == Placement::kSame) {
          how = "\xC3\xA8 ";
        } else if (placement == Placement::kAbove) {
          how = "contiene ";
        } else if (placement == Placement::kBelow && item.below_too) {
          how = "\xC3\xA8 dentro ";
        }
        if (how == nullptr) continue;
        return "Il percorso " + folder + " non viene cancellato:\r" + how + item.what + " " +
               item.folder + ".";
      }
    }
  }
  return {};
}

namespace {

// Folder levels the erase enters below the unit at most: deeper ones are
// reported and left.
constexpr int kMaxEraseDepth = 64;

// A drive root or the root of a share, which stays.
bool IsRoot(const std::string& folder) {
  const std::optional<WindowsPath> path = WindowsPath::Parse(folder);
  return path && path->is_root();
}

void ReportLeft(Session& program, const std::string& what) {
  WriteMessageLine(program, what, true, program.ColorBlack, false);
}

// Deletes everything below `folder` (ending with "\") but the hidden and
// system entries, which are reported as kept, then the folder unless `keep`
// or it holds kept entries. Each listing is read once; a sub-folder or link is first removed as
// such (a link never leads the erase elsewhere), and entered only when it is
// a folder with something in it. A name Windows could not open as listed is
// reported on an alarm line and left; a file that cannot be deleted is shown
// in a box and ends the erase. False when something was left.
bool EraseTree(Session& program, const std::string& folder, int depth, bool keep) {
  Platform& platform = program.platform;
  RunContext& run = program.run;
  std::vector<FolderEntry> entries;
  const Status listed = platform.List(folder + "*", ListKind::kEverything, &entries);
  if (!listed.ok()) {
    // A folder that cannot be listed is never taken as empty: what it holds
    // is still on the unit.
    const std::string why = "cartella non leggibile (errore " + std::to_string(listed.error) + ")";
    ReportLeft(program, "Cartella non leggibile, non cancellata: " + folder);
    run.FileDone(folder, FileOutcome::kFailed, why);
    return false;
  }
  run.FilesKnown(
      static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                     [](const FolderEntry& entry) { return !entry.is_folder(); })));
  const int kept_before = run.report().Count(FileOutcome::kKept);
  bool complete = true;
  for (const FolderEntry& entry : entries) {
    if (run.cancelled()) return false;
    if ((entry.attributes & (kAttrHidden | kAttrSystem)) != 0) {
      const bool sub = entry.is_folder();
      run.FileDone(folder + ShownName(entry.name) + (sub ? "\\" : ""), FileOutcome::kKept,
                   sub ? "cartella nascosta o di sistema" : "file nascosto o di sistema");
      continue;
    }
    if (IsForbiddenName(entry.name)) {
      ReportLeft(program, "Nome non valido, non cancellato: " + folder + ShownName(entry.name));
      run.FileDone(folder + ShownName(entry.name), FileOutcome::kFailed, "nome non valido");
      complete = false;
      continue;
    }
    const std::string path = folder + entry.name;
    if (entry.is_folder()) {
      if (platform.RemoveFolder(path).ok()) continue;
      if (depth >= kMaxEraseDepth) {
        ReportLeft(program, "Cartella troppo profonda, non cancellata: " + path);
        run.FileDone(path + "\\", FileOutcome::kFailed, "cartella troppo profonda");
        complete = false;
        continue;
      }
      if (!EraseTree(program, path + "\\", depth + 1, false)) return false;
      continue;
    }
    unsigned attributes = 0;
    if (platform.GetAttributes(path, &attributes).ok() && (attributes & kAttrReadOnly) != 0) {
      IgnoreStatus(platform.SetAttributes(path, kAttrNormal),
                   "the delete that follows reports a file that stays read-only");
    }
    run.FileStarted(path);
    const std::uint64_t bytes = FileSize(platform, path);
    const Status deleted = platform.DeleteFile(path);
    if (!deleted.ok()) {
      run.FileDone(path, FileOutcome::kFailed, "errore " + std::to_string(deleted.error));
      ShowErrorBox(program, deleted.error, 1, ErrorBoxButtons::kOkOnly, path, "");
      return false;
    }
    run.FileDone(path, FileOutcome::kDone, {}, bytes);
  }
  if (!keep) {
    // A folder that holds kept entries stays with them; any other that
    // cannot go is left undone.
    const std::string itself = SetTrailingBackslash(folder, false);
    const Status removed = platform.RemoveFolder(itself);
    unsigned attributes = 0;
    const Status there = removed.ok() ? Status::Error(kErrFileNotFound)
                                      : platform.GetAttributes(itself, &attributes);
    if (there.ok()) {
      // What failed below has its record already.
      if (complete && run.report().Count(FileOutcome::kKept) == kept_before) {
        run.FileDone(folder, FileOutcome::kFailed,
                     "cartella non cancellata (errore " + std::to_string(removed.error) + ")");
        complete = false;
      }
    } else if (there.error != kErrFileNotFound && there.error != kErrPathNotFound) {
      // The host cannot even name it (a path too long): it is still there.
      run.FileDone(folder, FileOutcome::kFailed,
                   "cartella non raggiungibile (errore " + std::to_string(there.error) + ")");
      complete = false;
    }
    program.ui.ProcessPendingInput();
  }
  return complete;
}

// Shows why `folder` may not be erased, if it may not; true when refused.
bool RefusedErasure(Session& program, const std::string& folder) {
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

bool EraseBackupUnit(Session& program, const std::string& folder) {
  std::string copy = folder;
  if (RefusedErasure(program, copy)) return false;

  copy = CompleteDrive(copy);
  MakePath(program, copy, PathCheck::kAsk, false);
  copy = SetTrailingBackslash(copy, true);
  program.run.report().folder = copy;
  const bool root = IsRoot(copy);
  // A unit that is itself a link goes as a link, an empty folder at once.
  if (!root && program.platform.RemoveFolder(SetTrailingBackslash(copy, false)).ok()) return true;
  const bool complete = EraseTree(program, copy, 0, root);
  // Hidden and system files are not seen and stay, and so may the folders
  // that hold them, as they always have; a visible file still below the
  // folder means the erase is not complete.
  if (!complete) return false;
  const std::string leftover = FirstLeftoverFile(program, copy, 0);
  if (leftover.empty()) return true;
  program.run.FileDone(leftover, FileOutcome::kFailed, "ancora presente dopo la cancellazione");
  return false;
}

bool EraseFloppy(Session& program, const std::string& unit) {
  RunContext& run = program.run;
  run.Begin(Operation::kErase, Stage::kErasing);
  OperationReport& report = run.report();
  report.folder = unit;
  struct EndRun {
    RunContext& run;
    ~EndRun() { run.End(); }
  } end{run};

  MessageBoxRequest question;
  question.text = "Siete sicuri di voler cancellare il floppy " + unit + " ?";
  question.title = "Question";
  question.buttons = Buttons::kYesNo;
  question.no_icon = true;
  question.default_no = true;
  if (program.ui.ShowMessageBox(question) != Answer::kYes) {
    report.outcome = RunOutcome::kRefused;
    report.reason = "cancellazione non confermata";
    return false;
  }

  if (const std::string refusal = ErasureRefusal(program, unit); !refusal.empty()) {
    RefusedErasure(program, unit);
    report.outcome = RunOutcome::kRefused;
    report.reason = refusal;
    return false;
  }

  WriteMessageLine(program, "Cancellazione del floppy " + unit + " in corso.", false,
                   program.ColorBlack, false);
  WriteMessageLine(program, "Attendere prego.......", false, program.ColorBlack, false);
  const bool erased = EraseBackupUnit(program, unit);
  report.outcome = run.cancelled()                      ? RunOutcome::kCancelled
                   : erased && report.NotHandled() == 0 ? RunOutcome::kCompleted
                                                        : RunOutcome::kIncomplete;
  if (const std::string kept = KeptFilesLine(report); !kept.empty()) {
    WriteMessageLine(program, kept, false, program.ColorBlack, false);
  }

  MessageBoxRequest closing;
  closing.text = ClosingText(report);
  closing.title = "Fine Esecuzione";
  closing.buttons = Buttons::kOk;
  closing.no_icon = true;
  program.ui.ShowMessageBox(closing);
  return report.outcome == RunOutcome::kCompleted;
}

}  // namespace zr
