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

// A path argument as the C run-time hands it over. A quoted path that ends
// in "\" closes with \", which the run-time reads as a literal quote (the
// quoting then runs to the end of the line): "C:\X\DEST ONE\" arrives as
// C:\X\DEST ONE". A quote is not allowed in a Windows name, so a final one
// stands for that "\"; a quote anywhere else, or a control character (a tab
// that split no argument), makes the argument no path.
std::optional<std::string> PathArgument(std::string arg) {
  if (!arg.empty() && arg.back() == '"') arg.back() = '\\';
  if (arg.empty() || arg.find('"') != std::string::npos) return std::nullopt;
  for (char c : arg) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
  }
  return arg;
}

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::string>& args) {
  Command command;
  if (args.size() == 4 && args[0] == "-add" && args[1] == "-path=full") {
    auto archive = PathArgument(args[2]);
    if (!archive || args[3].size() < 2 || args[3][0] != '@') return std::nullopt;
    auto list_file = PathArgument(args[3].substr(1));
    if (!list_file) return std::nullopt;
    command.mode = Mode::kAddList;
    command.archive = *archive;
    command.list_file = *list_file;
    return command;
  }
  if (args.size() == 5 && args[0] == "-add" && args[1] == "-rec" && args[2] == "-path=relative") {
    auto archive = PathArgument(args[3]);
    auto pattern = PathArgument(args[4]);
    auto folder = pattern ? FolderOfPattern(*pattern) : std::nullopt;
    if (!archive || !folder) return std::nullopt;
    command.mode = Mode::kAddRecursive;
    command.archive = *archive;
    command.folder = *folder;
    return command;
  }
  if (args.size() == 4 && args[0] == "-extract" && args[1] == "-dir") {
    auto archive = PathArgument(args[2]);
    auto destination = PathArgument(args[3]);
    if (!archive || !destination) return std::nullopt;
    command.mode = Mode::kExtract;
    command.archive = *archive;
    command.destination = *destination;
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
