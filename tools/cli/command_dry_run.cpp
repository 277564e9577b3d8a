// backup --dry-run CUSTOMER: what the backup would copy and archive, and
// whether it fits the destination, with nothing written anywhere.
#include <cstdio>

#include "backup/dry_run.h"
#include "commands.h"
#include "json_text.h"
#include "progress.h"
#include "text/strings.h"
#include "ui/base_form.h"

namespace zr::cli {

int RunDryRun(CommandContext& context) {
  Program& program = context.program;
  BackupSelection selection = CurrentBackupSelection(program);
  selection.customer = context.args.at(0);
  if (!context.to.empty()) selection.destination = SetTrailingBackslash(context.to, true);
  const DryRunReport report = DryRunBackup(program, selection);
  const bool ok = report.refused.empty() && report.not_copied == 0 && report.fits();
  const int code = ok ? kDone : kNotDone;
  // A refusal goes to standard error, also with --json.
  if (!report.refused.empty()) {
    std::fprintf(stderr, "za-rirevo-cli: backup --dry-run: %s\n", report.refused.c_str());
  }
  std::string out;
  if (context.review.json) {
    out = "{\"command\":\"backup --dry-run\",\"exit_code\":" + std::to_string(code) +
          ",\"refused\":" + (report.refused.empty() ? "null" : Json(report.refused)) +
          ",\"customer_folder\":" + Json(report.customer_folder) + ",\"files\":[";
    for (std::size_t i = 0; i < report.files.size(); ++i) {
      const DryRunFile& file = report.files[i];
      out += std::string(i == 0 ? "" : ",") + "{\"source\":" + Json(file.source) +
             ",\"copy\":" + (file.copy.empty() ? "null" : Json(file.copy)) +
             ",\"size\":" + std::to_string(file.size) + "}";
    }
    out += "],\"not_copied\":" + std::to_string(report.not_copied) +
           ",\"copy_bytes\":" + std::to_string(report.copy_bytes) +
           ",\"archive_bytes_at_most\":" + std::to_string(report.archive_bytes) +
           ",\"needed_bytes\":" + std::to_string(report.needed()) +
           ",\"free_bytes\":" + (report.free_known ? std::to_string(report.free_bytes) : "null") +
           ",\"fits\":" + (report.fits() ? "true" : "false") + "}\n";
  } else if (report.refused.empty()) {
    for (const DryRunFile& file : report.files) {
      out += (file.copy.empty() ? "archive " : "copy    ") + file.source + "  " +
             BytesText(file.size) + "\n";
    }
    out += std::to_string(report.files.size()) + " files: " + BytesText(report.copy_bytes) +
           " copied into " + report.customer_folder + ", archive at most " +
           BytesText(report.archive_bytes) + "\n";
    if (!report.free_known) {
      out += "free space of the destination unknown\n";
    } else if (report.fits()) {
      out += "fits: " + BytesText(report.needed()) + " needed, " + BytesText(report.free_bytes) +
             " free\n";
    } else {
      out += "DOES NOT FIT: " + BytesText(report.needed()) + " needed, only " +
             BytesText(report.free_bytes) + " free on the destination\n";
    }
    if (report.not_copied > 0) {
      out += std::to_string(report.not_copied) + " files could not be copied (see above)\n";
    }
  }
  std::fputs(out.c_str(), context.out);
  return code;
}

}  // namespace zr::cli
