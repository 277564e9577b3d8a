// What one operation did, and every claim made about it.
//
// The customer backup, the server copy and the erase each fill one
// OperationReport as they work: every file with its outcome (and the reason
// when it was not handled), the bytes written, the archive made, and the
// outcome of the whole. Whatever is said afterwards about the run is a
// function of that report, and these functions are the only ones that say
// it: the closing boxes ("Copia eseguita", "Zip eseguito", "Copia Eseguita",
// "Cancellazione Eseguita" and their failures), the console's summary, its
// JSON document and its exit code. Nothing else announces a success.
#ifndef ZARIREVO_APP_OPERATION_REPORT_H_
#define ZARIREVO_APP_OPERATION_REPORT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zr {

enum class Operation { kBackup, kServerCopy, kErase };

/// What became of one file.
enum class FileOutcome {
  kDone,         // copied (backup), filed on the server, or erased
  kArchiveOnly,  // entered in the archive list only, not copied
  kFailed,       // meant to be handled and not handled: `reason` says why
  kSkipped,      // left out on purpose: `reason` says why
  kKept,         // erase: a hidden or system file or folder left on the unit on purpose
};

struct FileRecord {
  std::string path;  // Windows form
  FileOutcome outcome = FileOutcome::kDone;
  std::string reason;  // Italian, for kFailed and kSkipped
  std::uint64_t bytes = 0;
  bool whole_archive = false;  // server copy: an archive of the unit, not one copy of it
};

/// How the whole run ended.
enum class RunOutcome {
  kCompleted,   // everything asked for was done
  kIncomplete,  // it went to its end, but some files were not handled
  kFailed,      // it could not do what it was for (archive not made, nothing to file)
  kCancelled,   // STOP, ESCI, the close box, a signal or a closed output pipe
  kRefused,     // nothing was started: `reason` says why
};

/// Why a run was cancelled, for the console's exit code.
enum class CancelCause { kNone, kUser, kInterrupt, kTerminate, kHangUp, kClosedOutput };

struct ArchiveRecord {
  std::string path;  // Windows form; "" when no archive was made
  std::uint64_t bytes = 0;
  int entries = 0;
  bool whole = true;  // read back whole with every listed file; else kept, not announced
};

struct OperationReport {
  Operation operation = Operation::kBackup;
  RunOutcome outcome = RunOutcome::kCompleted;
  std::string reason;  // for kRefused and kFailed
  CancelCause cancel = CancelCause::kNone;
  std::vector<FileRecord> files;
  int known = 0;                // files the listings found (a cancelled run handles fewer)
  bool archive_wanted = false;  // backup: the compression mode asks for an archive
  bool collected = false;       // backup: the copy went to its end (its closing box is due)
  /// backup: the customer name is used up at the destination (its folder was
  /// there already, or this run made it); the window asks for another name.
  bool customer_taken = false;
  ArchiveRecord archive;
  /// The folder the run worked on: the customer folder, the backup unit.
  std::string folder;

  int Count(FileOutcome outcome) const;
  std::uint64_t Bytes() const;
  /// Files meant to be handled and not handled (failed, plus what a
  /// cancellation left out).
  int NotHandled() const { return Count(FileOutcome::kFailed); }
};

/// A run's outcome from its files once it went to its end: kIncomplete when
/// a file failed.
RunOutcome OutcomeOfFiles(const OperationReport& report);

// The claims, each one function of the report.

/// The closing box of the copy part: backup "Copia eseguita" (or why not),
/// server copy "Copia Eseguita" (or why not), erase "Cancellazione Eseguita"
/// (or why not). "" when the run shows no closing box (refused: its refusal
/// box has been shown), but for a server copy refused for want of archives,
/// which closes with "Copia Bloccata dall'utente" after the unit's box.
std::string ClosingText(const OperationReport& report);
/// The backup's archive box: "Zip eseguito" only when an archive was made
/// (its path is set only then) and read back whole; "" otherwise, also when
/// none was asked for.
std::string ArchiveClosingText(const OperationReport& report);
/// The erase's line about the hidden or system files it kept on purpose,
/// counted and named; "" when none.
std::string KeptFilesLine(const OperationReport& report);
/// Why the run did not end as asked, for standard error; "" when completed.
std::string FailureText(const OperationReport& report);
/// The console's summary lines.
std::string SummaryText(const OperationReport& report);
/// The console's exit code: 0 completed, 1 not done or incomplete, 130
/// cancelled (143 by SIGTERM).
int ExitCode(const OperationReport& report);
/// The report as JSON members (no braces), for the console's one document;
/// every Windows path has its host form beside it through `host_path`.
std::string ReportJsonMembers(const OperationReport& report,
                              const std::function<std::string(const std::string&)>& host_path);

/// `"key":"C:\\X","key_host":"/host/x"`: a Windows path and its host form
/// through `host_path` (null when it has none; both null for "").
std::string JsonPathMembers(const std::string& key, const std::string& windows,
                            const std::function<std::string(const std::string&)>& host_path);

/// The word of a run's outcome: "completed", "incomplete", "failed", "cancelled", "refused".
const char* OutcomeWord(RunOutcome outcome);
/// The word of the done files: "copied", "filed", "erased".
const char* DoneWord(Operation operation);
/// A JSON string of `text` (UTF-8 passes; control characters escaped).
std::string JsonString(const std::string& text);
/// "1.2 MB", "512 B".
std::string BytesText(std::uint64_t bytes);

}  // namespace zr

#endif  // ZARIREVO_APP_OPERATION_REPORT_H_
