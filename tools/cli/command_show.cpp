// show: the state of the main window after the start-up, and the file items
// of the selected product by the names --items takes.
#include <cstdio>

#include "commands.h"
#include "ui/base_form.h"

namespace zr::cli {

std::string ItemName(const MenuItem& item) {
  std::string name;
  for (char c : item.caption) {
    if (c != '&') name += c;
  }
  return name;
}

std::string QualifiedItemName(Program& program, const MenuEntry& entry) {
  const MenuItem* parent = FindMenuItem(program, entry.parent);
  return (parent != nullptr ? ItemName(*parent) + "/" : std::string()) +
         ItemName(program.menus.*(entry.item));
}

namespace {

void Print(std::FILE* out, const std::string& name, const std::string& value) {
  std::fprintf(out, "%s=%s\n", name.c_str(), value.c_str());
}

}  // namespace

int RunShow(CommandContext& context) {
  Program& program = context.program;
  std::FILE* out = context.out;

  std::string installed;
  for (int row : program.InstalledProducts) {
    if (!installed.empty()) installed += ',';
    installed += program.ProductTable[static_cast<std::size_t>(row)].Name;
  }
  Print(out, "SelectedSoftware", program.SelectedSoftware);
  Print(out, "InstalledProducts", installed);
  Print(out, "SystemFolder", program.SystemFolder);
  Print(out, "ArchiverPath", program.ArchiverPath);
  Print(out, "BackupPath", program.BackupPath);
  Print(out, "ProductFolder", program.ProductFolder);
  Print(out, "CnfFolder", program.CnfFolder);
  Print(out, "Language", program.Language);
  Print(out, "ZipMode", std::to_string(static_cast<int>(program.ZipMode)));
  for (const ProductRecord& record : program.ProductTable) {
    Print(out, "ServerFolder." + record.Name, record.ServerFolder);
  }
  for (const MenuEntry& entry : MenuTree()) {
    const MenuItem& item = program.menus.*(entry.item);
    Print(out, entry.name,
          item.caption + "|" + (item.enabled ? "1" : "0") + "|" + (item.checked ? "1" : "0"));
  }
  // The file items as --items names them: "Item.Submenu/Name=state".
  for (const MenuEntry& entry : MenuTree()) {
    if (!IsFileItem(entry.name)) continue;
    const MenuItem& item = program.menus.*(entry.item);
    Print(out, "Item." + QualifiedItemName(program, entry),
          !item.enabled  ? "unavailable"
          : item.checked ? "selected"
                         : "not selected");
  }
  std::fflush(out);
  return kDone;
}

}  // namespace zr::cli
