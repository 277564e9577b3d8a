#include "app/product_catalog.h"

#include <algorithm>

#include "app/session.h"
#include "app/settings.h"
#include "cnf/cnf_reader.h"
#include "text/strings.h"

namespace zr {

namespace {

// Record 15 of KY-GEN.CNF in the installation folder.
std::string CnfLanguage(Session& program, const std::string&) {
  return ToUpper(ReadCnfRecord(program, 15));
}

// [OPTION] LINGUA of the product INI: "1" is Italian.
std::string LinguaOption(Session& program, const std::string& product_ini) {
  return GetIniString(program, "OPTION", "LINGUA", "", product_ini) == "1" ? "ITA" : "ENG";
}

void ReadOldInstallation(Session& program, int, bool force_question) {
  LoadDaxorOldSettings(program, force_question);
}

void ReadProductFolder(Session& program, int row, bool) { LoadProductSettings(program, row); }

std::vector<ProductDescriptor> MakeProducts() {
  std::vector<ProductDescriptor> products;

  products.push_back({.name = "DAXOR_OLD",
                      .server_key = "SERVER_DAXOR_OLD",
                      .settings_loader = ReadOldInstallation,
                      .server_folder_with = "DAXOR2D"});

  // Folders DAXOR3D... hold the 3D variant, a product of its own; those of
  // the bevel variant (ZAZOZODEDU...) match no family.
  products.push_back({.name = "DAXOR2D",
                      .server_key = "SERVER_DAXOR2D",
                      .folder_family = "DAXOR",
                      .foreign_variant = "DAXOR3D",
                      .language = CnfLanguage,
                      .settings_loader = ReadProductFolder,
                      .file_items =
                          {
                              {"Menu211", nullptr, true, true},
                              {"Menu212", nullptr, true, true},
                              {"Menu213", "Pe&Rsonalizzazioni", true, true},
                              {"Menu214", nullptr, true, false},
                              {"Menu215", nullptr, true, true},
                              {"Menu216", nullptr, true, true},
                              {"Menu217", nullptr, true, true},
                              {"Menu221", nullptr, true, false},
                              {"Menu231", nullptr, true, false},
                              {"Menu232", "Tabelle.mdb", true, false},
                              {"Menu233", "Material.mdb", true, false},
                              {"Menu241", "Torrette", true, false},
                              {"Menu242", "Magazzino Utensili", true, false},
                          },
                      .tools_caption = "Utensili",
                      .server_menu = {"Menu3321",
                                      "Selezionare la cartella sul server dove salvare le "
                                      "Configurazioni Daxor  :",
                                      "Daxor: "},
                      .server_fallback = true});

  products.push_back({.name = "PLOVIK",
                      .server_key = "SERVER_PLOVIK",
                      .folder_family = "Plovik",
                      .settings_loader = ReadProductFolder,
                      .file_items =
                          {
                              {"Menu211", nullptr, true, true},
                              {"Menu212", nullptr, false, false},
                              {"Menu213", "Riscontri", true, false},
                              {"Menu214", nullptr, false, false},
                              {"Menu215", nullptr, true, true},
                              {"Menu216", nullptr, false, false},
                              {"Menu217", nullptr, false, false},
                              {"Menu221", nullptr, true, false},
                              {"Menu231", "DataBase Matrici", true, false},
                              {"Menu232", "DataBase Locale", true, false},
                              {"Menu233", "DataBase Utensili", true, false},
                              {"Menu241", "Punzoni", true, false},
                              {"Menu242", "Matrici", true, false},
                          },
                      .tools_caption = "Utensili",
                      .server_menu = {"Menu3323",
                                      "Selezionare la cartella sul server dove salvare le "
                                      "Configurazioni Plovik  :",
                                      "Plovik: "},
                      .post_processor = "DERUveda"});

  products.push_back({.name = "TRELUN",
                      .server_key = "SERVER_TRELUN",
                      .folder_family = "Trelun",
                      .language = LinguaOption,
                      .settings_loader = ReadProductFolder,
                      .file_items =
                          {
                              {"Menu211", nullptr, true, true},
                              {"Menu212", nullptr, true, false},
                              {"Menu213", "Pe&Rsonalizzazioni", false, false},
                              {"Menu214", nullptr, false, false},
                              {"Menu215", nullptr, true, false},
                              {"Menu216", nullptr, false, false},
                              {"Menu217", nullptr, false, false},
                              {"Menu221", nullptr, true, false},
                              {"Menu231", nullptr, true, false},
                              {"Menu232", "Tabelle.mdb", true, false},
                              {"Menu233", "Material.mdb", true, false},
                              {"Menu241", "Configurazione Teste", true, false},
                              {"Menu242", "Matematiche Teste", true, false},
                          },
                      .tools_caption = "Laser Head",
                      .server_menu = {"Menu3322",
                                      "Selezionare la cartella sul server dove salvare le "
                                      "Configurazioni Trelun  :",
                                      "Trelun: "}});

  // Recognised and given a server folder, but not backed up: the main window
  // reads nothing for it and its server item (Menu3324) is never offered.
  products.push_back({.name = "DUNRA", .server_key = "SERVER_DUNRA", .folder_family = "Dunra"});
  return products;
}

int FirstRow(bool (*wanted)(const ProductDescriptor&)) {
  const std::vector<ProductDescriptor>& products = Products();
  for (std::size_t row = 0; row < products.size(); ++row) {
    if (wanted(products[row])) return static_cast<int>(row);
  }
  return -1;
}

}  // namespace

const std::vector<ProductDescriptor>& Products() {
  static const std::vector<ProductDescriptor> products = MakeProducts();
  return products;
}

const ProductDescriptor* ProductAt(int row) {
  const std::vector<ProductDescriptor>& products = Products();
  if (row < 0 || static_cast<std::size_t>(row) >= products.size()) return nullptr;
  return &products[static_cast<std::size_t>(row)];
}

int ProductRow(const std::string& name) {
  const std::vector<ProductDescriptor>& products = Products();
  for (std::size_t row = 0; row < products.size(); ++row) {
    if (name == products[row].name) return static_cast<int>(row);
  }
  return -1;
}

std::vector<int> ServerMenuRows() {
  std::vector<int> rows;
  for (std::size_t row = 0; row < Products().size(); ++row) {
    if (Products()[row].server_menu.item != nullptr) rows.push_back(static_cast<int>(row));
  }
  std::sort(rows.begin(), rows.end(), [](int a, int b) {
    return std::string(Products()[static_cast<std::size_t>(a)].server_menu.item) <
           Products()[static_cast<std::size_t>(b)].server_menu.item;
  });
  return rows;
}

int OldInstallationRow() {
  return FirstRow([](const ProductDescriptor& p) { return p.folder_family == nullptr; });
}

int ServerFallbackRow() {
  return FirstRow([](const ProductDescriptor& p) { return p.server_fallback; });
}

}  // namespace zr
