// The DAXOR collector (old and 2D installations): most files lie below the
// folder of KY-GEN.CNF; the machine files name the folders of reports and
// turrets, the post-processor programs, the laser tables and the tool tables.
// Programs and databases are entered in the archive list only.
#include <optional>
#include <string>

#include "backup/collector_support.h"
#include "backup/collectors.h"
#include "cnf/cnf_reader.h"
#include "platform/windows_path.h"

namespace zr {

namespace {

bool NoValue(const std::optional<std::string>& value) { return !value || value->empty(); }

// Copies the files with `extension` of each machine's `key` folder into
// `key` & "\" & the folder's last name & "\" of the backup; a machine without
// the key takes the configuration folder, into "\DAXORDIR\".
void CopyMachineFolders(Session& program, const FileListing& machines,
                        const std::string& mac_folder, const std::string& key,
                        const std::string& extension, bool add_to_list) {
  ForEachMachineParameter(program, machines, mac_folder, key,
                          [&](const FileListingEntry&, const std::optional<std::string>& value) {
                            std::string source = program.CnfFolder;
                            std::string subfolder = "\\DAXORDIR\\";
                            if (!NoValue(value)) {
                              source = *value;
                              subfolder.assign(1, '\\').append(NameOfText(source)) += '\\';
                            }
                            CopyFolder(program, source + "\\",
                                       program.CustomerFolder + key + subfolder, extension,
                                       LineColour(program.ColorLightGreen), add_to_list);
                          });
}

// Each machine's tool table and its label file, copied into the customer folder.
void CopyToolTables(Session& program, const FileListing& machines, const std::string& mac_folder,
                    bool add_to_list) {
  const std::string cnf = program.CnfFolder + "\\";
  ForEachMachineParameter(
      program, machines, mac_folder, "TAB-UT",
      [&](const FileListingEntry& entry, const std::optional<std::string>& parameter) {
        std::string table;
        std::string label;
        if (NoValue(parameter)) {
          const std::string stem = StripExtension(entry.name);
          table = cnf + stem + ".UT";
          label = cnf + stem + ".LBL";
        } else if (parameter->find(':') == std::string::npos) {
          label = cnf + StripExtension(*parameter) + ".LBL";
          table = cnf + *parameter;
        } else {
          table = *parameter;
          label = StripExtension(*parameter) + ".LBL";
        }
        CopyOneFile(program, table, program.CustomerFolder, LineColour(program.ColorCyan),
                    add_to_list);
        CopyOneFile(program, label, program.CustomerFolder, LineColour(program.ColorCyan),
                    add_to_list);
      });
}

}  // namespace

void CollectDaxorFiles(Session& program, const BackupSelection& selection) {
  const bool add_to_list = 1;           // every copied file is entered in the archive list
  const auto& items = selection.items;  // read at each step
  const std::string cnf = program.CnfFolder + "\\";
  const std::string customer = program.CustomerFolder;
  std::string mac_folder = program.CnfFolder + "\\MAC\\";

  DeleteArchiveList(program);
  const std::string windows_folder = TrimBlanks(GetWindowsFolder(program));
  const std::string database_folder = ReadCnfRecord(program, 270);

  FileListing machines;
  if (items().reports || items().laser_tables || items().post_processor_exe ||
      items().punches_offered || items().dies_offered) {
    machines = ListMachineFiles(program, mac_folder);
  }

  if (items().machines) {
    CopyFolder(program, mac_folder, customer + "MAC\\", "MAC", LineColour(program.ColorBlue),
               add_to_list);
  }
  if (items().post_processor)
    CopyFolder(program, cnf, customer, "TXT", LineColour(program.ColorGreen), add_to_list);
  if (items().customisations) {
    CopyFolder(program, cnf, customer, "INI", LineColour(program.ColorCyan), add_to_list);
    CopyFolder(program, cnf, customer, "PAU", LineColour(program.ColorRed), add_to_list);
  }
  if (items().reports) {
    CopyMachineFolders(program, machines, mac_folder, "REPORT-PATH", "DAT", add_to_list);
  }
  if (items().product_files) {
    CopyFolder(program, cnf, customer, "CNF", LineColour(program.ColorLightRed), add_to_list);
    const std::string settings_folder = program.ProductSettingsFile[0] + "\\";
    if (FileExists(program.platform, settings_folder + program.ProductSettingsFile[1])) {
      CopyFolder(program, settings_folder, customer, "INI", LineColour(program.ColorCyan),
                 add_to_list);
    }
    CopyFolder(program, cnf, customer, "DAT", LineColour(program.ColorLightGreen), add_to_list);
  }
  if (items().transmissions) {
    CopyFolder(program, cnf + "CFG\\", customer + "TRASMISSIONI32\\", "CFG",
               LineColour(program.ColorLightYellow), add_to_list);
    CopyFolder(program, cnf + "RSW\\", customer + "TRASMISSIONI16\\", "RSW",
               LineColour(program.ColorLightYellow), add_to_list);
  }
  if (items().post_processor_exe) {
    ForEachMachineParameter(program, machines, mac_folder, "POST-PROCESSOR",
                            [&](const FileListingEntry&, const std::optional<std::string>& name) {
                              // A machine without the key lists the program
                              // "Parametro inesistente.EXE", which then shows as missing.
                              ListOnly(program,
                                       cnf + name.value_or("Parametro inesistente") + ".EXE",
                                       LineColour(program.ColorGray));
                            });
  }
  if (items().laser_tables) {
    ListLaserTables(program, machines, mac_folder, database_folder + "\\");
  }
  if (items().tables_mdb) {
    ListOnly(program, database_folder + "\\TABELLE.MDB", LineColour(program.ColorMagenta));
  }
  if (items().material_mdb) {
    ListOnly(program, database_folder + "\\MATERIAL.MDB", LineColour(program.ColorMagenta));
  }
  if (items().windows_files) {
    // Presence alone decides: names are found without regard to case.
    const std::string destination = customer + PathBelowRoot(windows_folder, true);
    for (const std::string& name : program.DaxorIniFiles) {
      const std::string file = windows_folder + "\\" + name;
      if (FileExists(program.platform, file)) {
        CopyOneFile(program, file, destination, LineColour(program.ColorCyan), add_to_list);
      }
    }
  }
  if (items().punches) {
    CopyMachineFolders(program, machines, mac_folder, "TORRETTA-PATH", "TOR", add_to_list);
  }
  if (items().dies) CopyToolTables(program, machines, mac_folder, add_to_list);
}

void CollectDaxor2DFiles(Session& program, const BackupSelection& selection) {
  // The installation under c:\kyconfig keeps KY-GEN.CNF in its own folder.
  program.CnfFolder = program.ProductFolder;
  CollectDaxorFiles(program, selection);
}

}  // namespace zr
