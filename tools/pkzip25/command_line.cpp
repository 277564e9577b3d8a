#include "command_line.h"

namespace pkzip {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "FOLDER\*.*" (or "FOLDER\\*.*") -> "FOLDER"; a drive root keeps its "\".
std::optional<std::string> FolderOfPattern(const std::string& source) {
  static const std::string kAll = "*.*";
  if (source.size() < kAll.size() || source.compare(source.size() - 3, 3, kAll) != 0) {
    return std::nullopt;
  }
  std::string folder = source.substr(0, source.size() - kAll.size());
  if (folder.empty()) return folder;
  if (!IsSeparator(folder.back()) && !(folder.size() == 2 && folder[1] == ':')) {
    return std::nullopt;  // "NAME*.*" is a pattern over names, not a folder
  }
  const bool rooted = IsSeparator(folder.front());
  while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  if (folder.empty()) return rooted ? std::string("\\") : folder;
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::string>& args) {
  Command command;
  if (args.size() == 4 && args[0] == "-add" && args[1] == "-path=full") {
    if (args[2].empty() || args[3].size() < 2 || args[3][0] != '@') return std::nullopt;
    command.mode = Mode::kAddList;
    command.archive = args[2];
    command.list_file = args[3].substr(1);
    return command;
  }
  if (args.size() == 5 && args[0] == "-add" && args[1] == "-rec" && args[2] == "-path=relative") {
    auto folder = FolderOfPattern(args[4]);
    if (args[3].empty() || !folder) return std::nullopt;
    command.mode = Mode::kAddRecursive;
    command.archive = args[3];
    command.folder = *folder;
    return command;
  }
  if (args.size() == 4 && args[0] == "-extract" && args[1] == "-dir") {
    if (args[2].empty() || args[3].empty()) return std::nullopt;
    command.mode = Mode::kExtract;
    command.archive = args[2];
    command.destination = args[3];
    return command;
  }
  return std::nullopt;
}

std::string UsageText() {
  return "usage: PkZip25 -add -path=full ARCHIVE @LISTFILE\n"
         "       PkZip25 -add -rec -path=relative ARCHIVE FOLDER\\*.*\n"
         "       PkZip25 -extract -dir ARCHIVE DEST\\\n"
         "Paths are Windows paths (C:\\DIR\\FILE, \\\\SERVER\\SHARE\\FILE), resolved through\n"
         "ZARIREVO_DRIVES and ZARIREVO_UNC. ARCHIVE gets \".ZIP\" when it has no extension.\n";
}

}  // namespace pkzip
