// restore ARCHIVE --to FOLDER [--only PATTERN]: the archive's entries
// brought back below FOLDER, byte for byte; what could not be is named.
#include <cstdio>

#include "commands.h"
#include "json_text.h"
#include "server/archive_restore.h"
#include "server/unit_archives.h"

namespace zr::cli {

int RunRestore(CommandContext& context) {
  const ReviewOptions& options = context.review;
  Platform& platform = context.program.platform;
  const std::string archive = ResolveArchive(context.program, options.archives.at(0));
  const RestoreReport report =
      RestoreArchive(context.program, {archive, options.to, options.only});
  const int code = report.complete() ? kDone : kNotDone;
  if (!report.refused.empty()) {
    context.outcome = RunOutcome::kRefused;
    context.reason = report.refused;
  } else if (!report.skipped.empty()) {
    context.outcome = RunOutcome::kIncomplete;
    const std::size_t skipped = report.skipped.size();
    context.reason = std::to_string(skipped) +
                     (skipped == 1 ? " voce non ripristinata" : " voci non ripristinate");
  }
  std::string out;
  if (options.json) {
    std::string& json = context.json_members;
    json = "," + PathJson("archive", archive, platform) + "," +
           PathJson("to", options.to, platform) +
           ",\"refused\":" + (report.refused.empty() ? "null" : Json(report.refused));
    // Each restored file, and in the same order its host form.
    std::string restored, hosts;
    for (std::size_t i = 0; i < report.restored.size(); ++i) {
      const std::string host = HostPathOf(platform, report.restored[i]);
      restored += (i == 0 ? "" : ",") + Json(report.restored[i]);
      hosts += (i == 0 ? "" : ",") + (host.empty() ? std::string("null") : Json(host));
    }
    json += ",\"restored\":[" + restored + "],\"restored_host\":[" + hosts + "],\"skipped\":[";
    for (std::size_t i = 0; i < report.skipped.size(); ++i) {
      json += std::string(i == 0 ? "" : ",") + "{\"entry\":" + Json(report.skipped[i].first) +
              ",\"why\":" + Json(report.skipped[i].second) + "}";
    }
    json += "],\"bytes\":" + std::to_string(report.bytes);
  } else if (report.refused.empty()) {
    for (const std::string& file : report.restored) out += "restored " + file + "\n";
    for (const auto& [entry, why] : report.skipped) out += "SKIPPED  " + entry + ": " + why + "\n";
    out += std::to_string(report.restored.size()) + " files restored, " +
           std::to_string(report.skipped.size()) + " not\n";
  }
  std::fputs(out.c_str(), context.out);
  return code;
}

}  // namespace zr::cli
