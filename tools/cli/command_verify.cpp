// verify [ARCHIVE...]: every entry of each archive decompressed and its
// CRC-32 checked; the archives of the backup destination when none is
// named, with --server those filed under the selected product's server
// folder. Each damaged entry is named with its archive.
#include <cstdio>

#include "commands.h"
#include "json_text.h"
#include "server/unit_archives.h"

namespace zr::cli {

int RunVerify(CommandContext& context) {
  const ReviewOptions& options = context.review;
  Platform& platform = context.program.platform;
  const VerifyReport report = VerifyArchives(
      context.program,
      {options.archives, options.server ? ArchivePlace::kServer : ArchivePlace::kUnit});
  const int code = report.all_whole() ? kDone : kNotDone;
  // What is not whole is named (on standard error too, by main()).
  std::string bad;
  for (const ArchiveCheckReport& archive : report.archives) {
    if (!archive.whole()) bad += (bad.empty() ? "" : ", ") + archive.archive;
  }
  if (report.archives.empty()) {
    context.reason = "nessun archivio da verificare";
  } else if (!bad.empty()) {
    context.reason = "archivi non integri: " + bad;
  }
  context.outcome = context.reason.empty() ? RunOutcome::kCompleted : RunOutcome::kFailed;
  std::string out;
  if (options.json) {
    std::string& json = context.json_members;
    json = ",\"archives\":[";
    for (std::size_t i = 0; i < report.archives.size(); ++i) {
      const ArchiveCheckReport& archive = report.archives[i];
      json += std::string(i == 0 ? "" : ",") + "{" + PathJson("archive", archive.archive, platform) +
              ",\"whole\":" + (archive.whole() ? "true" : "false") +
              ",\"files\":" + std::to_string(archive.files) +
              ",\"bytes\":" + std::to_string(archive.bytes) + ",\"error\":" +
              (archive.opened.ok() ? "null"
                                   : Json(UnreadableArchiveText(archive.archive, archive.opened))) +
              ",\"bad\":[";
      for (std::size_t j = 0; j < archive.findings.size(); ++j) {
        const EntryFinding& finding = archive.findings[j];
        json += std::string(j == 0 ? "" : ",") + "{\"entry\":" + Json(finding.name) +
                ",\"problem\":" + Json(ProblemName(finding.problem)) +
                ",\"detail\":" + Json(finding.detail) + "}";
      }
      json += "]}";
    }
    json += "]";
  } else {
    if (report.archives.empty()) out = "no archive to verify\n";
    for (const ArchiveCheckReport& archive : report.archives) {
      if (!archive.opened.ok()) {
        out += "BAD   " + UnreadableArchiveText(archive.archive, archive.opened) + "\n";
      } else if (archive.whole()) {
        out += "OK    " + archive.archive + ": " + std::to_string(archive.files) + " files\n";
      } else {
        out += "BAD   " + archive.archive + ": " + std::to_string(archive.findings.size()) +
               " bad of " + std::to_string(archive.files + archive.findings.size()) + "\n";
        for (const EntryFinding& finding : archive.findings) {
          out += "      " + archive.archive + ": " + finding.name + ": " +
                 ProblemName(finding.problem) +
                 (finding.detail.empty() ? "" : " (" + finding.detail + ")") + "\n";
        }
      }
    }
  }
  std::fputs(out.c_str(), context.out);
  return code;
}

}  // namespace zr::cli
