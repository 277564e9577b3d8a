#include "ui/main_window_model.h"

namespace zr {

const std::vector<MenuEntry>& MenuTree() {
  using M = BaseFormMenus;
  static const std::vector<MenuEntry> tree = {
      {"Menu1", "", &M::Menu1},          {"Menu11", "Menu1", &M::Menu11},
      {"Menu12", "Menu1", &M::Menu12},   {"Menu13", "Menu1", &M::Menu13},
      {"Menu2", "", &M::Menu2},          {"Menu21", "Menu2", &M::Menu21},
      {"Menu211", "Menu21", &M::Menu211}, {"Menu212", "Menu21", &M::Menu212},
      {"Menu213", "Menu21", &M::Menu213}, {"Menu214", "Menu21", &M::Menu214},
      {"Menu215", "Menu21", &M::Menu215}, {"Menu216", "Menu21", &M::Menu216},
      {"Menu217", "Menu21", &M::Menu217}, {"Menu22", "Menu2", &M::Menu22},
      {"Menu221", "Menu22", &M::Menu221}, {"Menu23", "Menu2", &M::Menu23},
      {"Menu231", "Menu23", &M::Menu231}, {"Menu232", "Menu23", &M::Menu232},
      {"Menu233", "Menu23", &M::Menu233}, {"Menu24", "Menu2", &M::Menu24},
      {"Menu241", "Menu24", &M::Menu241}, {"Menu242", "Menu24", &M::Menu242},
      {"Menu25", "Menu2", &M::Menu25},   {"Menu3", "", &M::Menu3},
      {"Menu31", "Menu3", &M::Menu31},   {"Menu311", "Menu31", &M::Menu311},
      {"Menu312", "Menu31", &M::Menu312}, {"Menu313", "Menu31", &M::Menu313},
      {"Menu32", "Menu3", &M::Menu32},   {"Menu33", "Menu3", &M::Menu33},
      {"Menu331", "Menu33", &M::Menu331}, {"Menu332", "Menu33", &M::Menu332},
      {"Menu3321", "Menu332", &M::Menu3321}, {"Menu3322", "Menu332", &M::Menu3322},
      {"Menu3323", "Menu332", &M::Menu3323}, {"Menu3324", "Menu332", &M::Menu3324},
      {"Menu4", "", &M::Menu4},          {"Menu41", "Menu4", &M::Menu41},
  };
  return tree;
}

std::vector<std::string> MenuPathTo(const std::string& name) {
  for (const MenuEntry& entry : MenuTree()) {
    if (name != entry.name || entry.parent[0] == '\0') continue;
    std::vector<std::string> path = MenuPathTo(entry.parent);
    path.push_back(entry.parent);
    return path;
  }
  return {};
}

const std::vector<MenuItem BaseFormMenus::*>& FileItems() {
  using M = BaseFormMenus;
  static const std::vector<MenuItem M::*> items = {
      &M::Menu211, &M::Menu212, &M::Menu213, &M::Menu214, &M::Menu215, &M::Menu216, &M::Menu217,
      &M::Menu221, &M::Menu231, &M::Menu232, &M::Menu233, &M::Menu241, &M::Menu242};
  return items;
}

}  // namespace zr
