// Shared machinery of the product collectors.
#include "backup/collector_support.h"

#include "cnf/cnf_reader.h"

namespace zr {

void DeleteArchiveList(Session& program) {
  CloseArchiveList(program);
  DeleteFileIfPresent(program, program.ArchiveListFile());
  program.listed_sums.Clear();
  program.archive_list_failure = Status::Ok();
}

FileListing ListMachineFiles(Session& program, const std::string& folder) {
  return ListFiles(program, folder, "MAC", false);
}

void ForEachMachineParameter(Session& program, const FileListing& machines,
                             const std::string& mac_folder, const std::string& key,
                             const MachineParameterStep& step) {
  for (const FileListingEntry& entry : machines) {
    step(entry, GetCnfParameter(program, mac_folder + entry.name, key, 1));
  }
}

void ListLaserTables(Session& program, const FileListing& machines, const std::string& mac_folder,
                     const std::string& database_prefix) {
  ForEachMachineParameter(
      program, machines, mac_folder, "LASERTAB",
      [&](const FileListingEntry& entry, const std::optional<std::string>& laser_table) {
        if (!laser_table || laser_table->rfind("100", 0) != 0) return;
        const std::optional<std::string> name =
            GetCnfParameter(program, mac_folder + entry.name, "NOME-TABELLE", 1);
        std::string table;
        if (name) {
          table = database_prefix + *name + ".MDB";
        } else {
          const std::size_t keep = entry.name.size() >= 3 ? entry.name.size() - 3 : 0;
          table = database_prefix + entry.name.substr(0, keep) + "MDB";
        }
        ListOnly(program, table, LineColour(program.ColorMagenta));
      });
}

void CopyFolder(Session& program, const std::string& source, const std::string& destination,
                const std::string& extension, std::optional<Color> line, bool add_to_list) {
  CopyFilesByExtension(program, source, destination, extension, line, add_to_list);
}

void CopyOneFile(Session& program, const std::string& file, const std::string& destination,
                 std::optional<Color> line, bool add_to_list) {
  CopyFilesByExtension(program, file, destination, "", line, add_to_list);
}

void ListOnly(Session& program, const std::string& file, std::optional<Color> line) {
  CopyFilesByExtension(program, file, "", "", line, true);
}

void ListFolderOnly(Session& program, const std::string& source, const std::string& extension,
                    std::optional<Color> line) {
  CopyFilesByExtension(program, source, "", extension, line, true);
}

std::string MirroredSubfolder(const std::string& path) {
  std::string rest = path;
  for (int level = 0; level < 2; ++level) {
    const std::size_t slash = rest.find('\\');
    if (slash != std::string::npos) rest.erase(0, slash + 1);
  }
  return rest;
}

}  // namespace zr
