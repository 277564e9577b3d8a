#include "app/product_catalog.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "backup/collectors.h"
#include "text/strings.h"
#include "ui/base_form.h"

namespace zr {
namespace {

// What every row must hold for the modules that look products up in the
// table, and what the table must not make ambiguous.
TEST(ProductCatalogTest, EveryRowHoldsWhatItsLookupsNeed) {
  const auto in_server_menu = [](const std::string& item) {
    for (const MenuEntry& entry : MenuTree()) {
      if (item == entry.name) return std::string(entry.parent) == "Menu332";
    }
    return false;
  };
  std::set<std::string> names, keys, server_items;
  int old_installations = 0, fallbacks = 0;
  for (const ProductDescriptor& product : Products()) {
    const std::string name = product.name;
    SCOPED_TRACE(name);
    EXPECT_TRUE(names.insert(name).second);
    EXPECT_TRUE(keys.insert(product.server_key).second);
    EXPECT_EQ(product.server_key, "SERVER_" + name);  // the settings file's rule
    if (product.folder_family == nullptr) {
      ++old_installations;
      EXPECT_NE(product.settings_loader, nullptr);
    }
    if (product.server_fallback) {
      ++fallbacks;
      EXPECT_NE(product.folder_family, nullptr);  // one recognition can choose
    }
    for (const ProductDescriptor& other : Products()) {
      if (&other == &product || !product.folder_family || !other.folder_family) continue;
      EXPECT_NE(ToUpper(other.folder_family).rfind(ToUpper(product.folder_family), 0), 0u)
          << "the folders of " << other.name << " would be taken for " << name;
    }
    if (product.foreign_variant != nullptr) {
      EXPECT_EQ(std::string(product.foreign_variant).rfind(product.folder_family, 0), 0u);
    }
    // A product backed up reads its configuration when the main window opens
    // it; file items are offered only for one backed up, and all of them.
    if (CollectorOf(name) != nullptr) {
      EXPECT_NE(product.settings_loader, nullptr);
    }
    if (!product.file_items.empty()) {
      EXPECT_NE(CollectorOf(name), nullptr);
      EXPECT_NE(product.tools_caption, nullptr);
      std::set<std::string> items;
      for (const FileItemState& state : product.file_items) {
        EXPECT_TRUE(IsFileItem(state.item) && items.insert(state.item).second) << state.item;
      }
      EXPECT_EQ(items.size(), FileItems().size());
    }
    if (product.server_menu.item != nullptr) {
      EXPECT_TRUE(server_items.insert(product.server_menu.item).second);
      EXPECT_TRUE(in_server_menu(product.server_menu.item));
      EXPECT_TRUE(product.server_menu.prompt && product.server_menu.prefix);
    }
    if (product.server_folder_with != nullptr) {
      const int with = ProductRow(product.server_folder_with);
      ASSERT_GE(with, 0);
      EXPECT_NE(Products()[static_cast<std::size_t>(with)].server_menu.item, nullptr);
    }
  }
  EXPECT_EQ(old_installations, 1);
  EXPECT_EQ(fallbacks, 1);
  for (const auto& [name, collector] : kCollectors) {
    EXPECT_TRUE(names.count(name)) << name;
  }
}

}  // namespace
}  // namespace zr
