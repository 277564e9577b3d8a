// ExtractBackupUnit: checks that the backup unit is readable and holds backup
// archives, and unpacks each archive into a folder of its own below
// ProductFolder & "\~TMPCOPYZIP\", one ExtractedArchives row per archive.
//
// Archives come from a removable unit and are untrusted. A name on the unit
// that Windows could not hold as one name is reported and never becomes part
// of a path or a command line; each extraction folder must lie below the
// temporary folder; the archiver keeps every entry inside the extraction
// folder. Each archive is read back whole (every entry decompressed, its
// CRC-32 checked) before it is unpacked. An archive that is damaged or not
// unpacked whole keeps its row, marked with why, and is not filed: an alarm
// line says so.
#include <cstdint>
#include <string>

#include "app/message_area.h"
#include "archive/archive_check.h"
#include "archive/archive_commands.h"
#include "backup/file_operations.h"
#include "platform/windows_path.h"
#include "server/server_copy.h"
#include "text/listed_names.h"
#include "text/strings.h"

namespace zr {

namespace {

constexpr const char* kExtractPrefix = "EXTRACT_";

// Creates one folder; a folder that is already there counts as created.
Status CreateOneFolder(Platform& platform, const std::string& folder) {
  const std::string path = SetTrailingBackslash(folder, false);
  if (FolderExists(platform, path)) return Status::Ok();
  return platform.CreateFolder(path);
}

// The "Inserire i floppy giusto" box until the archive is present. OK looks
// again; Cancel gives up on this archive (false).
bool WaitForArchive(Session& program, const std::string& name) {
  const std::string path = program.BackupPath + name;
  while (!FileExists(program.platform, path)) {
    MessageBoxRequest box;
    box.text = "Attenzione l'Unita di Backup " + program.BackupPath +
               "non contiene il file:" + "\r" + name + " Inserire i floppy giusto";
    box.title = "File Error\"";
    box.buttons = Buttons::kOkCancel;
    box.no_icon = true;
    if (program.ui.ShowMessageBox(box) == Answer::kCancel) return false;
  }
  return true;
}

}  // namespace

std::string CopyTemporaryFolder(const Session& program) {
  return program.ProductFolder + "\\~TMPCOPYZIP\\";
}

namespace {

// Marks a row as not filed and says why on an alarm line.
void NotExtracted(Session& program, ExtractedArchive& row, const std::string& why) {
  row.failure = why;
  WriteMessageLine(program, why, true, program.ColorBlack, false);
}

}  // namespace

UnitExtraction ExtractBackupUnit(Session& program) {
  UnitExtraction result;
  ExtractedArchives& table = result.table;
  const std::string temporary = CopyTemporaryFolder(program);
  DeleteFolderTree(program, temporary);
  Status made = CreateOneFolder(program.platform, temporary);
  if (!made.ok()) {
    // Nothing can be unpacked without the temporary folder: say so and treat
    // the unit as holding nothing to copy.
    ShowErrorBox(program, made.error, 1, ErrorBoxButtons::kOkOnly, temporary + "\r", "");
    result.failure = "cartella temporanea " + temporary + " non creata (errore " +
                     std::to_string(made.error) + ")";
    return result;
  }

  // The unit as the check and the listing take it, for the messages below.
  program.BackupPath = CompleteDrive(program.BackupPath);
  MakePath(program, program.BackupPath, PathCheck::kAsk, false);
  program.BackupPath = SetTrailingBackslash(program.BackupPath, true);
  const FileListing listing = ListFiles(program, program.BackupPath, "ZIP", false);
  if (listing.empty()) {
    MessageBoxRequest box;
    box.text = "Attenzione nell'Unit\xC3\xA0 " + program.BackupPath + "\r" +
               "non ci sono Configurazioni Cam corrette.";
    box.title = "File Error";
    box.buttons = Buttons::kOk;
    box.no_icon = true;
    program.ui.ShowMessageBox(box);
    return result;
  }
  result.found = true;

  const std::size_t count = listing.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = listing[i].name;
    ExtractedArchive& row = table.emplace_back();
    row.name = program.BackupPath + ShownName(name);
    if (IsForbiddenName(name)) {
      NotExtracted(program, row,
                   "Nome non valido, archivio ignorato: " + program.BackupPath + ShownName(name));
      continue;
    }
    const std::string base = StripExtension(name);
    row.folder = temporary + kExtractPrefix + base + "\\";
    row.server_name = ReplaceAll(base, ".", "-", ReplaceForm::kFirstCharacter) + ".ZIP";
    if (!LiesBelow(program.platform, row.folder, temporary)) {
      NotExtracted(program, row,
                   "Cartella di estrazione fuori da " + temporary + ": " + name + " non estratto.");
      continue;
    }

    Status folder_made = CreateOneFolder(program.platform, row.folder);
    if (!folder_made.ok()) {
      NotExtracted(program, row,
                   "Impossibile creare la cartella " + row.folder + " (errore " +
                       std::to_string(folder_made.error) + "): " + name + " non estratto.");
      continue;
    }
    if (!WaitForArchive(program, name)) {
      NotExtracted(program, row, "Archivio " + name + " non inserito: non copiato sul server.");
      continue;
    }
    const ArchiveCheckReport check =
        CheckArchive(program.platform, {.archive = program.BackupPath + name});
    if (!check.whole()) {
      NotExtracted(
          program, row,
          "Archivio " + program.BackupPath + name + " non integro (" +
              (check.opened.ok() ? FindingText(check.findings.front()) : check.opened.detail) +
              "): non copiato sul server.");
      continue;
    }

    const ArchiveOutcome extracted =
        ExtractZipArchive(program, name, program.BackupPath, row.folder, program.ArchiverPath);
    if (extracted == ArchiveOutcome::kCancelled) {
      row.failure = "estrazione fermata";
      break;  // the copy ends as for STOP
    }
    if (extracted != ArchiveOutcome::kDone) {
      NotExtracted(program, row,
                   "Archivio " + program.BackupPath + name +
                       " non estratto per intero: non copiato sul server.");
    }
  }
  return result;
}

}  // namespace zr
