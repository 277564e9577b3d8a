#include "archive/archive_check.h"

#include <memory>
#include <unordered_map>

#include "app/message_area.h"
#include "platform/text_file.h"
#include "platform/windows_path.h"
#include "platform/zip_reading.h"

namespace zr {

namespace {

// Alarm lines that name entries, before the rest is only counted.
constexpr std::size_t kNamedFindings = 20;

std::string StoredName(const WindowsPath& path) {
  std::string name;
  for (const std::string& part : path.parts) {
    if (!name.empty()) name += '/';
    name += part;
  }
  return name;
}

}  // namespace

ArchiveCheckReport CheckArchive(Platform& platform, const ArchiveCheckRequest& request) {
  ArchiveCheckReport report;
  report.archive = request.archive;
  std::unique_ptr<ZipReading> reading;
  report.opened = ZipReading::Open(platform, request.archive, &reading);
  if (!report.opened.ok()) return report;
  reading->StartCheck();
  std::vector<PackedFile> gathered;
  if (request.gather) {
    if (const std::string why = request.gather(&gathered); !why.empty()) {
      report.opened = Status::Error(kErrFileNotFound, why);
      return report;
    }
  }
  const std::vector<PackedFile>& packed = request.gather ? gathered : request.packed;

  // Packed files by folded name, and how many entries each has met.
  std::unordered_map<std::string, std::size_t> wanted;
  wanted.reserve(packed.size());
  for (std::size_t i = 0; i < packed.size(); ++i) {
    wanted[FoldCase(packed[i].name)] = i;
  }
  std::vector<int> met(packed.size(), 0);

  const std::vector<ZipEntry>& entries = reading->entries();
  const std::vector<Status> reads = reading->FinishCheck();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntry& entry = entries[i];
    if (entry.folder) continue;
    const Status& read = reads[i];
    if (!read.ok()) {
      report.findings.push_back({entry.name, EntryProblem::kDamaged, read.detail});
      continue;
    }
    ++report.files;
    report.bytes += entry.sum.size;
    const auto found = wanted.find(FoldCase(entry.name));
    if (found == wanted.end()) continue;
    const PackedFile& file = packed[found->second];
    if (++met[found->second] == 2) {
      report.findings.push_back({entry.name, EntryProblem::kTwice, {}});
    }
    if (entry.sum.size != file.sum.size) {
      report.findings.push_back(
          {entry.name, EntryProblem::kSizeDiffers,
           std::to_string(entry.sum.size) + " byte invece di " + std::to_string(file.sum.size)});
    } else if (entry.sum.crc32 != file.sum.crc32) {
      report.findings.push_back({entry.name, EntryProblem::kCrcDiffers, {}});
    }
  }
  for (std::size_t i = 0; i < packed.size(); ++i) {
    if (met[i] == 0) report.findings.push_back({packed[i].name, EntryProblem::kMissing, {}});
  }
  return report;
}

bool PackedFilesOfList(Platform& platform, const std::string& list_file,
                       std::vector<PackedFile>* packed, std::string* why,
                       const FileSums& known) {
  packed->clear();
  std::vector<std::string> lines;
  if (Status s = ReadTextLines(platform, list_file, &lines); !s.ok()) {
    *why = "elenco " + list_file + " illeggibile (errore " + std::to_string(s.error) + ")";
    return false;
  }
  const WindowsPath current = WindowsPath::Parse(platform.CurrentFolder()).value_or(WindowsPath{});
  std::unordered_map<std::string, std::size_t> seen;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    const std::optional<WindowsPath> path = WindowsPath::Parse(line, current);
    if (!path) continue;
    PackedFile file{StoredName(*path), {}};
    if (const FileSum* sum = known.Find(line)) {
      file.sum = *sum;
    } else if (Status s = platform.SumFile(line, &file.sum); !s.ok()) {
      *why = "file " + line + " illeggibile (errore " + std::to_string(s.error) + ")";
      return false;
    }
    // A file listed twice is stored once, as last read.
    const auto [place, added] = seen.emplace(FoldCase(file.name), packed->size());
    if (added) {
      packed->push_back(std::move(file));
    } else {
      (*packed)[place->second] = std::move(file);
    }
  }
  return true;
}

const char* ProblemName(EntryProblem problem) {
  switch (problem) {
    case EntryProblem::kMissing:
      return "missing";
    case EntryProblem::kTwice:
      return "twice";
    case EntryProblem::kSizeDiffers:
      return "size";
    case EntryProblem::kCrcDiffers:
      return "crc";
    case EntryProblem::kDamaged:
      return "damaged";
  }
  return "?";
}

std::string FindingText(const EntryFinding& finding) {
  switch (finding.problem) {
    case EntryProblem::kMissing:
      return finding.name + " manca nell'archivio";
    case EntryProblem::kTwice:
      return finding.name + " è nell'archivio più di una volta";
    case EntryProblem::kSizeDiffers:
      return finding.name + " ha una dimensione diversa dal file copiato (" + finding.detail + ")";
    case EntryProblem::kCrcDiffers:
      return finding.name + " ha un CRC-32 diverso dal file copiato";
    case EntryProblem::kDamaged:
      return finding.name + " è danneggiato (" + finding.detail + ")";
  }
  return finding.name;
}

bool VerifyBackupArchive(Session& program, const std::string& archive) {
  // Why the list or a listed file could not be read: then nothing is compared.
  std::string why;
  ArchiveCheckRequest request{.archive = archive};
  request.gather = [&](std::vector<PackedFile>* packed) {
    PackedFilesOfList(program.platform, program.ArchiveListFile(), packed, &why,
                      program.listed_sums);
    return why;
  };
  const ArchiveCheckReport report = CheckArchive(program.platform, request);
  if (why.empty() && !report.opened.ok()) {
    why = "archivio illeggibile (" + report.opened.detail + ")";
  }
  if (why.empty() && report.whole()) {
    // A plain line turns the background grey: an alarm of the copy stays red.
    const Color background = program.MessageBackground;
    WriteMessageLine(program, "Archivio verificato: " + std::to_string(report.files) + " file",
                     false, program.ColorGreen, false);
    if (background == kBackgroundAlarm) {
      program.MessageBackground = background;
      program.ui.SetMessageBackground(background);
    }
    return true;
  }
  if (!why.empty()) {
    WriteMessageLine(program, "Archivio " + archive + " non verificato: " + why, true,
                     program.ColorStop, false);
  }
  for (std::size_t i = 0; i < report.findings.size() && i < kNamedFindings; ++i) {
    WriteMessageLine(program, "Archivio " + archive + ": " + FindingText(report.findings[i]), true,
                     program.ColorStop, false);
  }
  if (report.findings.size() > kNamedFindings) {
    WriteMessageLine(
        program,
        "... e altre " + std::to_string(report.findings.size() - kNamedFindings) + " voci diverse",
        true, program.ColorStop, false);
  }
  const std::string kept = "L'archivio " + archive +
                           " è stato conservato così com'è, ma non è verificato: controllarlo "
                           "prima di usarlo per un ripristino.";
  WriteMessageLine(program, kept, true, program.ColorStop, false);
  MessageBoxRequest box;
  box.text = kept;
  box.title = "Zip non verificato";
  box.buttons = Buttons::kOk;
  program.ui.ShowMessageBox(box);
  return false;
}

}  // namespace zr
