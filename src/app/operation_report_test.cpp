// Every claim about a run, from its report: the closing boxes, the archive
// box, the exit code, the reason on standard error and the summary.
#include "app/operation_report.h"

#include <gtest/gtest.h>

namespace zr {
namespace {

FileRecord Done(const char* path) { return {path, FileOutcome::kDone, "", 10}; }
FileRecord Failed(const char* path) { return {path, FileOutcome::kFailed, "errore 61", 0}; }

OperationReport Report(Operation operation, RunOutcome outcome, std::vector<FileRecord> files) {
  OperationReport report;
  report.operation = operation;
  report.outcome = outcome;
  report.files = std::move(files);
  report.collected = true;
  return report;
}

TEST(OperationReportTest, EveryClaimIsAFunctionOfTheReport) {
  struct Row {
    const char* what;
    OperationReport report;
    const char* closing;
    const char* archive;
    int exit_code;
    const char* failure;
  };
  const auto backup = [](RunOutcome outcome, std::vector<FileRecord> files, bool wanted,
                         const char* archive) {
    OperationReport report = Report(Operation::kBackup, outcome, std::move(files));
    report.archive_wanted = wanted;
    report.archive.path = archive;
    return report;
  };
  OperationReport refused = backup(RunOutcome::kRefused, {}, true, "");
  refused.reason = "Nome cliente già esistente nel percorso A:\\";
  refused.collected = false;
  OperationReport not_started = backup(RunOutcome::kFailed, {}, true, "");
  not_started.reason = "cartella A:\\M\\ non creata (errore 70)";
  not_started.collected = false;
  OperationReport stopped = backup(RunOutcome::kCancelled, {Done("A")}, true, "");
  OperationReport terminated = stopped;
  terminated.cancel = CancelCause::kTerminate;
  OperationReport no_archive = backup(RunOutcome::kFailed, {Done("A")}, true, "");
  no_archive.reason = "archivio A:\\M.ZIP non creato";
  OperationReport server_failed = Report(Operation::kServerCopy, RunOutcome::kFailed, {});
  server_failed.reason = "cartella temporanea X non creata (errore 70)";
  OperationReport server_empty = Report(Operation::kServerCopy, RunOutcome::kRefused, {});
  server_empty.reason = "nessun archivio nell'unità di backup A:\\";
  OperationReport archives_not_filed = Report(Operation::kServerCopy, RunOutcome::kIncomplete,
                                              {Failed("C:\\S\\M_1.ZIP"), Failed("A:\\B.ZIP")});
  archives_not_filed.files[1].whole_archive = true;
  OperationReport kept = Report(Operation::kErase, RunOutcome::kCompleted,
                                {Done("A:\\X"), {"A:\\IO.SYS", FileOutcome::kKept, "", 0},
                                 {"A:\\BOOT\\MSDOS.SYS", FileOutcome::kKept, "", 0}});

  const Row rows[] = {
      {"backup whole", backup(RunOutcome::kCompleted, {Done("A")}, true, "A:\\M.ZIP"),
       "Copia eseguita", "Zip eseguito", 0, ""},
      {"no archive asked: no archive claimed",
       backup(RunOutcome::kCompleted, {Done("A")}, false, ""), "Copia eseguita", "", 0, ""},
      {"a file failed",
       backup(RunOutcome::kIncomplete, {Done("A"), Failed("B")}, true, "A:\\M.ZIP"),
       "Copia non completata: 1 file non copiato", "Zip eseguito", 1,
       "Copia non completata: 1 file non copiato"},
      {"archive not made", no_archive, "Copia eseguita", "", 1, "archivio A:\\M.ZIP non creato"},
      {"failed before the copy: its own box only", not_started, "", "", 1,
       "cartella A:\\M\\ non creata (errore 70)"},
      {"refused", refused, "", "", 1, "Nome cliente già esistente nel percorso A:\\"},
      {"stopped", stopped, "", "", 130, "operazione interrotta"},
      {"SIGTERM", terminated, "", "", 143, "operazione interrotta"},
      {"server whole", Report(Operation::kServerCopy, RunOutcome::kCompleted, {Done("S")}),
       "Copia Eseguita", "", 0, ""},
      {"server stopped", Report(Operation::kServerCopy, RunOutcome::kCancelled, {}),
       "Copia Bloccata dall'utente", "", 130, "operazione interrotta"},
      {"server: no archive", server_empty, "Copia Bloccata dall'utente", "", 1,
       "nessun archivio nell'unità di backup A:\\"},
      {"server could not start", server_failed,
       "Copia non eseguita: cartella temporanea X non creata (errore 70).", "", 1,
       "cartella temporanea X non creata (errore 70)"},
      {"server errors", archives_not_filed,
       "Copia terminata con errori: 1 copia non riuscita, 1 archivio non copiato.", "", 1,
       "Copia terminata con errori: 1 copia non riuscita, 1 archivio non copiato."},
      {"erase with kept files", kept, "Cancellazione Eseguita", "", 0, ""},
      {"erase incomplete", Report(Operation::kErase, RunOutcome::kIncomplete, {Failed("A:\\D\\")}),
       "Cancellazione non completata", "", 1,
       "Cancellazione non completata: 1 file non cancellato"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(ClosingText(row.report), row.closing);
    EXPECT_EQ(ArchiveClosingText(row.report), row.archive);
    EXPECT_EQ(ExitCode(row.report), row.exit_code);
    EXPECT_EQ(FailureText(row.report), row.failure);
  }
  EXPECT_EQ(KeptFilesLine(kept),
            "2 file nascosti o di sistema lasciati: A:\\IO.SYS, A:\\BOOT\\MSDOS.SYS");
  EXPECT_NE(SummaryText(kept).find(
                "Files kept (hidden or system): 2\n  A:\\IO.SYS\n  A:\\BOOT\\MSDOS.SYS\n"),
            std::string::npos);
}

// The summary and the JSON count every file by its outcome, list the failed
// ones with their reasons, and give each path its host form.
TEST(OperationReportTest, SummaryAndJsonCountEveryOutcome) {
  OperationReport report = Report(Operation::kBackup, RunOutcome::kIncomplete,
                                  {Done("C:\\P\\A.MAC"),
                                   {"C:\\P\\X.EXE", FileOutcome::kArchiveOnly, "", 0},
                                   Failed("C:\\P\\B")});
  report.known = 4;
  report.archive = {"A:\\M.ZIP", 2048, 2};
  EXPECT_EQ(SummaryText(report),
            "Files copied: 1 (10 B)\n"
            "Files entered in the archive only: 1\n"
            "Files failed: 1\n"
            "  C:\\P\\B: errore 61\n"
            "Archive: A:\\M.ZIP (2.0 KB, 2 entries)\n"
            "Outcome: incomplete\n");
  const std::string json =
      "{" +
      ReportJsonMembers(report, [](const std::string& path) { return "/h/" + path.substr(0, 1); }) +
      "}";
  for (const char* part :
       {"\"outcome\":\"incomplete\"", "\"files_known\":4", "\"files_copied\":1",
        "\"files_archive_only\":1", "\"files_failed\":1", "\"archive\":\"A:\\\\M.ZIP\"",
        "\"archive_host\":\"/h/A\"", "\"archive_entries\":2",
        "{\"path\":\"C:\\\\P\\\\B\",\"path_host\":\"/h/C\",\"outcome\":\"failed\",\"reason\":"
        "\"errore 61\",\"bytes\":0}"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
  }
}

}  // namespace
}  // namespace zr
