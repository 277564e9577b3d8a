// diff ARCHIVE: what changed in the installation since the backup in
// ARCHIVE: changed, gone and new files (new: those the selected file items
// would take today that the archive lacks). Exit 0 when nothing changed, 1
// when something did, 2 on error, as diff does.
#include <cstdio>

#include "commands.h"
#include "json_text.h"
#include "server/archive_diff.h"
#include "server/unit_archives.h"
#include "ui/base_form.h"

namespace zr::cli {

int RunDiff(CommandContext& context) {
  const ReviewOptions& options = context.review;
  Platform& platform = context.program.platform;
  DiffRequest request{ResolveArchive(context.program, options.archives.at(0)),
                      CurrentBackupSelection(context.program)};
  request.selection.customer = ParseArchiveName(request.archive).customer;
  const DiffReport report = DiffArchive(context.program, request);
  const int code = !report.failure.empty()  ? kUsageError
                   : report.changes.empty() ? kDone
                                            : kNotDone;
  // Differences are what diff is for: only a comparison not made failed.
  if (!report.failure.empty()) {
    context.outcome = RunOutcome::kFailed;
    context.reason = report.failure;
  }
  std::string out;
  if (options.json) {
    std::string& json = context.json_members;
    json = "," + PathJson("archive", request.archive, platform) +
           ",\"error\":" + (report.failure.empty() ? "null" : Json(report.failure)) +
           ",\"compared\":" + std::to_string(report.compared) + ",\"changes\":[";
    for (std::size_t i = 0; i < report.changes.size(); ++i) {
      const DiffEntry& change = report.changes[i];
      json += std::string(i == 0 ? "" : ",") + "{" + PathJson("path", change.path, platform) +
              ",\"change\":" + Json(ChangeName(change.change)) +
              ",\"detail\":" + Json(change.detail) + "}";
    }
    json += "]";
  } else if (report.failure.empty()) {
    for (const DiffEntry& change : report.changes) {
      out += std::string(ChangeName(change.change)) +
             std::string(8 - std::string(ChangeName(change.change)).size(), ' ') + change.path +
             (change.detail.empty() ? "" : "  (" + change.detail + ")") + "\n";
    }
    out += std::to_string(report.compared) + " files compared, " +
           std::to_string(report.changes.size()) + " differences\n";
  }
  std::fputs(out.c_str(), context.out);
  return code;
}

}  // namespace zr::cli
