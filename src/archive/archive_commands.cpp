// The archiver interface: one command line per request, run and waited for.
//
// Command lines are built by plain concatenation and nothing is quoted; only
// the archive name is cleaned of blanks (and, for compression, of dots) so
// that it stays one word. The archiver's own behaviour (tools/pkzip25) is
// what makes the named archive appear; callers that must know whether it did
// look at the returned outcome and at the destination folder.
#include "archive/archive_commands.h"

#include <algorithm>

namespace zr {

namespace {

constexpr const char* kToolsArchiver = ":\\ORVEL\\VER14\\TOOLS\\PkZip25";
constexpr const char* kSystemArchiver = ":\\KYCONFIG\\SYSTEM\\PkZip25";

// The drive letter of the current folder: its first character once the
// surrounding blanks (codes 0 to 32) are gone. "C" when there is none, so a
// command line never starts with a bare ":".
std::string CurrentDrive(Platform& platform) {
  const std::string folder = platform.CurrentFolder();
  for (char c : folder) {
    if (static_cast<unsigned char>(c) > 32) return std::string(1, c);
  }
  return "C";
}

ArchiveOutcome Run(Platform& platform, const std::string& command_line) {
  return RunAndWait(platform, command_line) ? ArchiveOutcome::kFailed : ArchiveOutcome::kDone;
}

}  // namespace

bool RunAndWait(Platform& platform, const std::string& command_line) {
  int exit_code = -1;
  const Status started = platform.Run(command_line, &exit_code);
  if (!started.ok()) return true;
  return exit_code != 0;
}

ArchiveOutcome CreateZipArchive(Program& program, std::string& name, const std::string& folder,
                                const std::string& source, bool use_list_file,
                                const std::string& archiver_path) {
  std::string archiver = archiver_path;
  if (archiver.empty()) {
    const std::string drive = CurrentDrive(program.platform);
    if (FileExists(program.platform, drive + kToolsArchiver + ".EXE")) {
      archiver = drive + kToolsArchiver;
    } else if (FileExists(program.platform, drive + kSystemArchiver + ".EXE")) {
      archiver = drive + kSystemArchiver;
    } else {
      MessageBoxRequest box;
      box.text = "File PkZip25 not found in KY folder\rI don't create Zip File.";
      box.title = "File Not Found";
      box.buttons = Buttons::kOk;
      box.no_icon = true;
      program.ui.ShowMessageBox(box);
      return ArchiveOutcome::kArchiverNotFound;
    }
  }

  std::replace(name.begin(), name.end(), ' ', '_');
  std::replace(name.begin(), name.end(), '.', '-');

  const std::string command_line =
      use_list_file ? archiver + " -add -path=full " + folder + name + " @" + source
                    : archiver + " -add -rec -path=relative " + folder + name + " " + source;
  return Run(program.platform, command_line);
}

ArchiveOutcome ExtractZipArchive(Program& program, std::string& name, std::string archive_folder,
                                 const std::string& destination) {
  const std::string archiver = CurrentDrive(program.platform) + kToolsArchiver;
  std::replace(name.begin(), name.end(), ' ', '_');
  if (archive_folder.empty() || archive_folder.back() != '\\') archive_folder += '\\';
  const std::string command_line =
      archiver + " -extract -dir " + archive_folder + name + " " + destination;
  return Run(program.platform, command_line);
}

}  // namespace zr
