// The PLOVIK collector: folders named in section [PATH] of the product INI
// (with defaults), the reference and intermediate files named in the machine
// files (read as INI files), the settings folder's INI files; the program
// and the three databases go into the archive list only. Copied folders keep
// their structure below the first two levels (MirroredSubfolder).
#include <string>

#include "app/settings.h"
#include "backup/collector_support.h"
#include "backup/collectors.h"
#include "platform/windows_path.h"

namespace zr {

namespace {

std::string ProductIni(const Session& program) {
  return program.ProductSettingsFile[0] + "\\" + program.ProductSettingsFile[1];
}

std::string PathSetting(Session& program, const std::string& key, const std::string& fallback) {
  return GetIniString(program, "PATH", key, fallback, ProductIni(program));
}

// The file named by FILENAME of `section` in a machine file, copied into its
// mirrored folder; a blank value is skipped without a message.
void CopyNamedFile(Session& program, const std::string& machine_file, const std::string& section,
                   bool add_to_list) {
  const std::string file = GetIniString(program, section, "FILENAME", "", machine_file);
  if (TrimBlanks(file).empty()) return;
  const std::string mirrored = MirroredSubfolder(file);
  const std::string subfolder(FolderOfText(mirrored));
  CopyOneFile(program, file, program.CustomerFolder + subfolder, LineColour(program.ColorGreen),
              add_to_list);
}

// A database of the "DB" folder, entered in the archive list only.
void ListDatabase(Session& program, const std::string& name) {
  const std::string db =
      SetTrailingBackslash(PathSetting(program, "DB", "C:\\Plovik\\DATA\\DB"), true);
  ListOnly(program, db + name, LineColour(program.ColorMagenta));
}

// Every file of a tool folder ("PUNCHES", "MATR") into its mirrored folder.
// A value without its final "\" is given one, so the folder's files are
// taken rather than names that merely begin with the folder's name.
void CopyToolFolder(Session& program, const std::string& key, const std::string& fallback,
                    bool add_to_list) {
  std::string folder = PathSetting(program, key, fallback);
  if (TrimBlanks(folder).empty()) return;
  folder = SetTrailingBackslash(folder, true);
  CopyFolder(program, folder, program.CustomerFolder + MirroredSubfolder(folder), "*",
             LineColour(program.ColorLightCyan), add_to_list);
}

}  // namespace

void CollectPlovikFiles(Session& program, const BackupSelection& selection) {
  const bool add_to_list = 1;           // every copied file is entered in the archive list
  const auto& items = selection.items;  // read at each step

  DeleteArchiveList(program);

  // An empty or blank MAC value is skipped as an empty PUNCHES or MATR value
  // is: as a folder it would become "\", the root of the current drive.
  std::string machine_folder;
  FileListing machines;
  bool machine_folder_set = false;
  if (items().machines || items().customisations) {
    machine_folder = PathSetting(program, "MAC", "C:\\Plovik\\DATA\\MAC");
    machine_folder_set = !TrimBlanks(machine_folder).empty();
    if (machine_folder_set) {
      machine_folder = SetTrailingBackslash(machine_folder, true);
      machines = ListMachineFiles(program, machine_folder);
    }
  }
  if (items().machines && machine_folder_set) {
    CopyFolder(program, machine_folder, program.CustomerFolder + MirroredSubfolder(machine_folder),
               "*", LineColour(program.ColorBlue), add_to_list);
  }
  if (items().customisations) {
    for (const FileListingEntry& entry : machines) {
      const std::string machine_file = entry.folder + entry.name;
      CopyNamedFile(program, machine_file, "REFERENCES", add_to_list);
      CopyNamedFile(program, machine_file, "INTERMEDIATE", add_to_list);
    }
  }
  if (items().product_files) {
    CopyFolder(program, program.ProductSettingsFile[0] + "\\", program.CustomerFolder, "INI",
               LineColour(program.ColorCyan), add_to_list);
  }
  if (items().post_processor_exe) {
    ListOnly(program, program.ProductFolder + "\\PLOVIKPPR.EXE", LineColour(program.ColorGray));
  }
  if (items().laser_tables) ListDatabase(program, "Piegatura.mdb");
  if (items().tables_mdb) ListDatabase(program, "Localdb.mdb");
  if (items().material_mdb) ListDatabase(program, "Utensili.mdb");
  if (items().punches) {
    CopyToolFolder(program, "PUNCHES", "C:\\Plovik\\DATA\\PUNCHES\\", add_to_list);
  }
  if (items().dies) CopyToolFolder(program, "MATR", "C:\\Plovik\\DATA\\MATR\\", add_to_list);
}

}  // namespace zr
