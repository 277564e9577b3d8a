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
  const RestoreReport report = RestoreArchive(
      context.program,
      {ResolveArchive(context.program, options.archives.at(0)), options.to, options.only});
  const int code = report.complete() ? kDone : kNotDone;
  // A refusal goes to standard error, also with --json.
  if (!report.refused.empty()) {
    std::fprintf(stderr, "za-rirevo-cli: %s\n", report.refused.c_str());
  }
  std::string out;
  if (options.json) {
    out = "{\"command\":\"restore\",\"exit_code\":" + std::to_string(code) +
          ",\"refused\":" + (report.refused.empty() ? "null" : Json(report.refused)) +
          ",\"restored\":[";
    for (std::size_t i = 0; i < report.restored.size(); ++i) {
      out += (i == 0 ? "" : ",") + Json(report.restored[i]);
    }
    out += "],\"skipped\":[";
    for (std::size_t i = 0; i < report.skipped.size(); ++i) {
      out += std::string(i == 0 ? "" : ",") + "{\"entry\":" + Json(report.skipped[i].first) +
             ",\"why\":" + Json(report.skipped[i].second) + "}";
    }
    out += "],\"bytes\":" + std::to_string(report.bytes) + "}\n";
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
