#include "app/products.h"

#include <vector>

#include "app/product_catalog.h"
#include "app/settings.h"
#include "text/strings.h"

namespace zr {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The row a folder name stands for, without looking at its INI file: the
// product whose family starts the name (case aside), unless the name is
// that family's foreign variant.
int RowOfName(const std::string& name) {
  const std::string upper = ToUpper(name);
  const std::vector<ProductDescriptor>& products = Products();
  for (std::size_t row = 0; row < products.size(); ++row) {
    const ProductDescriptor& product = products[row];
    if (product.folder_family == nullptr || !StartsWith(upper, ToUpper(product.folder_family))) {
      continue;
    }
    if (product.foreign_variant != nullptr && StartsWith(upper, ToUpper(product.foreign_variant))) {
      return -1;
    }
    return static_cast<int>(row);
  }
  return -1;
}

std::string RowName(const Session& program, int row) {
  const ProductDescriptor* product = ProductAt(row);
  if (product == nullptr) return {};
  const std::string& name = program.ProductTable[static_cast<std::size_t>(row)].Name;
  return name.empty() ? product->name : name;
}

}  // namespace

int ProductIndexOfFolder(Session& program, const std::string& prefix, const std::string& name,
                         bool check) {
  const int row = RowOfName(name);
  if (check && row >= 0 && !HasInstallDir(program, prefix + name)) return -1;
  return row;
}

std::string FindProductConfigFolder(Session& program, int row) {
  const std::string root = kProductListFolder;
  const ProductDescriptor* product = ProductAt(row);
  if (product == nullptr || product->folder_family == nullptr) return root;
  std::vector<FolderEntry> entries;
  IgnoreStatus(program.platform.List(root + product->folder_family + "*",
                                     ListKind::kFilesAndFolders, &entries),
               "a folder that cannot be listed is taken as empty");
  // A family's pattern also matches its foreign variant: the
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

int TableRowOfName(const Session& program, const std::string& name) {
  for (std::size_t row = 0; row < program.ProductTable.size(); ++row) {
    const std::string& row_name = program.ProductTable[row].Name;
    if (!row_name.empty() && row_name == name) return static_cast<int>(row);
  }
  return -1;
}

bool ClassifyStartFolder(const std::string& folder) {
  return ToLower(folder.substr(0, 11)) == "c:\\kyconfig";
}

}  // namespace zr
