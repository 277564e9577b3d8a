// list [--server] [--customer NAME]: the archives of the backup destination
// (in it and in each customer folder) or, with --server, every archive
// filed under the selected product's server folder; newest first.
#include <cstdio>

#include "commands.h"
#include "json_text.h"
#include "progress.h"
#include "server/unit_archives.h"

namespace zr::cli {

int RunList(CommandContext& context) {
  const ReviewOptions& options = context.review;
  const bool server = options.server;
  const ListReport report = ListArchives(
      context.program, {server ? ArchivePlace::kServer : ArchivePlace::kUnit, options.customer});
  std::string out;
  if (options.json) {
    std::string& json = context.json_members;
    json = ",\"archives\":[";
    for (std::size_t i = 0; i < report.archives.size(); ++i) {
      const ListedArchive& a = report.archives[i];
      const std::string date = DateText(a.date);
      json += std::string(i == 0 ? "" : ",") + "{" +
              PathJson("archive", a.path, context.program.platform) + ",\"name\":" + Json(a.name) +
              ",\"customer\":" + Json(a.customer) +
              ",\"date\":" + (date.empty() ? "null" : Json(date)) +
              ",\"size\":" + std::to_string(a.size) +
              ",\"entries\":" + (a.readable ? std::to_string(a.entries) : "null");
      if (server) {
        json += ",\"product\":" + Json(a.product) +
                ",\"post_processor\":" + Json(a.post_processor) + ",\"machine\":" + Json(a.machine);
      }
      json += "}";
    }
    json += "]";
  } else {
    for (const ListedArchive& a : report.archives) {
      const std::string date = DateText(a.date);
      out += (date.empty() ? std::string("----------") : date) + "  " + a.path + "  " + a.customer +
             "  " + BytesText(a.size) + "  " +
             (a.readable ? std::to_string(a.entries) + " entries" : "unreadable");
      if (server) out += "  " + a.product + "/" + a.post_processor + "/" + a.machine;
      out += "\n";
    }
    if (report.archives.empty()) out = "no archives\n";
  }
  std::fputs(out.c_str(), context.out);
  return kDone;
}

}  // namespace zr::cli
