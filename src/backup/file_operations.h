// File and folder operations the backup, the server copy and the erase are
// built on: deleting a tree, listing files, checking and creating a path,
// copying files by extension with progress lines and archive-list entries,
// and small path-splitting helpers.
#ifndef ZARIREVO_BACKUP_FILE_OPERATIONS_H_
#define ZARIREVO_BACKUP_FILE_OPERATIONS_H_

#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "text/strings.h"

namespace zr {

struct FileListingEntry {
  std::string name;    // file name, no folder
  std::string folder;  // folder as it was passed, with trailing "\"
};
using FileListing = std::vector<FileListingEntry>;

/// Deletes `folder` and everything below it; read-only files go without a
/// question. A drive root stays (only its contents go).
void DeleteFolderTree(Session& program, std::string folder);
/// The files of `folder` (a trailing "\" added when it lacks one) with
/// `extension` ("" is "*"), then, with `recurse`, those of every folder below
/// it, folder by folder. Each entry carries the folder with its "\".
FileListing ListFiles(Session& program, const std::string& folder, const std::string& extension,
                      bool recurse);
/// Whether subfolders are listed at every depth or only directly below.
enum class Depth { kDirect, kAll };
/// Appends `folder` & name (no final "\") of every subfolder to `list`;
/// false when `list` is still empty afterwards.
bool ListSubfolders(Session& program, const std::string& folder, std::vector<std::string>& list,
                    Depth depth);
/// What MakePath does when a device cannot be asked (a drive not ready):
/// ask the user to fix it (Cancel ends the program), or count it as missing.
enum class PathCheck { kAsk, kQuiet };
/// Whether `path`, after CompleteDrive, exists (a folder ends with "\");
/// with `create`, its missing levels are created first. Callers that go on
/// with the path use CompleteDrive(path), the text this one checks.
bool MakePath(Session& program, const std::string& path, PathCheck mode, bool create);
std::string GetWindowsFolder(Session& program);
std::string ParentFolder(const std::string& path, bool with_backslash);
std::string StripExtension(const std::string& name);
std::string PathBelowRoot(std::string path, bool with_backslash);
/// The progress-line colour of one of Session's colour fields: none while the
/// field is still unset (0 until PrepareMainWindow fills the colours in), so
/// a collector run before the main window is prepared writes no lines.
std::optional<Color> LineColour(Color field);
/// Each file handled writes a progress line in `line` (none with nullopt);
/// without `destination` the line carries the only-zip mark.
/// Every copy lands strictly below `CustomerFolder` (by real locations, "."
/// and ".." applied, links resolved) and never onto its own source; a file
/// whose destination would not is skipped with an alarm line. A copy that
/// fails is shown (error box and alarm line), is not entered in the archive
/// list, and the next file follows. Each file is entered in the run's
/// report (program.run) with its outcome, and with the reason when it was not
/// copied; without an archive (the backup's report says so) the files meant
/// for the archive alone are copied into the customer folder under their path
/// below the drive root; a source folder that cannot be read is a failure.
void CopyFilesByExtension(Session& program, const std::string& source,
                          const std::string& destination, const std::string& extension,
                          std::optional<Color> line, bool add_to_list);
/// Enters lines in the archive list (ArchiveListFile), in one write through
/// the list's open handle (opened, and the file made, at the first line);
/// nothing at all for none. A failure is shown in a box and kept in
/// `program.archive_list_failure`.
void AddToArchiveList(Session& program, const std::vector<std::string>& lines);
/// Closes the archive list's handle, if open (a failure kept as above).
void CloseArchiveList(Session& program);
void DeleteFileIfPresent(Session& program, const std::string& file);

}  // namespace zr

#endif  // ZARIREVO_BACKUP_FILE_OPERATIONS_H_
