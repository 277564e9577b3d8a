// File and folder operations the backup, the server copy and the erase are
// built on: deleting a tree, listing files, checking and creating a path,
// copying files by extension with progress lines and archive-list entries,
// and small path-splitting helpers. Text arguments that the callers rely on
// being rewritten are passed by reference and rewritten in place.
#ifndef ZARIREVO_BACKUP_FILE_OPERATIONS_H_
#define ZARIREVO_BACKUP_FILE_OPERATIONS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "text/strings.h"

namespace zr {

struct FileListingEntry {
  std::string name;    // file name, no folder
  std::string folder;  // folder as it was passed, with trailing "\"
};
using FileListing = std::vector<FileListingEntry>;

void DeleteFolderTree(Program& program, std::string folder, std::int16_t ask);
void ListFiles(Program& program, std::string& folder, std::string& extension, FileListing& listing,
               bool recurse);
bool ListSubfolders(Program& program, const std::string& folder, std::vector<std::string>& list,
                    std::int16_t recurse);
bool MakePath(Program& program, std::string& path, std::int16_t mode, bool create);
std::string GetWindowsFolder(Program& program);
std::string ParentFolder(const std::string& path, bool with_backslash);
std::string StripExtension(const std::string& name);
std::string PathBelowRoot(std::string path, bool with_backslash);
/// Every copy lands strictly below `CustomerFolder` (by real locations, "."
/// and ".." applied, links resolved) and never onto its own source; a file
/// whose destination would not is skipped with an alarm line. A copy that
/// fails is shown (error box and alarm line), is not entered in the archive
/// list, and the next file follows. Both add to `FilesNotCopied`.
void CopyFilesByExtension(Program& program, const std::string& source,
                          const std::string& destination, const std::string& extension,
                          Color colour, std::int16_t add_to_list);
void AppendLineToFile(Program& program, const std::string& line, const std::string& file);
void DeleteFileIfPresent(Program& program, const std::string& file);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_FILE_OPERATIONS_H_
