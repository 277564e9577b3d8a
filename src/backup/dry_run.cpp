#include "backup/dry_run.h"

#include <algorithm>
#include <unordered_map>

#include "backup/backup_job.h"
#include "backup/collectors.h"
#include "backup/file_operations.h"
#include "platform/overlay_platform.h"
#include "platform/text_file.h"
#include "platform/windows_path.h"
#include "text/strings.h"

namespace zr {

namespace {

// Room an archive needs beyond its files' bytes, per entry (its headers):
// deflate never stores more than the bytes and a few per block.
constexpr std::uint64_t kEntryOverhead = 128;

// The state of `from` in a program over another platform.
void CopyState(const Session& from, Session& to) {
  static_cast<ErrorMessages&>(to) = from;
  to.CnfFolder = from.CnfFolder;
  to.ProductTable = from.ProductTable;
  to.InstalledProducts = from.InstalledProducts;
  to.SelectedSoftware = from.SelectedSoftware;
  to.SystemFolder = from.SystemFolder;
  to.ArchiverPath = from.ArchiverPath;
  to.BackupPath = from.BackupPath;
  to.ProductFolder = from.ProductFolder;
  to.ProductSettingsFile = from.ProductSettingsFile;
  to.DaxorIniFiles = from.DaxorIniFiles;
  to.Language = from.Language;
  to.ZipMode = from.ZipMode;
  to.ColorBlue = from.ColorBlue;
  to.ColorGreen = from.ColorGreen;
  to.ColorCyan = from.ColorCyan;
  to.ColorRed = from.ColorRed;
  to.ColorMagenta = from.ColorMagenta;
  to.ColorGray = from.ColorGray;
  to.ColorLightGreen = from.ColorLightGreen;
  to.ColorLightRed = from.ColorLightRed;
  to.ColorLightYellow = from.ColorLightYellow;
  to.ColorBlack = from.ColorBlack;
  to.ColorStop = from.ColorStop;
  to.ColorLightCyan = from.ColorLightCyan;
  to.today_year = from.today_year;
  to.today_month = from.today_month;
  to.today_day = from.today_day;
}

}  // namespace

DryRunReport DryRunBackup(Session& program, const BackupSelection& selection, bool collect_only) {
  DryRunReport report;
  if (const std::string why = WhyCustomerNameIsRefused(selection.customer); !why.empty()) {
    report.refused = "Nome cliente non valido: " + why;
    return report;
  }
  OverlayPlatform overlay(program.platform);
  Session dry(overlay, program.ui);
  CopyState(program, dry);
  const std::string destination = SetTrailingBackslash(CompleteDrive(selection.destination), true);
  dry.BackupPath = destination;
  dry.CustomerFolder = CompleteDrive(destination + selection.customer + "\\");
  report.customer_folder = dry.CustomerFolder;
  if (!FolderExists(overlay, destination)) {
    report.refused = "la destinazione " + destination + " non esiste";
    return report;
  }
  if (!collect_only && FolderExists(overlay, dry.CustomerFolder)) {
    report.refused = "Nome cliente già esistente nel percorso " + destination;
    return report;
  }
  const std::string product = dry.SelectedSoftware;
  const Collector collect = CollectorOf(product);
  if (collect == nullptr) {
    report.refused = "Software non gestito nel ZA-Rirevo: " + product;
    return report;
  }
  if (!FolderExists(overlay, dry.TemporaryFolder())) {
    IgnoreStatus(overlay.CreateFolder(dry.TemporaryFolder()),
                 "a list that cannot be kept is empty");
  }
  IgnoreStatus(overlay.CreateFolder(dry.CustomerFolder), "only a collection may find it there");

  dry.run.Begin(Operation::kBackup, Stage::kCollecting);
  collect(dry, selection);
  CloseArchiveList(dry);
  report.not_copied = dry.run.report().NotHandled();
  dry.run.End();

  std::vector<std::string> lines;
  IgnoreStatus(ReadTextLines(overlay, dry.ArchiveListFile(), &lines),
               "no list: nothing for the archive");
  std::unordered_map<std::string, std::size_t> copied;
  for (const OverlayPlatform::Copy& copy : overlay.copies()) {
    copied[FoldCase(copy.from)] = report.files.size();
    report.files.push_back({copy.from, copy.to, copy.size});
    report.copy_bytes += copy.size;
  }
  const bool archive = selection.zip_mode == ZipTarget::kCustomerFolder ||
                       selection.zip_mode == ZipTarget::kBackupPath;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    report.archive_list.push_back(line);
    const auto found = copied.find(FoldCase(line));
    const std::uint64_t size =
        found != copied.end() ? report.files[found->second].size : FileSize(program.platform, line);
    if (found == copied.end()) report.files.push_back({line, "", size});
    if (archive) report.archive_bytes += size + kEntryOverhead;
  }
  report.free_known = program.platform.FreeSpace(destination, &report.free_bytes).ok();
  return report;
}

}  // namespace zr
