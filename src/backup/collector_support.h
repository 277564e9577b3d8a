// What the three product collectors share: deleting the archive list at the
// start, listing a product's machine files, walking them while reading one
// parameter of each, the laser-table rule, the named call forms of
// CopyFilesByExtension (a folder by extension, one file, a file entered in
// the archive list only) and the mirrored backup subfolder.
//
// None of these keeps state; a copy that fails is reported and counted by
// CopyFilesByExtension, and the collector goes on.
#ifndef ZARIREVO_BACKUP_COLLECTOR_SUPPORT_H_
#define ZARIREVO_BACKUP_COLLECTOR_SUPPORT_H_

#include <functional>
#include <optional>
#include <string>

#include "app/session.h"
#include "backup/file_operations.h"

namespace zr {

/// Deletes the archive list of an earlier run, if present.
void DeleteArchiveList(Session& program);

/// A new listing of the "MAC" files of `folder` (which ends with "\"). An empty
/// folder gives an empty listing, which the walks below process as no entry.
FileListing ListMachineFiles(Session& program, const std::string& folder);

/// For each entry of `machines` in order: the machine file is
/// `mac_folder` & entry name; `step` receives the entry and the value
/// number 1 of `key` in that file (nullopt when the file has no such line).
using MachineParameterStep =
    std::function<void(const FileListingEntry& entry, const std::optional<std::string>& value)>;
void ForEachMachineParameter(Session& program, const FileListing& machines,
                             const std::string& mac_folder, const std::string& key,
                             const MachineParameterStep& step);

/// The laser tables named in the machine files, entered in the archive list
/// only: for each machine whose LASERTAB begins with "100", the table
/// `database_prefix` & NOME-TABELLE & ".MDB", or, without NOME-TABELLE, the
/// machine file's name with its last three characters replaced by "MDB".
void ListLaserTables(Session& program, const FileListing& machines, const std::string& mac_folder,
                     const std::string& database_prefix);

/// Every file of `source` (ending with "\") with `extension`, copied to
/// `destination`.
void CopyFolder(Session& program, const std::string& source, const std::string& destination,
                const std::string& extension, std::optional<Color> line, bool add_to_list);
/// One file, copied to `destination`.
void CopyOneFile(Session& program, const std::string& file, const std::string& destination,
                 std::optional<Color> line, bool add_to_list);
/// One file, not copied: entered in the archive list, with an only-zip line.
void ListOnly(Session& program, const std::string& file, std::optional<Color> line);
/// Every file of `source` with `extension`, not copied: archive list only.
void ListFolderOnly(Session& program, const std::string& source, const std::string& extension,
                    std::optional<Color> line);

/// `path` less its first two levels: everything up to and including the
/// first "\" is removed, twice; a text without "\" stays as it is.
/// "C:\Plovik\DATA\MAC\" gives "DATA\MAC\", "D:\X\Y.RIF" gives "Y.RIF".
std::string MirroredSubfolder(const std::string& path);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_COLLECTOR_SUPPORT_H_
