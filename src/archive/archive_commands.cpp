// The archiver interface: one command line per request, run and waited for.
//
// Command lines are built by concatenation; a path argument that holds a blank
// (or a quote) is quoted as the C run-time splits command lines, so it stays
// one word; without one the line is exactly the plain concatenation. The
// compressed archive's name is cleaned of blanks and dots as well.
//
// An archive of the same name that is already in the destination is set aside
// before the archiver runs, so that only an archive written by this run counts
// as made; when none was made the old one is put back.
#include "archive/archive_commands.h"

#include <algorithm>
#include <utility>

#include "platform/windows_path.h"
#include "text/strings.h"

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

// Runs the archiver while the window keeps taking input (STOP among it) and
// the run's watcher shows the wait; a cancelled run ends the archiver.
ArchiveOutcome Run(Session& program, const std::string& command_line) {
  std::function<bool()> poll;
  if (program.run.active()) {
    poll = [&program] {
      program.ui.ProcessPendingInput();
      return program.run.Poll();
    };
  }
  const RunResult result = RunAndWait(program.platform, command_line, poll);
  if (result.start.error == kErrCancelled || program.run.cancelled()) {
    return ArchiveOutcome::kCancelled;
  }
  return result.ok() ? ArchiveOutcome::kDone : ArchiveOutcome::kFailed;
}

// Removes what an ended archiver may have left beside `archive`: its
// temporary "<archive>.xxxxxx" files, written before the rename into place.
void RemovePartialOutput(Platform& platform, const std::string& archive) {
  const std::string folder(FolderOfText(archive));
  std::vector<FolderEntry> entries;
  IgnoreStatus(platform.List(archive + ".*", ListKind::kFilesOnly, &entries),
               "nothing listed is nothing to remove");
  for (const FolderEntry& entry : entries) {
    IgnoreStatus(platform.DeleteFile(folder + entry.name), "a leftover that stays harms nothing");
  }
}

bool NeedsQuotes(const std::string& text) {
  return text.find_first_of(" \t\"") != std::string::npos;
}

// The program word: quotes group it, backslashes stay as they are.
std::string QuotedProgram(const std::string& path) {
  return NeedsQuotes(path) ? "\"" + path + "\"" : path;
}

// An argument: backslashes before a quote (also the closing one) doubled, a
// quote inside escaped.
std::string QuotedArgument(const std::string& text) {
  if (!NeedsQuotes(text)) return text;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

// The archiver as the platform would start it: the path as given plus ".EXE"
// when its name has no extension, or the path itself.
bool ArchiverThere(Platform& platform, const std::string& path) {
  if (TrimBlanks(path).empty()) return false;
  const bool has_dot = NameOfText(path, "\\/:").find('.') != std::string_view::npos;
  return FileExists(platform, has_dot ? path : path + ".EXE");
}

// The search of an empty archiver path on the current drive; "" when neither
// place holds it.
std::string SearchArchiver(Platform& platform) {
  const std::string drive = CurrentDrive(platform);
  if (FileExists(platform, drive + kToolsArchiver + ".EXE")) return drive + kToolsArchiver;
  if (FileExists(platform, drive + kSystemArchiver + ".EXE")) return drive + kSystemArchiver;
  return {};
}

// An archive that may be left from an earlier run, set aside while the
// archiver makes a new one of the same name.
class OldArchive {
 public:
  OldArchive(Platform& platform, std::string path)
      : platform_(platform), path_(std::move(path)), aside_(path_ + "~") {}
  OldArchive(const OldArchive&) = delete;
  OldArchive& operator=(const OldArchive&) = delete;

  /// False when an old archive is there and could not be set aside.
  bool SetAside() {
    unsigned attributes = 0;
    if (!platform_.GetAttributes(path_, &attributes).ok()) return true;
    if ((attributes & kAttrFolder) != 0) return false;
    if (!platform_.CopyFile(path_, aside_).ok()) {
      IgnoreStatus(platform_.DeleteFile(aside_), "a partial copy may not even exist");
      return false;
    }
    if (!platform_.DeleteFile(path_).ok()) {
      IgnoreStatus(platform_.DeleteFile(aside_), "the old archive is still in place");
      return false;
    }
    held_ = true;
    return true;
  }
  /// Whether the archiver wrote the archive, after the old one was set aside.
  bool Written() { return FileExists(platform_, path_); }
  /// The new archive stays: the old one goes.
  void Drop() {
    if (held_) IgnoreStatus(platform_.DeleteFile(aside_), "a leftover copy harms nothing");
  }
  /// No new archive: the old one comes back in place of what was left.
  void PutBack() {
    if (!held_) return;
    if (platform_.CopyFile(aside_, path_).ok()) {
      IgnoreStatus(platform_.DeleteFile(aside_), "the old archive is back in place");
    }
  }

 private:
  Platform& platform_;
  std::string path_;
  std::string aside_;
  bool held_ = false;
};

}  // namespace

RunResult RunAndWait(Platform& platform, const std::string& command_line,
                     const std::function<bool()>& poll) {
  RunResult result;
  result.start = platform.Run(command_line, &result.exit_code, poll);
  return result;
}

ZipResult CreateZipArchive(Session& program, std::string name, const std::string& folder,
                           const std::string& source, bool use_list_file,
                           const std::string& archiver_path) {
  std::string archiver = archiver_path;
  if (archiver.empty()) {
    archiver = SearchArchiver(program.platform);
    if (archiver.empty()) {
      MessageBoxRequest box;
      box.text = "File PkZip25 not found in KY folder\rI don't create Zip File.";
      box.title = "File Not Found";
      box.buttons = Buttons::kOk;
      box.no_icon = true;
      program.ui.ShowMessageBox(box);
      return {ArchiveOutcome::kArchiverNotFound, name};
    }
  }

  std::replace(name.begin(), name.end(), ' ', '_');
  std::replace(name.begin(), name.end(), '.', '-');

  const std::string command_line =
      use_list_file ? QuotedProgram(archiver) + " -add -path=full " +
                          QuotedArgument(folder + name) + " " + QuotedArgument("@" + source)
                    : QuotedProgram(archiver) + " -add -rec -path=relative " +
                          QuotedArgument(folder + name) + " " + QuotedArgument(source);

  OldArchive old(program.platform, folder + name + ".ZIP");
  if (!old.SetAside()) return {ArchiveOutcome::kFailed, name};
  ArchiveOutcome outcome = Run(program, command_line);
  if (outcome == ArchiveOutcome::kDone && !old.Written()) outcome = ArchiveOutcome::kNotWritten;
  if (outcome == ArchiveOutcome::kCancelled) {
    // A stopped archive is no archive: its partial output and whatever it
    // wrote in place go, the old one comes back.
    RemovePartialOutput(program.platform, folder + name + ".ZIP");
    IgnoreStatus(program.platform.DeleteFile(folder + name + ".ZIP"), "it may not exist");
  }
  if (outcome == ArchiveOutcome::kDone) {
    old.Drop();
  } else {
    old.PutBack();
  }
  return {outcome, name};
}

namespace {

// The archiver path when it names a program, else the search, else the
// archiver's place in a DAXOR installation of the current drive.
std::string ExtractionArchiver(Platform& platform, const std::string& archiver_path) {
  if (ArchiverThere(platform, archiver_path)) return archiver_path;
  std::string found = SearchArchiver(platform);
  return found.empty() ? CurrentDrive(platform) + kToolsArchiver : found;
}

}  // namespace

ArchiveOutcome ExtractZipArchive(Session& program, const std::string& name,
                                 std::string archive_folder, const std::string& destination,
                                 const std::string& archiver_path) {
  const std::string archiver = ExtractionArchiver(program.platform, archiver_path);
  if (archive_folder.empty() || archive_folder.back() != '\\') archive_folder += '\\';
  const std::string command_line = QuotedProgram(archiver) + " -extract -dir " +
                                   QuotedArgument(archive_folder + name) + " " +
                                   QuotedArgument(destination);
  return Run(program, command_line);
}

}  // namespace zr
