// The products the program knows, one row each: how its folder under
// c:\kyconfig is recognised, what its configuration reading does, which file
// items the main window offers for it, its server key and server menu item.
// Every other module asks this table instead of naming a product; the one
// thing kept elsewhere is the collector, which lives with the backup
// (CollectorOf in backup/collectors.h).
//
// The row number of a product is its position here, and also that of its
// `ProductRecord` in `ProductTable` and in `InstalledProducts`.
#ifndef ZARIREVO_APP_PRODUCT_CATALOG_H_
#define ZARIREVO_APP_PRODUCT_CATALOG_H_

#include <string>
#include <vector>

namespace zr {

struct Session;

/// A file item's state for a product: its caption (nullptr: the item's own),
/// Enabled and Checked. Items are named as the main window names them
/// ("Menu211"); "Menu24" is a submenu whose caption is `tools_caption`.
struct FileItemState {
  const char* item;
  const char* caption;
  bool enabled;
  bool checked;
};

/// The main window's item that shows and picks a product's server folder.
struct ServerMenu {
  const char* item = nullptr;    // "Menu3321"; nullptr: the product has none
  const char* prompt = nullptr;  // the folder picker's prompt
  const char* prefix = nullptr;  // the item's caption after a pick: prefix & folder
};

struct ProductDescriptor {
  const char* name;        // `ProductRecord` Name, the text of `SelectedSoftware`
  const char* server_key;  // key of its `ServerFolder` in section [PATH] of ZA-RIREVO.INI
  /// Its folders under c:\kyconfig: names starting with this (case aside;
  /// listed as family & "*"). nullptr for the old installation found through
  /// KY-GEN.CNF, the product used when no folder product is installed.
  const char* folder_family = nullptr;
  /// A name of the family that belongs to another program (nullptr: none).
  const char* foreign_variant = nullptr;
  /// `Language` of a folder product, read from its installation (`ProductFolder`
  /// is current) or its INI; nullptr: "ENG".
  std::string (*language)(Session& program, const std::string& product_ini) = nullptr;
  /// What the main window reads when it opens the product and on "&Apri CNF"
  /// (`force_question`: ask for KY-GEN.CNF's folder even when it is at hand);
  /// nullptr: nothing is read.
  void (*settings_loader)(Session& program, int row, bool force_question) = nullptr;
  /// The file items it sets; empty: the items stay as they are.
  std::vector<FileItemState> file_items = {};
  const char* tools_caption = nullptr;  // Menu24's caption along with the file items
  ServerMenu server_menu = {};
  /// The product whose server item also sets this one's server folder.
  const char* server_folder_with = nullptr;
  /// The server copy files this product's archives under this post-processor
  /// folder, whatever its machine files name (nullptr: as they name it).
  const char* post_processor = nullptr;
  /// The server copy files archives of no recognised product as this one's,
  /// and lists the server of this one when the selected product is unknown.
  bool server_fallback = false;
};

/// Every product, in row order.
const std::vector<ProductDescriptor>& Products();
/// The product of `row`, or nullptr when there is no such row.
const ProductDescriptor* ProductAt(int row);
/// The row of the product called `name` (exact), or -1.
int ProductRow(const std::string& name);
/// The rows of the products with a server item of their own, in the order
/// of their items in the menu.
std::vector<int> ServerMenuRows();
/// The row of the old installation (the product without a folder family).
int OldInstallationRow();
/// The row the server copy uses for archives of no recognised product.
int ServerFallbackRow();

}  // namespace zr

#endif  // ZARIREVO_APP_PRODUCT_CATALOG_H_
