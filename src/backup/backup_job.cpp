// The customer backup, from the OK button to the archive.
//
// OkButtonClick checks the customer name, the destination and the folders,
// then RunBackupJob runs the collector of the selected product and packs the
// archive list into customer_ddmmyy.ZIP. A job that was stopped or whose
// product has no collector leaves no customer folder behind; the temporary
// folder with the archive list goes in every case. A file that could not be
// copied does not stop the job: the rest is copied and archived, and the
// closing says how many files are missing. Success is announced only for
// what really happened: "Zip eseguito" in the archive modes means the
// archive is in its destination.
#include "backup/backup_job.h"

#include <cstdio>

#include "app/message_area.h"
#include "archive/archive_commands.h"
#include "backup/collectors.h"
#include "backup/file_operations.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

void ShowBox(Program& program, const std::string& text, const std::string& title = {}) {
  MessageBoxRequest box;
  box.text = text;
  box.title = title;
  box.buttons = Buttons::kOk;
  program.ui.ShowMessageBox(box);
}

// Why a customer name cannot name a folder, or "" when it can. The name is
// refused before anything is created: a folder name the file system would
// reduce to nothing (or to the parent) would make the job work on, and after
// a stop delete, the backup destination itself.
std::string WhyNameIsRefused(const std::string& name) {
  const std::string trimmed = TrimBlanks(name);
  if (trimmed.empty()) return "il nome è vuoto.";
  if (trimmed.find_first_not_of(". ") == std::string::npos) {
    return "il nome non può essere fatto solo di punti.";
  }
  for (char c : name) {
    if (IsControlCharacter(c)) return "il nome contiene un carattere di controllo.";
  }
  for (char c : name) {
    if (IsForbiddenInName(c)) {
      return std::string("il nome contiene il carattere ") + c +
             ", non ammesso nei nomi di cartella (\\ / : * ? \" < > |).";
    }
  }
  return {};
}

// Today's date written ddmmyy.
std::string DateDdMmYy(const Program& program) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d", program.today_day % 100,
                program.today_month % 100, program.today_year % 100);
  return text;
}

void SetBackground(Program& program, Color background) {
  program.main.MessageBackground = background;
  program.ui.SetMessageBackground(background);
}

// Reports, with an alarm line and a box, an archive that was not made.
void ReportArchiveNotMade(Program& program, const std::string& archive, const std::string& why) {
  WriteMessageLine(program, "Archivio " + archive + " non creato: " + why, true, program.ColorStop,
                   false);
  ShowBox(program, "L'archivio\r" + archive + "\rnon è stato creato: " + why, "Zip non eseguito");
}

// Makes the archive into the customer folder or the destination and tells
// whether it is really there.
bool MakeArchive(Program& program, const BackupSelection& selection) {
  const std::string folder = selection.zip_mode == ZipTarget::kCustomerFolder
                                 ? program.CustomerFolder
                                 : selection.destination;
  const std::string archiver = program.ArchiverPath;
  const ZipResult zip =
      CreateZipArchive(program, TrimBlanks(selection.customer) + "_" + DateDdMmYy(program), folder,
                       program.ArchiveListFile(), true, archiver);
  const std::string archive = folder + zip.name + ".ZIP";
  switch (zip.outcome) {
    case ArchiveOutcome::kArchiverNotFound:
      ReportArchiveNotMade(program, archive, "il programma PkZip25 non è stato trovato.");
      return false;
    case ArchiveOutcome::kFailed:
      ReportArchiveNotMade(program, archive,
                           "il programma di compressione " + archiver +
                               " non è partito o è terminato con un errore.");
      return false;
    case ArchiveOutcome::kDone:
      break;
    case ArchiveOutcome::kNotWritten:
      ReportArchiveNotMade(program, archive,
                           "il programma di compressione è terminato senza errori, ma il file "
                           "non si trova nella destinazione.");
      return false;
  }
  if (!FileExists(program.platform, archive)) {
    ReportArchiveNotMade(program, archive,
                         "il programma di compressione è terminato senza errori, ma il file "
                         "non si trova nella destinazione.");
    return false;
  }
  program.ArchiveMade = archive;
  return true;
}

}  // namespace

JobResult OkButtonClick(Program& program, BackupSelection selection) {
  const std::string why = WhyNameIsRefused(selection.customer);
  if (!why.empty()) {
    ShowBox(program, "Nome cliente non valido: " + why + "\rDigitarne un'altro.", "Nome cliente");
    return JobResult::kNotStarted;
  }

  program.BackupRunning = true;
  program.main.StopB.enabled = true;
  program.ui.StateChanged();

  // The destination is tested; an unready drive is asked for (Cancel ends the
  // program). The answer is not needed: the folders below are checked again.
  program.BackupPath = CompleteDrive(program.BackupPath);
  MakePath(program, program.BackupPath, PathCheck::kAsk, false);

  // The temporary folder is deleted at the end of every job: a destination
  // in it would lose the copies and the archive just made. Refused before
  // anything is created. (A customer folder that is the temporary folder or
  // holds it exists already and is refused below as such.)
  const Placement destination =
      PlaceOf(program.platform, program.BackupPath, program.TemporaryFolder());
  if (destination == Placement::kSame || destination == Placement::kBelow) {
    ShowBox(program,
            "La destinazione " + program.BackupPath + " è nella cartella temporanea " +
                program.TemporaryFolder() + ", cancellata alla fine di ogni copia.\r" +
                "Sceglierne un'altra.",
            "Folder Error");
    program.BackupRunning = false;
    program.main.StopB.enabled = false;
    program.ui.StateChanged();
    return JobResult::kNotStarted;
  }

  if (!MakePath(program, program.TemporaryFolder(), PathCheck::kQuiet, false)) {
    const Status made = program.platform.CreateFolder(program.TemporaryFolder());
    if (!made.ok()) {
      // Without it the archive list cannot be written: nothing is started.
      WriteMessageLine(program, "Cartella temporanea " + program.TemporaryFolder() + " non creata",
                       true, program.ColorStop, false);
      ShowErrorBox(program, made.error, 0, ErrorBoxButtons::kOkOnly, program.TemporaryFolder(), "");
      program.BackupRunning = false;
      program.main.StopB.enabled = false;
      program.ui.StateChanged();
      return JobResult::kFailed;
    }
  }

  selection.destination = program.BackupPath;  // as MakePath completed it
  program.CustomerFolder = selection.destination + selection.customer + "\\";
  JobResult result = JobResult::kNotStarted;
  program.CustomerFolder = CompleteDrive(program.CustomerFolder);
  if (!MakePath(program, program.CustomerFolder, PathCheck::kQuiet, false)) {
    const Status made = program.platform.CreateFolder(program.CustomerFolder);
    if (made.ok()) {
      result = RunBackupJob(program, selection);
    } else {
      // A read-only or vanished destination: nothing to collect into.
      WriteMessageLine(program, "Cartella " + program.CustomerFolder + " non creata", true,
                       program.ColorStop, false);
      ShowErrorBox(program, made.error, 0, ErrorBoxButtons::kOkOnly, program.CustomerFolder, "");
      DeleteFolderTree(program, program.TemporaryFolder());
      program.BackupRunning = false;
      result = JobResult::kFailed;
    }
  } else {
    ShowBox(
        program,
        "Nome cliente già esistente nel percorso " + program.BackupPath + "\rDigitarne un'altro.",
        "Folder Error");
    program.main.OK_B.enabled = false;
  }

  program.main.StopB.enabled = false;
  program.ui.StateChanged();
  return result;
}

JobResult NomeClienteKeyPress(Program& program, char key, const BackupSelection& selection) {
  if (key != 13) return JobResult::kNotStarted;
  return OkButtonClick(program, selection);
}

void NomeClienteChange(Program& program, const std::string& text) {
  program.main.NomeCliente = text;
  program.main.OK_B.enabled = !text.empty();
  program.ui.StateChanged();
}

void StopButtonClick(Program& program) {
  WriteMessageLine(program, "Copia fermata dall'utente", true, program.ColorStop, false);
  program.BackupRunning = false;
}

JobResult RunBackupJob(Program& program, const BackupSelection& selection) {
  program.FilesNotCopied = 0;
  program.ArchiveMade.clear();
  const std::string& product = program.SelectedSoftware;
  if (product == kProductNames[kDaxorOld]) {
    CollectDaxorFiles(program, selection);
  } else if (product == kProductNames[kDaxor2D]) {
    program.CnfFolder = program.ProductFolder;
    CollectDaxorFiles(program, selection);
  } else if (product == kProductNames[kTrelun]) {
    CollectTrelunFiles(program, selection);
  } else if (product == kProductNames[kPlovik]) {
    CollectPlovikFiles(program, selection);
  } else {
    ReportUnmanagedSoftware(program);
  }

  JobResult result = JobResult::kFailed;
  if (program.BackupRunning) {
    // Each file left out has had its alarm line; the closing counts them
    // and the red background stays.
    const int missing = program.FilesNotCopied;
    if (missing == 0) {
      ShowBox(program, "Copia eseguita");
      SetBackground(program, kBackgroundNormal);
    } else {
      const std::string closing = "Copia non completata: " + std::to_string(missing) +
                                  (missing == 1 ? " file non copiato" : " file non copiati");
      WriteMessageLine(program, closing, true, program.ColorStop, false);
      ShowBox(program, closing);
    }
    bool archived = true;
    if (selection.zip_mode == ZipTarget::kCustomerFolder ||
        selection.zip_mode == ZipTarget::kBackupPath) {
      archived = MakeArchive(program, selection);
    }
    if (archived) {
      ShowBox(program, "Zip eseguito");
      result = missing == 0 ? JobResult::kCompleted : JobResult::kIncomplete;
    }
    program.ui.ProcessPendingInput();
  } else {
    // Only a folder strictly below the destination is removed: never the
    // destination itself or anything above it, whatever a caller left in
    // CustomerFolder.
    if (LiesBelow(program.platform, program.CustomerFolder, selection.destination)) {
      DeleteFolderTree(program, program.CustomerFolder);
    }
    SetBackground(program, kBackgroundNormal);
  }

  DeleteFolderTree(program, program.TemporaryFolder());
  program.main.OK_B.enabled = false;
  program.ui.StateChanged();
  return result;
}

void ReportUnmanagedSoftware(Program& program) {
  ShowBox(program, "Software non gestito nel ZA-Rirevo");
  program.BackupRunning = false;
}

}  // namespace zr
