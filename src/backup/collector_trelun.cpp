// The TRELUN collector: machine files and post-processor texts below
// "\POST\", the settings folder's INI files always, the laser heads 4, 5 and
// 6; programs, databases and head mathematics go into the archive list only.
#include <string>

#include "app/settings.h"
#include "backup/collector_support.h"
#include "backup/collectors.h"
#include "cnf/cnf_reader.h"

namespace zr {

namespace {

constexpr const char* kHeads[] = {"\\OpenGL\\LASER\\4\\", "\\OpenGL\\LASER\\5\\",
                                  "\\OpenGL\\LASER\\6\\"};

// The database folder named by DATABASE4 (or else DATABASE5) of the product
// INI, with its trailing "\"; the product's "\TABLAS\" when neither is set.
std::string TrelunDatabaseFolder(Session& program) {
  const std::string ini = program.ProductSettingsFile[0] + "\\" + program.ProductSettingsFile[1];
  std::string value;
  for (int n = 4; n <= 5 && value.empty(); ++n) {
    value = GetIniString(program, "DATABASE", "DATABASE" + NumberToText(n, 1, 0), "", ini);
  }
  if (value.empty()) return program.ProductFolder + "\\TABLAS\\";
  return ParentFolder(value, true);
}

}  // namespace

void CollectTrelunFiles(Session& program, const BackupSelection& selection) {
  const bool add_to_list = 1;           // every copied file is entered in the archive list
  const auto& items = selection.items;  // read at each step
  const std::string post = program.ProductFolder + "\\POST\\";
  std::string mac_folder = post + "MAC\\";
  const std::string customer = program.CustomerFolder;

  DeleteArchiveList(program);
  const std::string database_folder = TrelunDatabaseFolder(program);

  FileListing machines;
  if (items().reports || items().laser_tables || items().post_processor_exe) {
    machines = ListMachineFiles(program, mac_folder);
  }

  if (items().machines) {
    CopyFolder(program, mac_folder, customer + "POST\\MAC\\", "MAC", LineColour(program.ColorBlue),
               add_to_list);
  }
  if (items().post_processor) {
    CopyFolder(program, post, customer + "\\POST\\", "TXT", LineColour(program.ColorGreen),
               add_to_list);
  }
  CopyFolder(program, program.ProductSettingsFile[0] + "\\", customer + "\\POST\\", "INI",
             LineColour(program.ColorCyan), add_to_list);
  if (items().post_processor_exe) {
    ForEachMachineParameter(
        program, machines, mac_folder, "POST-PROCESSOR",
        [&](const FileListingEntry&, const std::optional<std::string>& parameter) {
          // A machine without the key lists "Parametro inesistente.EXE".
          const std::string name = parameter.value_or("Parametro inesistente");
          const bool has_exe = name.size() >= 4 && ToUpper(name.substr(name.size() - 4)) == ".EXE";
          ListOnly(program, post + name + (has_exe ? "" : ".EXE"), LineColour(program.ColorGray));
        });
  }
  if (items().laser_tables) ListLaserTables(program, machines, mac_folder, database_folder);
  if (items().tables_mdb) {
    ListOnly(program, database_folder + "\\TABELLE.MDB", LineColour(program.ColorMagenta));
  }
  if (items().material_mdb) {
    ListOnly(program, database_folder + "\\MATERIAL.MDB", LineColour(program.ColorMagenta));
  }
  if (items().punches) {
    for (const char* head : kHeads) {
      CopyFolder(program, program.ProductFolder + head, customer, "INI",
                 LineColour(program.ColorCyan), add_to_list);
    }
  }
  if (items().dies) {
    for (const char* head : kHeads) {
      for (const char* extension : {"HED", "B3D"}) {
        ListFolderOnly(program, program.ProductFolder + head, extension,
                       LineColour(program.ColorLightCyan));
      }
    }
  }
}

}  // namespace zr
