#include "app/products.h"

#include <vector>

#include "app/settings.h"
#include "text/strings.h"

namespace zr {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Listing pattern of each product family under c:\kyconfig, by row.
const char* FamilyPattern(std::int16_t row) {
  switch (row) {
    case kDaxor2D:
      return "DAXOR*";
    case kPlovik:
      return "Plovik*";
    case kTrelun:
      return "Trelun*";
    case kDunra:
      return "Dunra*";
    default:
      return nullptr;
  }
}

// The row a folder name stands for, without looking at its INI file.
std::int16_t RowOfName(const std::string& name) {
  const std::string upper = ToUpper(name);
  if (StartsWith(upper, "ZAZOZODEDU")) return -1;
  if (StartsWith(upper, "DAXOR3D")) return -1;
  if (StartsWith(upper, "TRELUN")) return kTrelun;
  if (StartsWith(upper, "DAXOR")) return kDaxor2D;
  if (StartsWith(upper, "PLOVIK")) return kPlovik;
  if (StartsWith(upper, "DUNRA")) return kDunra;
  return -1;
}

std::string RowName(const Session& program, int row) {
  if (row < 0 || row >= kProductCount) return {};
  const std::string& name = program.ProductTable[static_cast<std::size_t>(row)].Name;
  return name.empty() ? kProductNames[static_cast<std::size_t>(row)] : name;
}

}  // namespace

int ProductIndexOfFolder(Session& program, const std::string& prefix, const std::string& name,
                         bool check) {
  const int row = RowOfName(name);
  if (check && row > 0 && !HasInstallDir(program, prefix + name)) return -1;
  return row;
}

std::string FindProductConfigFolder(Session& program, int row) {
  const std::string root = kProductListFolder;
  const char* pattern = FamilyPattern(row);
  if (pattern == nullptr) return root;
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(root + pattern, ListKind::kFilesAndFolders, &entries),
               "a folder that cannot be listed is taken as empty");
  // "DAXOR*" also matches the 3D variant, which is not this product: the
  // first entry that really belongs to the family and names an Installdir
  // is taken, as start-up counts installed products (a leftover folder
  // without one does not hide the installed one). Without such an entry,
  // the first of the family.
  std::string first;
  for (const FolderEntry& entry : entries) {
    if (RowOfName(entry.name) != row) continue;
    if (HasInstallDir(program, root + entry.name)) return root + entry.name;
    if (first.empty()) first = root + entry.name;
  }
  return first.empty() ? root : first;
}

std::string NextInstalledSoftware(Session& program, const std::string& current) {
  const std::vector<int>& installed = program.InstalledProducts;
  if (installed.empty()) return current;  // nothing to step to: keep the name shown
  if (installed.size() < 2) return RowName(program, installed.front());

  std::string name = current;
  // Each installed product is tried at most once, so a machine on which no
  // configuration can be read ends here with the current name.
  for (std::size_t tries = 0; tries < installed.size(); ++tries) {
    // The last position holding the name is the one to step from, so that two
    // folders of the same family do not keep the button on that family.
    std::size_t next = 0;
    for (std::size_t i = installed.size(); i-- > 0;) {
      if (RowName(program, installed[i]) == name) {
        next = i + 1 < installed.size() ? i + 1 : 0;
        break;
      }
    }
    const int row = installed[next];
    if (LoadProductSettings(program, row)) return RowName(program, row);
    name = RowName(program, row);
  }
  return current;
}

bool ClassifyStartFolder(const std::string& folder) {
  return ToLower(folder.substr(0, 11)) == "c:\\kyconfig";
}

}  // namespace zr
