#include "server/archive_restore.h"

#include <algorithm>
#include <memory>

#include "app/products.h"
#include "platform/windows_path.h"
#include "platform/zip_reading.h"
#include "server/server_copy.h"
#include "server/unit_archives.h"
#include "text/strings.h"

namespace zr {

namespace {

bool Matches(std::string_view pattern, std::string_view text) {
  // Iterative wildcard match with one back-tracking point.
  std::size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The components of an entry name, or "" with `why` when it may not be restored.
bool EntryComponents(const ZipEntry& entry, std::vector<std::string>* parts, std::string* why) {
  const std::string& name = entry.name;
  parts->clear();
  if (entry.link) return *why = "è un collegamento", false;
  if (name.empty()) return *why = "nome vuoto", false;
  if (name[0] == '/' || name[0] == '\\') return *why = "nome assoluto", false;
  if (name.find(':') != std::string::npos) return *why = "unità o ':' nel nome", false;
  std::string part;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != '/' && name[i] != '\\') {
      part += name[i];
      continue;
    }
    if (part == "..") return *why = "\"..\" nel nome", false;
    if (!part.empty() && part != ".") {
      const std::string clean = CleanComponent(part);
      if (!IsCreatableName(clean)) {
        return *why = "\"" + part + "\" non può essere un nome", false;
      }
      parts->push_back(clean);
    }
    part.clear();
  }
  if (parts->empty()) return *why = "nome senza file", false;
  return true;
}

// Why files may not be written at `path`, or "": it is, lies in or (with
// `holding`) holds a folder of the program or of the product.
std::string ProtectedPlace(Session& program, const std::string& path, bool holding = false) {
  const std::pair<std::string, const char*> places[] = {
      {program.ProductFolder, "l'installazione del prodotto"},
      {kProductListFolder, "la cartella dell'elenco dei prodotti"},
      {program.SystemFolder, "la cartella delle impostazioni"},
      {program.TemporaryFolder(), "la cartella temporanea del programma"},
      {CopyTemporaryFolder(program), "la cartella temporanea del programma"},
  };
  for (const auto& [folder, what] : places) {
    if (TrimBlanks(folder).empty()) continue;
    const Placement place = PlaceOf(program.platform, path, folder);
    if (place == Placement::kSame || place == Placement::kBelow) {
      return std::string(what) + " " + folder + " la contiene";
    }
    if (holding && place == Placement::kAbove) {
      return std::string(what) + " " + folder + " è al suo interno";
    }
  }
  return {};
}

}  // namespace

bool EntryMatches(const std::string& pattern, const std::string& name) {
  const bool whole = pattern.find('/') != std::string::npos;
  std::string_view text = name;
  if (!whole) {
    while (!text.empty() && text.back() == '/') text.remove_suffix(1);
    text = NameOfText(text, "/");
  }
  return Matches(FoldCase(pattern), FoldCase(text));
}

RestoreReport RestoreArchive(Session& program, const RestoreRequest& request) {
  RestoreReport report;
  Platform& platform = program.platform;
  const std::optional<WindowsPath> root = WindowsPath::Parse(CompleteDrive(request.to));
  if (!root) {
    report.refused = request.to + " non è il percorso di una cartella";
    return report;
  }
  const std::string to = root->Text();
  std::string why =
      root->is_root() ? "è la radice di un'unità" : ProtectedPlace(program, to, true);
  if (!why.empty()) {
    report.refused = "ripristino in " + to + " rifiutato: " + why;
    return report;
  }
  std::unique_ptr<ZipReading> reading;
  if (Status s = ZipReading::Open(platform, request.archive, &reading); !s.ok()) {
    report.refused = UnreadableArchiveText(request.archive, s);
    return report;
  }
  // The folder, made level by level when missing.
  const auto make_folder = [&](const std::string& folder) {
    unsigned attributes = 0;
    if (platform.GetAttributes(folder, &attributes).ok()) return (attributes & kAttrFolder) != 0;
    return platform.CreateFolder(folder).ok();
  };
  {
    WindowsPath level = *root;
    level.parts.resize(level.root_parts());
    for (std::size_t i = level.parts.size(); i < root->parts.size(); ++i) {
      level.parts.push_back(root->parts[i]);
      if (!make_folder(level.Text())) {
        report.refused = "cartella " + level.Text() + " non creata";
        return report;
      }
    }
  }

  const std::vector<ZipEntry>& entries = reading->entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntry& entry = entries[i];
    if (!request.only.empty() && !EntryMatches(request.only, entry.name)) continue;
    std::vector<std::string> parts;
    if (!EntryComponents(entry, &parts, &why)) {
      report.skipped.emplace_back(entry.name, why);
      continue;
    }
    // Each level checked below the folder (links on the way resolved) before it is made.
    std::string path = to;
    bool placed = true;
    const std::size_t folders = entry.folder ? parts.size() : parts.size() - 1;
    for (std::size_t k = 0; k < parts.size() && placed; ++k) {
      path += "\\" + parts[k];
      placed = LiesBelow(platform, path, to);
      if (placed && k < folders) placed = make_folder(path);
    }
    const std::string partial = path + ".~restoring";
    if (placed && !entry.folder) placed = LiesBelow(platform, partial, to);
    if (!placed) {
      report.skipped.emplace_back(entry.name,
                                  path + " non creabile dentro " + to + " o ne esce");
      continue;
    }
    if (entry.folder) continue;
    Status written = platform.WriteFile(partial, {});
    Status appended;
    if (written.ok()) {
      written = reading->Read(i, [&](const char* bytes, std::size_t size) {
        appended = platform.AppendFile(partial, std::string(bytes, size));
        return appended.ok();
      });
      if (!appended.ok()) written = appended;
    }
    if (written.ok()) written = platform.RenameFile(partial, path);
    if (!written.ok()) {
      IgnoreStatus(platform.DeleteFile(partial), "a partial file that cannot go is named below");
      report.skipped.emplace_back(entry.name,
                                  "non scritto (errore " + std::to_string(written.error) + ")");
      continue;
    }
    report.restored.push_back(path);
    report.bytes += entry.sum.size;
  }
  return report;
}

}  // namespace zr
