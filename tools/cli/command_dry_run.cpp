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
  Platform& platform = program.platform;
  if (!report.refused.empty()) {
    context.outcome = RunOutcome::kRefused;
    context.reason = report.refused;
  } else if (!ok) {
    context.outcome = RunOutcome::kFailed;
    if (report.not_copied > 0) {
      context.reason = std::to_string(report.not_copied) +
                       (report.not_copied == 1 ? " file non copiabile" : " file non copiabili");
    }
    if (!report.fits()) {
      context.reason += (context.reason.empty() ? "" : "; ") +
                        std::string("spazio insufficiente nella destinazione: servono ") +
                        BytesText(report.needed()) + ", liberi " + BytesText(report.free_bytes);
    }
  }
  std::string out;
  if (context.review.json) {
    std::string& json = context.json_members;
    json = ",\"refused\":" + (report.refused.empty() ? std::string("null") : Json(report.refused)) +
           "," + PathJson("customer_folder", report.customer_folder, platform) + ",\"files\":[";
    for (std::size_t i = 0; i < report.files.size(); ++i) {
      const DryRunFile& file = report.files[i];
      json += std::string(i == 0 ? "" : ",") + "{" + PathJson("source", file.source, platform) +
              "," + PathJson("copy", file.copy, platform) +
              ",\"size\":" + std::to_string(file.size) + "}";
    }
    json += "],\"not_copied\":" + std::to_string(report.not_copied) +
            ",\"copy_bytes\":" + std::to_string(report.copy_bytes) +
            ",\"archive_bytes_at_most\":" + std::to_string(report.archive_bytes) +
            ",\"needed_bytes\":" + std::to_string(report.needed()) +
            ",\"free_bytes\":" + (report.free_known ? std::to_string(report.free_bytes) : "null") +
            ",\"fits\":" + (report.fits() ? "true" : "false");
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
