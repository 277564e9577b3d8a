#include "app/operation_report.h"

#include <cstdio>

namespace zr {

const char* OutcomeWord(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kCompleted:
      return "completed";
    case RunOutcome::kIncomplete:
      return "incomplete";
    case RunOutcome::kFailed:
      return "failed";
    case RunOutcome::kCancelled:
      return "cancelled";
    case RunOutcome::kRefused:
      return "refused";
  }
  return "failed";
}

namespace {

const char* FileWord(FileOutcome outcome, Operation operation) {
  switch (outcome) {
    case FileOutcome::kDone:
      return DoneWord(operation);
    case FileOutcome::kArchiveOnly:
      return "archive_only";
    case FileOutcome::kFailed:
      return "failed";
    case FileOutcome::kSkipped:
      return "skipped";
    case FileOutcome::kKept:
      return "kept";
  }
  return "failed";
}

std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + (count == 1 ? one : many);
}

// Server copy: the copies that failed and the archives not filed, told apart.
std::string ServerErrors(const OperationReport& report) {
  int copies = 0, archives = 0;
  for (const FileRecord& file : report.files) {
    if (file.outcome != FileOutcome::kFailed) continue;
    (file.whole_archive ? archives : copies) += 1;
  }
  std::string text = "Copia terminata con errori: ";
  if (copies > 0) text += Counted(copies, " copia non riuscita", " copie non riuscite");
  if (archives > 0) {
    if (copies > 0) text += ", ";
    text += Counted(archives, " archivio non copiato", " archivi non copiati");
  }
  return text + ".";
}

}  // namespace

int OperationReport::Count(FileOutcome wanted) const {
  int count = 0;
  for (const FileRecord& file : files) count += file.outcome == wanted ? 1 : 0;
  return count;
}

std::uint64_t OperationReport::Bytes() const {
  std::uint64_t bytes = 0;
  for (const FileRecord& file : files) bytes += file.bytes;
  return bytes;
}

RunOutcome OutcomeOfFiles(const OperationReport& report) {
  return report.NotHandled() == 0 ? RunOutcome::kCompleted : RunOutcome::kIncomplete;
}

std::string ClosingText(const OperationReport& report) {
  const RunOutcome outcome = report.outcome;
  // A server copy of a unit without archives closes as a stopped one does,
  // after the unit's own box; its reason says what happened.
  if (outcome == RunOutcome::kRefused) {
    return report.operation == Operation::kServerCopy ? "Copia Bloccata dall'utente" : "";
  }
  const int missing = report.NotHandled();
  switch (report.operation) {
    case Operation::kBackup:
      // A stop has its red line; a failure before the copy has its own box.
      if (outcome == RunOutcome::kCancelled || !report.collected) return {};
      if (missing == 0) return "Copia eseguita";
      return "Copia non completata: " + Counted(missing, " file non copiato", " file non copiati");
    case Operation::kServerCopy:
      if (outcome == RunOutcome::kFailed && !report.reason.empty()) {
        return "Copia non eseguita: " + report.reason + ".";
      }
      if (outcome == RunOutcome::kCancelled || outcome == RunOutcome::kFailed) {
        return "Copia Bloccata dall'utente";
      }
      return missing == 0 ? "Copia Eseguita" : ServerErrors(report);
    case Operation::kErase:
      return outcome == RunOutcome::kCompleted ? "Cancellazione Eseguita"
                                               : "Cancellazione non completata";
  }
  return {};
}

std::string ArchiveClosingText(const OperationReport& report) {
  if (report.operation != Operation::kBackup) return {};
  if (report.outcome == RunOutcome::kCancelled || report.outcome == RunOutcome::kRefused) return {};
  return report.archive.path.empty() || !report.archive.whole ? std::string() : "Zip eseguito";
}

namespace {

// The hidden or system files and folders kept, comma-separated.
std::string KeptPlaces(const OperationReport& report) {
  std::string places;
  for (const FileRecord& file : report.files) {
    if (file.outcome == FileOutcome::kKept) places += (places.empty() ? "" : ", ") + file.path;
  }
  return places;
}

}  // namespace

std::string KeptFilesLine(const OperationReport& report) {
  const std::string places = KeptPlaces(report);
  if (places.empty()) return places;
  return Counted(report.Count(FileOutcome::kKept), " file nascosto o di sistema lasciato: ",
                 " file nascosti o di sistema lasciati: ") +
         places;
}

std::string FailureText(const OperationReport& report) {
  switch (report.outcome) {
    case RunOutcome::kCompleted:
      return {};
    case RunOutcome::kCancelled:
      return "operazione interrotta";
    case RunOutcome::kIncomplete:
      return report.operation == Operation::kErase
                 ? "Cancellazione non completata: " +
                       Counted(report.NotHandled(), " file non cancellato", " file non cancellati")
                 : ClosingText(report);
    default:
      break;
  }
  if (!report.reason.empty()) return report.reason;
  const std::string closing = ClosingText(report);
  return closing.empty() ? "operazione non eseguita" : closing;
}

int ExitCode(const OperationReport& report) {
  switch (report.outcome) {
    case RunOutcome::kCompleted:
      return 0;
    case RunOutcome::kCancelled:
      return report.cancel == CancelCause::kTerminate ? 143 : 130;
    default:
      return 1;
  }
}

const char* DoneWord(Operation operation) {
  switch (operation) {
    case Operation::kErase:
      return "erased";
    case Operation::kServerCopy:
      return "filed";
    case Operation::kBackup:
      break;
  }
  return "copied";
}

std::string BytesText(std::uint64_t bytes) {
  const char* units[] = {"B", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
  } else {
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  }
  return text;
}

std::string SummaryText(const OperationReport& report) {
  const bool backup = report.operation == Operation::kBackup;
  std::string text = "Files " + std::string(DoneWord(report.operation)) + ": " +
                     std::to_string(report.Count(FileOutcome::kDone)) + " (" +
                     BytesText(report.Bytes()) + ")\n";
  if (backup) {
    text += "Files entered in the archive only: " +
            std::to_string(report.Count(FileOutcome::kArchiveOnly)) + "\n";
  }
  text += "Files failed: " + std::to_string(report.NotHandled()) + "\n";
  for (const FileRecord& file : report.files) {
    if (file.outcome == FileOutcome::kFailed) text += "  " + file.path + ": " + file.reason + "\n";
  }
  if (const int skipped = report.Count(FileOutcome::kSkipped); skipped > 0) {
    text += "Files skipped: " + std::to_string(skipped) + "\n";
  }
  if (const int kept = report.Count(FileOutcome::kKept); kept > 0) {
    text += "Files kept (hidden or system): " + std::to_string(kept) + "\n";
    for (const FileRecord& file : report.files) {
      if (file.outcome == FileOutcome::kKept) text += "  " + file.path + "\n";
    }
  }
  if (backup) {
    text += "Archive: " +
            (report.archive.path.empty()
                 ? std::string("none")
                 : report.archive.path + " (" + BytesText(report.archive.bytes) + ", " +
                       std::to_string(report.archive.entries) + " entries)") +
            "\n";
  }
  text += "Outcome: " + std::string(OutcomeWord(report.outcome));
  if (!report.reason.empty()) text += " (" + report.reason + ")";
  return text + "\n";
}

std::string JsonString(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      result += '\\';
      result += c;
    } else if (code < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
      result += escaped;
    } else {
      result += c;
    }
  }
  return result + "\"";
}

std::string JsonPathMembers(const std::string& key, const std::string& windows,
                            const std::function<std::string(const std::string&)>& host_path) {
  if (windows.empty()) return "\"" + key + "\":null,\"" + key + "_host\":null";
  const std::string host = host_path(windows);
  return "\"" + key + "\":" + JsonString(windows) + ",\"" + key +
         "_host\":" + (host.empty() ? "null" : JsonString(host));
}

std::string ReportJsonMembers(const OperationReport& report,
                              const std::function<std::string(const std::string&)>& host_path) {
  const auto path = [&](const char* key, const std::string& windows) {
    return JsonPathMembers(key, windows, host_path);
  };
  std::string json =
      "\"outcome\":" + JsonString(OutcomeWord(report.outcome)) +
      ",\"reason\":" + (report.reason.empty() ? "null" : JsonString(report.reason)) +
      ",\"files_known\":" + std::to_string(report.known) + ",\"files_" +
      DoneWord(report.operation) + "\":" + std::to_string(report.Count(FileOutcome::kDone)) +
      ",\"files_archive_only\":" + std::to_string(report.Count(FileOutcome::kArchiveOnly)) +
      ",\"files_failed\":" + std::to_string(report.NotHandled()) +
      ",\"files_skipped\":" + std::to_string(report.Count(FileOutcome::kSkipped)) +
      ",\"files_kept\":" + std::to_string(report.Count(FileOutcome::kKept)) +
      ",\"bytes\":" + std::to_string(report.Bytes()) + "," + path("archive", report.archive.path) +
      ",\"archive_bytes\":" + std::to_string(report.archive.bytes) +
      ",\"archive_entries\":" + std::to_string(report.archive.entries) + "," +
      path("folder", report.folder) + ",\"files\":[";
  bool first = true;
  for (const FileRecord& file : report.files) {
    json += std::string(first ? "" : ",") + "{" + path("path", file.path) +
            ",\"outcome\":" + JsonString(FileWord(file.outcome, report.operation)) +
            (file.reason.empty() ? "" : ",\"reason\":" + JsonString(file.reason)) +
            ",\"bytes\":" + std::to_string(file.bytes) + "}";
    first = false;
  }
  return json + "]";
}

}  // namespace zr
