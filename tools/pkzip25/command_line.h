// The command lines PkZip25 accepts, and nothing else:
//   PkZip25 -add -path=full ARCHIVE @LISTFILE
//   PkZip25 -add -rec -path=relative ARCHIVE FOLDER\*.*
//   PkZip25 -extract -dir ARCHIVE DEST\  (DEST: a folder)
// Options are matched exactly. A path with blanks comes quoted, as the C
// run-time splits it (a final \" of a quoted folder arrives as a quote, read
// as the "\" it was). The paths stay Windows-form texts here; they are
// resolved later against the drive map and the current folder.
#ifndef ZARIREVO_TOOLS_PKZIP25_COMMAND_LINE_H_
#define ZARIREVO_TOOLS_PKZIP25_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <vector>

namespace pkzip {

enum class Mode { kAddList, kAddRecursive, kExtract };

struct Command {
  Mode mode = Mode::kAddList;
  std::string archive;      // as given (".ZIP" not yet appended)
  std::string list_file;    // kAddList: the name after "@"
  std::string folder;       // kAddRecursive: the folder before "*.*" (empty = current folder)
  std::string destination;  // kExtract
};

/// Parses the arguments after the program name; nullopt for any other form.
std::optional<Command> ParseCommandLine(const std::vector<std::string>& args);

/// The usage message, several lines ending with a line end.
std::string UsageText();

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_COMMAND_LINE_H_
