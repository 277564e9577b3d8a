#include "server/archive_diff.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "backup/dry_run.h"
#include "platform/windows_path.h"
#include "platform/zip_reading.h"
#include "server/unit_archives.h"

namespace zr {

namespace {

std::string StoredName(const std::string& path, const WindowsPath& current) {
  const std::optional<WindowsPath> parsed = WindowsPath::Parse(path, current);
  std::string name;
  if (!parsed) return name;
  for (const std::string& part : parsed->parts) name += (name.empty() ? "" : "/") + part;
  return name;
}

}  // namespace

const char* ChangeName(Change change) {
  switch (change) {
    case Change::kChanged:
      return "changed";
    case Change::kGone:
      return "gone";
    case Change::kNew:
      return "new";
  }
  return "?";
}

DiffReport DiffArchive(Session& program, const DiffRequest& request) {
  DiffReport report;
  Platform& platform = program.platform;
  std::unique_ptr<ZipReading> reading;
  if (Status s = ZipReading::Open(platform, request.archive, &reading); !s.ok()) {
    report.failure = UnreadableArchiveText(request.archive, s);
    return report;
  }
  const DryRunReport today = DryRunBackup(program, request.selection, true);
  if (!today.refused.empty()) {
    report.failure = "file di oggi non raccolti: " + today.refused;
    return report;
  }
  const WindowsPath current = WindowsPath::Parse(platform.CurrentFolder()).value_or(WindowsPath{});
  // Today's files by their name in an archive.
  std::unordered_map<std::string, std::string> taken;
  std::vector<std::string> order;
  for (const std::string& source : today.archive_list) {
    const std::string key = FoldCase(StoredName(source, current));
    if (taken.emplace(key, source).second) order.push_back(key);
  }
  const std::string drive = CompleteDrive(program.ProductFolder).substr(0, 2);

  for (const ZipEntry& entry : reading->entries()) {
    if (entry.folder || entry.link) continue;
    const std::string key = FoldCase(entry.name);
    std::string path;
    if (const auto found = taken.find(key); found != taken.end()) {
      path = found->second;
      taken.erase(found);
    } else {
      path = drive + "\\" + entry.name;
      std::replace(path.begin(), path.end(), '/', '\\');
    }
    ++report.compared;
    FileSum now;
    const Status summed = platform.SumFile(path, &now);
    if (summed.error == kErrFileNotFound || summed.error == kErrPathNotFound) {
      report.changes.push_back({path, Change::kGone, {}});
    } else if (!summed.ok()) {
      report.changes.push_back(
          {path, Change::kChanged, "illeggibile (errore " + std::to_string(summed.error) + ")"});
    } else if (now.size != entry.sum.size) {
      report.changes.push_back(
          {path, Change::kChanged,
           std::to_string(entry.sum.size) + " -> " + std::to_string(now.size) + " byte"});
    } else if (now.crc32 != entry.sum.crc32) {
      report.changes.push_back({path, Change::kChanged, "stessa dimensione, contenuto diverso"});
    }
  }
  for (const std::string& key : order) {
    if (const auto left = taken.find(key); left != taken.end()) {
      report.changes.push_back({left->second, Change::kNew, {}});
    }
  }
  return report;
}

}  // namespace zr
