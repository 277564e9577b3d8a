#include "server/unit_archives.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>

#include "app/product_catalog.h"
#include "platform/windows_path.h"
#include "platform/zip_reading.h"
#include "text/strings.h"

namespace zr {

namespace {

constexpr int kServerDepth = 8;

std::vector<FolderEntry> Listed(Platform& platform, const std::string& pattern, ListKind kind) {
  std::vector<FolderEntry> entries;
  IgnoreStatus(platform.List(pattern, kind, &entries),
               "a folder that cannot be listed holds no archive");
  return entries;
}

void ZipsOf(Platform& platform, const std::string& folder, std::vector<std::string>* found) {
  for (const FolderEntry& entry : Listed(platform, folder + "*.ZIP", ListKind::kFilesOnly)) {
    if (!entry.is_folder()) found->push_back(folder + entry.name);
  }
}

// Each folder once by its real location (a link back up is not followed
// again), at most kServerDepth levels down.
void WalkServer(Platform& platform, const std::string& folder, int depth,
                std::set<std::string>* seen, std::vector<std::string>* found) {
  std::string real;
  if (!platform.RealLocation(folder, &real).ok() || !seen->insert(FoldCase(real)).second) return;
  ZipsOf(platform, folder, found);
  if (depth == 0) return;
  for (const FolderEntry& entry : Listed(platform, folder + "*", ListKind::kFilesAndFolders)) {
    if (entry.is_folder()) {
      WalkServer(platform, folder + entry.name + "\\", depth - 1, seen, found);
    }
  }
}

std::size_t SelectedRow(const Session& program) {
  const int row = ProductRow(program.SelectedSoftware);
  return static_cast<std::size_t>(row >= 0 ? row : ServerFallbackRow());
}

bool Digits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool Newer(const ListedArchive& a, const ListedArchive& b) {
  const auto key = [](const Date& d) { return d.year * 10000 + d.month * 100 + d.day; };
  if (key(a.date) != key(b.date)) return key(a.date) > key(b.date);
  return LessNoCase(a.path, b.path);
}

}  // namespace

std::vector<std::string> FindArchives(Session& program, ArchivePlace place) {
  Platform& platform = program.platform;
  std::vector<std::string> found;
  if (place == ArchivePlace::kUnit) {
    const std::string unit = SetTrailingBackslash(CompleteDrive(program.BackupPath), true);
    ZipsOf(platform, unit, &found);
    for (const FolderEntry& entry : Listed(platform, unit + "*", ListKind::kFilesAndFolders)) {
      if (entry.is_folder()) ZipsOf(platform, unit + entry.name + "\\", &found);
    }
  } else {
    const std::string& root = program.ProductTable[SelectedRow(program)].ServerFolder;
    if (!TrimBlanks(root).empty()) {
      std::set<std::string> seen;
      WalkServer(platform, SetTrailingBackslash(CompleteDrive(root), true), kServerDepth, &seen,
                 &found);
    }
  }
  std::sort(found.begin(), found.end(),
            [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
  return found;
}

ArchiveName ParseArchiveName(const std::string& file_name) {
  std::string stem = std::string(NameOfText(file_name));
  const std::size_t dot = stem.rfind('.');
  if (dot != std::string::npos) stem.resize(dot);
  ArchiveName result{stem, {}};
  std::string rest = stem;
  // A counter the server copy added: "_1", "_2", ...
  const std::size_t last = rest.rfind('_');
  if (last != std::string::npos && Digits(rest.substr(last + 1)) && rest.size() - last - 1 < 6) {
    rest.resize(last);
  }
  const std::size_t cut = rest.rfind('_');
  if (cut == std::string::npos || rest.size() - cut - 1 != 6 || !Digits(rest.substr(cut + 1))) {
    return result;
  }
  const std::string d = rest.substr(cut + 1);
  const Date date{2000 + std::stoi(d.substr(4, 2)), std::stoi(d.substr(2, 2)),
                  std::stoi(d.substr(0, 2))};
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return result;
  // Two-digit years: the program dates from the 1990s.
  result.date = date;
  if (result.date.year >= 2090) result.date.year -= 100;
  result.customer = rest.substr(0, cut);
  return result;
}

ListReport ListArchives(Session& program, const ListRequest& request) {
  ListReport report;
  const std::string root = SetTrailingBackslash(
      CompleteDrive(program.ProductTable[SelectedRow(program)].ServerFolder), true);
  for (const std::string& path : FindArchives(program, request.place)) {
    ListedArchive item;
    item.path = path;
    item.name = std::string(NameOfText(path));
    const ArchiveName parsed = ParseArchiveName(item.name);
    item.customer = parsed.customer;
    item.date = parsed.date;
    if (!request.customer.empty() && !EqualsNoCase(item.customer, request.customer)) continue;
    item.size = FileSize(program.platform, path);
    std::unique_ptr<ZipReading> reading;
    item.readable = ZipReading::Open(program.platform, path, &reading).ok();
    if (item.readable) item.entries = reading->entries().size();
    if (request.place == ArchivePlace::kServer) {
      item.product = program.SelectedSoftware;
      // root & post-processor & "\" & machine & "\" & name
      const std::string below = path.size() > root.size() ? path.substr(root.size()) : "";
      const std::size_t first = below.find('\\');
      const std::size_t second = first == std::string::npos ? first : below.find('\\', first + 1);
      if (second != std::string::npos) {
        item.post_processor = below.substr(0, first);
        item.machine = below.substr(first + 1, second - first - 1);
      }
    }
    report.archives.push_back(std::move(item));
  }
  std::stable_sort(report.archives.begin(), report.archives.end(), Newer);
  return report;
}

std::string UnreadableArchiveText(const std::string& archive, const Status& status) {
  const char* what = status.error == kErrFileNotFound       ? "file non trovato"
                     : status.error == kErrPathNotFound     ? "cartella non trovata"
                     : status.error == kErrPathFileAccess   ? "non è un file"
                     : status.error == kErrDeviceIo         ? "non è un archivio ZIP integro"
                     : status.error == kErrDiskNotReady     ? "unità non pronta"
                     : status.error == kErrPermissionDenied ? "accesso negato"
                                                            : "";
  return "archivio " + archive + " illeggibile (errore " + std::to_string(status.error) +
         (*what != '\0' ? std::string(": ") + what : std::string()) + ")";
}

bool VerifyReport::all_whole() const {
  return !archives.empty() && std::all_of(archives.begin(), archives.end(),
                                          [](const ArchiveCheckReport& r) { return r.whole(); });
}

std::string ResolveArchive(Session& program, const std::string& named) {
  if (named.find_first_of("\\/:") != std::string::npos) return named;
  const std::string unit = SetTrailingBackslash(CompleteDrive(program.BackupPath), true);
  const std::size_t dot = named.rfind('.');
  if (dot != std::string::npos && EqualsNoCase(named.substr(dot), ".ZIP")) return unit + named;
  const ListReport customer = ListArchives(program, {ArchivePlace::kUnit, named});
  return customer.archives.empty() ? unit + named : customer.archives.front().path;
}

VerifyReport VerifyArchives(Session& program, const VerifyRequest& request) {
  VerifyReport report;
  std::vector<std::string> paths = request.archives;
  for (std::string& path : paths) path = ResolveArchive(program, path);
  if (paths.empty()) paths = FindArchives(program, request.place);
  for (const std::string& path : paths) {
    report.archives.push_back(CheckArchive(program.platform, {.archive = path}));
  }
  return report;
}

}  // namespace zr
