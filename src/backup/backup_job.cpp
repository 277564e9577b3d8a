// The customer backup, from the OK button to the archive.
//
// RunCustomerBackup checks the customer name, the destination and the
// folders, then RunBackupJob runs the collector of the selected product and packs the
// archive list into customer_ddmmyy.ZIP. A job that was stopped or whose
// product has no collector leaves no customer folder behind; the temporary
// folder with the archive list goes in every case. A file that could not be
// copied does not stop the job: the rest is copied and archived, and the
// closing says how many files are missing. Success is announced only for
// what really happened: "Zip eseguito" in the archive modes means the
// archive is in its destination and was read back whole, holding every
// listed file with the size and CRC-32 it had; an archive that differs is
// kept, named as such, and the job ends incomplete.
#include "backup/backup_job.h"

#include <cstdint>
#include <cstdio>

#include "app/message_area.h"
#include "archive/archive_check.h"
#include "archive/archive_commands.h"
#include "backup/collectors.h"
#include "backup/file_operations.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

void ShowBox(Session& program, const std::string& text, const std::string& title = {}) {
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
// Strict UTF-8: no stray continuation bytes, no overlong forms, no surrogates.
bool IsValidText(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string WhyNameIsRefused(const std::string& name) {
  if (!IsValidText(name)) return "il nome non è un testo valido (UTF-8).";
  const std::string trimmed = TrimBlanks(name);
  if (trimmed.empty()) return "il nome è vuoto.";
  if (trimmed.find_first_not_of(". ") == std::string::npos) {
    return "il nome non può essere fatto solo di punti.";
  }
  for (char c : name) {
    if (IsControlCharacter(c)) return "il nome contiene un carattere di controllo.";
  }
  // Windows drops a trailing dot or blank, and a device's name opens the
  // device: such a folder cannot be made on the unit.
  if (name.back() == '.' || name.back() == ' ') {
    return "il nome non può finire con un punto o uno spazio.";
  }
  if (IsDeviceName(name)) {
    return "il nome è riservato da Windows a un dispositivo (CON, PRN, AUX, NUL, "
           "COM1-COM9, LPT1-LPT9).";
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
std::string DateDdMmYy(const Session& program) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d", program.today_day % 100,
                program.today_month % 100, program.today_year % 100);
  return text;
}

void SetBackground(Session& program, Color background) {
  program.MessageBackground = background;
  program.ui.SetMessageBackground(background);
}

// Reports, with an alarm line and a box, an archive that was not made.
void ReportArchiveNotMade(Session& program, const std::string& archive, const std::string& why) {
  OperationReport& report = program.run.report();
  report.outcome = RunOutcome::kFailed;
  report.reason = "archivio " + archive + " non creato: " + why;
  WriteMessageLine(program, "Archivio " + archive + " non creato: " + why, true, program.ColorStop,
                   false);
  ShowBox(program, "L'archivio\r" + archive + "\rnon è stato creato: " + why, "Zip non eseguito");
}

// Makes the archive into the customer folder or the destination and tells
// whether it is really there.
bool MakeArchive(Session& program, const BackupSelection& selection) {
  const std::string folder = selection.zip_mode == ZipTarget::kCustomerFolder
                                 ? program.CustomerFolder
                                 : selection.destination;
  const std::string archiver = program.ArchiverPath;
  // The archiver reads the list whole: closed first, and never handed over
  // with a line missing.
  CloseArchiveList(program);
  if (const Status& failed = program.archive_list_failure; !failed.ok()) {
    ReportArchiveNotMade(program,
                         folder + TrimBlanks(selection.customer) + "_" + DateDdMmYy(program) + ".ZIP",
                         "l'elenco dei file " + program.ArchiveListFile() +
                             " non è stato scritto (errore " + std::to_string(failed.error) + ").");
    return false;
  }
  const ZipResult zip =
      CreateZipArchive(program, TrimBlanks(selection.customer) + "_" + DateDdMmYy(program), folder,
                       program.ArchiveListFile(), true, archiver);
  const std::string archive = folder + zip.name + ".ZIP";
  switch (zip.outcome) {
    case ArchiveOutcome::kCancelled:
      return false;  // stopped: the job removes the customer folder
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
  ArchiveRecord& made = program.run.report().archive;
  made.path = archive;
  made.bytes = FileSize(program.platform, archive);
  std::string list;
  if (program.platform.ReadFile(program.ArchiveListFile(), &list).ok()) {
    for (char c : list) made.entries += c == '\n' ? 1 : 0;
  }
  made.whole = VerifyBackupArchive(program, archive);
  if (!made.whole) {
    OperationReport& report = program.run.report();
    if (report.outcome == RunOutcome::kCompleted) report.outcome = RunOutcome::kIncomplete;
    report.reason = "archivio " + archive + " non verificato";
  }
  return true;
}

// Only a folder strictly below the destination is removed: never the
// destination itself or anything above it, whatever a caller left in
// CustomerFolder.
void RemoveCustomerFolder(Session& program, const BackupSelection& selection) {
  if (LiesBelow(program.platform, program.CustomerFolder, selection.destination)) {
    DeleteFolderTree(program, program.CustomerFolder);
  }
}

}  // namespace

namespace {

// The job's result as the window's commands take it.
JobResult ResultOf(const OperationReport& report) {
  switch (report.outcome) {
    case RunOutcome::kCompleted:
      return JobResult::kCompleted;
    case RunOutcome::kIncomplete:
      return JobResult::kIncomplete;
    case RunOutcome::kRefused:
      return JobResult::kNotStarted;
    default:
      return JobResult::kFailed;
  }
}

// Ends the run however the job leaves: the temporary folder goes (nothing of
// ours stays in the product folder, also after a refusal), STOP goes off.
class BackupRun {
 public:
  BackupRun(Session& program, const BackupSelection& selection) : program_(program) {
    program.run.Begin(Operation::kBackup, Stage::kCollecting);
    program.run.report().archive_wanted = selection.zip_mode == ZipTarget::kCustomerFolder ||
                                          selection.zip_mode == ZipTarget::kBackupPath;
  }
  BackupRun(const BackupRun&) = delete;
  BackupRun& operator=(const BackupRun&) = delete;
  ~BackupRun() {
    if (temporary_made_) {
      try {
        CloseArchiveList(program_);  // an open file would keep its folder
        DeleteFolderTree(program_, program_.TemporaryFolder());
      } catch (...) {
        // A leftover temporary folder is taken over by the next run.
      }
    }
    program_.run.End();
    program_.ui.StateChanged();
  }
  void TemporaryMade() { temporary_made_ = true; }
  JobResult Refuse(const std::string& why) {
    program_.run.report().outcome = RunOutcome::kRefused;
    program_.run.report().reason = why;
    return JobResult::kNotStarted;
  }
  JobResult Fail(const std::string& why) {
    program_.run.report().outcome = RunOutcome::kFailed;
    program_.run.report().reason = why;
    return JobResult::kFailed;
  }

 private:
  Session& program_;
  bool temporary_made_ = false;
};

}  // namespace

std::string WhyCustomerNameIsRefused(const std::string& name) { return WhyNameIsRefused(name); }

JobResult RunCustomerBackup(Session& program, BackupSelection selection) {
  // A refused name is told before the run begins: STOP stays off for it.
  const std::string why = WhyNameIsRefused(selection.customer);
  if (!why.empty()) {
    ShowBox(program, "Nome cliente non valido: " + why + "\rDigitarne un'altro.", "Nome cliente");
    return BackupRun(program, selection).Refuse("Nome cliente non valido: " + why);
  }
  BackupRun run(program, selection);
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
    const std::string refusal = "La destinazione " + program.BackupPath +
                                " è nella cartella temporanea " + program.TemporaryFolder() +
                                ", cancellata alla fine di ogni copia.";
    ShowBox(program, refusal + "\rSceglierne un'altra.", "Folder Error");
    return run.Refuse(refusal);
  }

  selection.destination = program.BackupPath;  // as MakePath completed it
  program.CustomerFolder = CompleteDrive(selection.destination + selection.customer + "\\");
  if (MakePath(program, program.CustomerFolder, PathCheck::kQuiet, false)) {
    ShowBox(
        program,
        "Nome cliente già esistente nel percorso " + program.BackupPath + "\rDigitarne un'altro.",
        "Folder Error");
    program.run.report().customer_taken = true;
    return run.Refuse("Nome cliente già esistente nel percorso " + program.BackupPath);
  }

  if (!MakePath(program, program.TemporaryFolder(), PathCheck::kQuiet, false)) {
    const Status made = program.platform.CreateFolder(program.TemporaryFolder());
    if (!made.ok()) {
      // Without it the archive list cannot be written: nothing is started.
      WriteMessageLine(program, "Cartella temporanea " + program.TemporaryFolder() + " non creata",
                       true, program.ColorStop, false);
      ShowErrorBox(program, made.error, 0, ErrorBoxButtons::kOkOnly, program.TemporaryFolder(), "");
      return run.Fail("cartella temporanea " + program.TemporaryFolder() + " non creata (errore " +
                      std::to_string(made.error) + ")");
    }
  }
  run.TemporaryMade();

  const Status made = program.platform.CreateFolder(program.CustomerFolder);
  if (!made.ok()) {
    // A read-only or vanished destination: nothing to collect into.
    WriteMessageLine(program, "Cartella " + program.CustomerFolder + " non creata", true,
                     program.ColorStop, false);
    ShowErrorBox(program, made.error, 0, ErrorBoxButtons::kOkOnly, program.CustomerFolder, "");
    return run.Fail("cartella " + program.CustomerFolder + " non creata (errore " +
                    std::to_string(made.error) + ")");
  }
  return RunBackupJob(program, selection);
}

JobResult RunBackupJob(Session& program, const BackupSelection& selection) {
  OperationReport& report = program.run.report();
  report.customer_taken = true;
  const std::string& product = program.SelectedSoftware;
  const Collector collect = CollectorOf(product);
  const bool managed = collect != nullptr;
  if (managed) {
    collect(program, selection);
  } else {
    ReportUnmanagedSoftware(program);
  }

  if (managed && !program.run.cancelled()) {
    report.collected = true;
    report.outcome = OutcomeOfFiles(report);
    // Each file left out has had its alarm line; the closing counts them
    // and the red background stays.
    const std::string closing = ClosingText(report);
    if (report.outcome == RunOutcome::kCompleted) {
      ShowBox(program, closing);
      SetBackground(program, kBackgroundNormal);
    } else {
      WriteMessageLine(program, closing, true, program.ColorStop, false);
      ShowBox(program, closing);
    }
    if (report.archive_wanted) {
      program.run.SetStage(Stage::kArchiving);
      MakeArchive(program, selection);
    }
    if (program.run.cancelled()) {
      // STOP during the archive step: the backup is stopped as during the copy.
      RemoveCustomerFolder(program, selection);
    } else if (const std::string zip = ArchiveClosingText(report); !zip.empty()) {
      ShowBox(program, zip);
    }
    program.ui.ProcessPendingInput();
  } else {
    if (!managed) {
      report.outcome = RunOutcome::kFailed;
      report.reason = "Software non gestito nel ZA-Rirevo";
    }
    RemoveCustomerFolder(program, selection);
    SetBackground(program, kBackgroundNormal);
  }

  CloseArchiveList(program);
  DeleteFolderTree(program, program.TemporaryFolder());
  program.ui.StateChanged();
  // A stop is known to the run; the result says so before the run ends.
  if (program.run.cancelled()) return JobResult::kFailed;
  return ResultOf(report);
}

void StopBackup(Session& program) {
  WriteMessageLine(program, "Copia fermata dall'utente", true, program.ColorStop, false);
  program.run.Cancel(CancelCause::kUser);
}

void ReportUnmanagedSoftware(Session& program) {
  ShowBox(program, "Software non gestito nel ZA-Rirevo");
}

}  // namespace zr
