// CopyConfigurationsToServer (Menu12): unpacks the archives of the backup
// unit, re-packs each one, and files a copy of it on the product's server
// root once per machine file it holds:
//   ServerFolder & post-processor & "\" & machine & "\" & archive name,
// with "_1", "_2", ... before ".ZIP" when that name is taken (nothing on the
// server is ever overwritten).
//
// Every run ends the same way, also after a failure: the temporary folder is
// removed and the run ended (STOP goes off). A copy that fails, and
// an archive that was not unpacked whole or not re-packed (it is never filed
// in part), is reported on its own alarm line and the run goes on; the
// closing box then counts them instead of saying "Copia Eseguita". The
// re-packed archive is read back whole before it is filed, and each filed
// copy must have its size and CRC-32, or it counts as a failed copy. Every
// server folder is checked to lie below the product's server root, links
// resolved, before anything is created in it.
#include "server/server_copy.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/message_area.h"
#include "app/product_catalog.h"
#include "app/products.h"
#include "archive/archive_check.h"
#include "archive/archive_commands.h"
#include "backup/file_operations.h"
#include "cnf/cnf_reader.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

// Ends a server copy however the run leaves: the temporary folder goes and
// the run ends (STOP goes off).
class CopyRunGuard {
 public:
  explicit CopyRunGuard(Session& program) : program_(program) {
    program.run.Begin(Operation::kServerCopy, Stage::kFiling);
  }
  CopyRunGuard(const CopyRunGuard&) = delete;
  CopyRunGuard& operator=(const CopyRunGuard&) = delete;
  ~CopyRunGuard() {
    try {
      DeleteFolderTree(program_, CopyTemporaryFolder(program_));
    } catch (...) {
      // A leftover temporary folder is emptied by the next run.
    }
    program_.run.End();
    program_.ui.StateChanged();
  }

 private:
  Session& program_;
};

// A name read from an archive becomes one server folder level: characters
// that would split it or leave the server root become "_".
std::string SafeFolderName(const std::string& text) {
  std::string name;
  for (char c : text) {
    name += IsForbiddenInName(c) ? '_' : c;
  }
  // Windows drops trailing dots and blanks; a name of nothing but those
  // (".", "..", "") would not be a level of its own.
  if (name.find_first_not_of(". ") == std::string::npos) name = "_" + name;
  return name;
}

std::string ErrorText(const Session& program, const Status& status) {
  std::string text;
  if (status.error > 0 && status.error < static_cast<int>(program.ErrorTexts.size())) {
    text = program.ErrorTexts[status.error];
  }
  if (text.empty()) text = status.detail;
  return "errore " + std::to_string(status.error) + (text.empty() ? "" : ": " + text);
}

// Makes sure one server level exists; false (with an alarm line) when it
// cannot be created.
bool EnsureServerFolder(Session& program, const std::string& folder) {
  if (MakePath(program, folder, PathCheck::kQuiet, false)) return true;
  Status made = program.platform.CreateFolder(SetTrailingBackslash(folder, false));
  if (made.ok() || FolderExists(program.platform, SetTrailingBackslash(folder, false))) {
    return true;
  }
  WriteMessageLine(
      program, "Impossibile creare la cartella " + folder + " (" + ErrorText(program, made) + ")",
      true, program.ColorBlack, false);
  return false;
}

int RecogniseProduct(Session& program, const std::string& extraction_folder) {
  const std::string prefix = extraction_folder + "KyConfig\\";
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(prefix + "*", ListKind::kFilesAndFolders, &entries),
               "a folder that cannot be listed is taken as empty");
  for (const FolderEntry& entry : entries) {
    const int index = ProductIndexOfFolder(program, prefix, entry.name, false);
    if (index >= 0) return index;
  }
  return ServerFallbackRow();
}

std::string OpeningTargetLine(const Session& program) {
  std::vector<std::string> roots;
  // The roots an archive can be filed under: those of the folder products.
  for (std::size_t row = 0; row < Products().size(); ++row) {
    if (Products()[row].folder_family == nullptr) continue;
    const std::string& root = program.ProductTable[row].ServerFolder;
    if (root.empty() || std::find(roots.begin(), roots.end(), root) != roots.end()) continue;
    roots.push_back(root);
  }
  std::string line = "a ";
  for (std::size_t i = 0; i < roots.size(); ++i) line += (i == 0 ? "" : ", ") + roots[i];
  return line;
}

// Recognises, re-packs and files one archive. False when STOP ends the run.
bool FileArchive(Session& program, const ExtractedArchive& row) {
  RunContext& run = program.run;
  // An archive of the unit that is not filed at all.
  const auto not_filed = [&run, &row](const std::string& why) {
    run.FilesKnown(1);
    run.report().files.push_back({row.name, FileOutcome::kFailed, why, 0, true});
  };
  if (!row.failure.empty()) {
    // Reported when it was unpacked; a STOP still ends the run here.
    if (program.run.cancelled()) return false;
    not_filed(row.failure);
    return true;
  }
  const int product = RecogniseProduct(program, row.folder);
  const std::string root = program.ProductTable[static_cast<std::size_t>(product)].ServerFolder;
  const char* fixed_post_processor = Products()[static_cast<std::size_t>(product)].post_processor;
  if (program.run.cancelled()) return false;

  run.SetStage(Stage::kArchiving);
  const ZipResult zip = CreateZipArchive(program, StripExtension(row.server_name), row.folder,
                                         row.folder + "\\*.*", false, program.ArchiverPath);
  run.SetStage(Stage::kFiling);
  if (zip.outcome == ArchiveOutcome::kCancelled) return false;
  if (zip.outcome != ArchiveOutcome::kDone) {
    not_filed("non ricompresso");
    WriteMessageLine(program,
                     "Archivio " + row.server_name + " non ricompresso: non copiato sul server.",
                     true, program.ColorBlack, false);
    return true;
  }
  const std::string repacked = row.folder + zip.name + ".ZIP";
  FileSum packed;
  if (!CheckArchive(program.platform, {.archive = repacked}).whole() ||
      !program.platform.SumFile(repacked, &packed).ok()) {
    not_filed("ricompresso danneggiato");
    WriteMessageLine(
        program,
        "Archivio " + row.server_name + " ricompresso danneggiato: non copiato sul server.", true,
        program.ColorBlack, false);
    return true;
  }
  // The root as MakePath completes it ("" is "C:\"): what every server folder
  // must lie below.
  const std::string complete_root = CompleteDrive(root);
  const bool root_there = MakePath(program, complete_root, PathCheck::kQuiet, false);

  const FileListing machines = ListFiles(program, row.folder, "MAC", true);

  const std::string stem = StripExtension(row.server_name);
  const std::size_t count = machines.size();
  // One copy of the archive per machine file.
  run.FilesKnown(static_cast<int>(count));
  for (std::size_t j = 0; j < count; ++j) {
    const FileListingEntry& machine = machines[j];
    const std::string post_processor =
        fixed_post_processor != nullptr
            ? std::string(fixed_post_processor)
            // A machine without the key is filed under "Parametro inesistente".
            : GetCnfParameter(program, machine.folder + machine.name, "POST-PROCESSOR", 1)
                  .value_or("Parametro inesistente");
    const std::string pp_folder = SafeFolderName(StripExtension(post_processor));

    const std::string machine_folder = SafeFolderName(StripExtension(machine.name));
    if (root_there &&
        !LiesBelow(program.platform, complete_root + pp_folder + "\\" + machine_folder + "\\",
                   complete_root)) {
      const std::string why = "cartella fuori dalla cartella del server " + complete_root + ": " +
                              pp_folder + "\\" + machine_folder + "\\";
      run.FileDone(machine.folder + machine.name, FileOutcome::kFailed, why);
      WriteMessageLine(program,
                       "Cartella fuori dalla cartella del server " + complete_root + ": " +
                           pp_folder + "\\" + machine_folder + "\\ (" + machine.name + ")",
                       true, program.ColorBlack, false);
      continue;
    }
    // As MakePath completes it: the server folders and the copy's name.
    std::string target_folder = CompleteDrive(root + pp_folder + "\\");
    bool ready = EnsureServerFolder(program, target_folder);
    if (ready) {
      target_folder += machine_folder + "\\";
      ready = EnsureServerFolder(program, target_folder);
    }
    if (!ready) {
      run.FileDone(machine.folder + machine.name, FileOutcome::kFailed,
                   "cartella del server " + target_folder + " non creata");
      continue;
    }

    std::string target = target_folder + row.server_name;
    int k = 1;
    unsigned attributes = 0;
    while (program.platform.GetAttributes(target, &attributes).ok()) {
      target = target_folder + stem + "_" + NumberToText(k, 1, 0) + ".ZIP";
      ++k;
    }
    const std::string line_start = "\\" + pp_folder + "\\" + machine.name + "\\";
    if (k == 1) {
      WriteMessageLine(program, line_start + row.server_name, false, program.ColorBlue, false);
    } else {
      WriteMessageLine(program, line_start + stem + "_" + NumberToText(k - 1, 1, 0), true,
                       program.ColorBlue, false);
    }
    if (program.run.cancelled()) return false;

    run.FileStarted(target);
    Status copied = program.platform.CopyFile(repacked, target);
    FileSum filed;
    if (copied.ok() && (!program.platform.SumFile(target, &filed).ok() || filed != packed)) {
      copied = Status::Error(kErrDeviceIo, "la copia sul server non è uguale all'archivio");
    }
    if (copied.ok()) {
      run.FileDone(target, FileOutcome::kDone, {}, FileSize(program.platform, target));
    } else {
      run.FileDone(target, FileOutcome::kFailed, ErrorText(program, copied));
      WriteMessageLine(program,
                       "Copia non riuscita: " + repacked + " -> " + target + " (" +
                           ErrorText(program, copied) + ")",
                       true, program.ColorBlack, false);
    }
    program.ui.ProcessPendingInput();
  }
  return true;
}

}  // namespace

bool CopyConfigurationsToServer(Session& program) {
  CopyRunGuard guard(program);
  program.ui.StateChanged();

  WriteMessageLine(program, "Copia delle configurazioni sul server.", false, program.ColorBlack,
                   false);
  WriteMessageLine(program, "Da " + program.BackupPath, false, program.ColorBlack, false);
  WriteMessageLine(program, OpeningTargetLine(program), false, program.ColorBlack, false);

  OperationReport& report = program.run.report();
  report.folder = program.BackupPath;
  UnitExtraction unit = ExtractBackupUnit(program);
  ExtractedArchives& table = unit.table;
  if (!unit.failure.empty()) {
    report.outcome = RunOutcome::kFailed;
    report.reason = unit.failure;
  } else if (!unit.found) {
    // Nothing to file: the unit's box has said so; nobody stopped the copy.
    report.outcome = RunOutcome::kRefused;
    report.reason = "nessun archivio nell'unità di backup " + program.BackupPath;
  } else if (!program.run.cancelled()) {
    const std::size_t rows = table.size();
    // After a STOP every further row is still recognised, then left at
    // once: nothing more is re-packed or copied.
    for (std::size_t i = 0; i < rows; ++i) FileArchive(program, table[i]);
    report.outcome = OutcomeOfFiles(report);
  }
  // A stop, also while the unit was being unpacked, ends the run as such.
  if (program.run.cancelled()) report.outcome = RunOutcome::kCancelled;

  MessageBoxRequest box;
  box.buttons = Buttons::kOk;
  box.no_icon = true;
  box.text = ClosingText(report);
  program.ui.ShowMessageBox(box);
  return report.outcome == RunOutcome::kCompleted;
}

}  // namespace zr
