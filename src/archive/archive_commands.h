// The archiver: running one program and waiting for it, and the PkZip25
// command lines that make and unpack archives.
#ifndef ZARIREVO_ARCHIVE_ARCHIVE_COMMANDS_H_
#define ZARIREVO_ARCHIVE_ARCHIVE_COMMANDS_H_

#include <functional>
#include <string>

#include "app/session.h"

namespace zr {

/// What became of one program run: whether it started, and its exit code.
struct [[nodiscard]] RunResult {
  Status start;        // why the program could not be started; ok when it ran
  int exit_code = -1;  // meaningful only when it ran

  /// Started and exited with 0.
  bool ok() const { return start.ok() && exit_code == 0; }
};

/// Runs a command line and waits for the program's end. A program that
/// cannot start fails at once, with no message. With `poll` the wait is
/// active and may end the program (Platform::Run).
RunResult RunAndWait(Platform& platform, const std::string& command_line,
                     const std::function<bool()>& poll = {});

/// What became of an archive command, for callers that check it.
enum class ArchiveOutcome {
  kDone,              // the archiver ran and exited with 0 (and, to compress, wrote the archive)
  kArchiverNotFound,  // the search found no archiver ("File Not Found" box shown)
  kFailed,            // could not be started, or exited with another code
  kNotWritten,        // compression exited with 0 but wrote no archive
  kCancelled,         // the run was cancelled while the archiver ran: it was ended and its
                      // partial output removed
};

/// What CreateZipArchive did, and the archive name it used: `name` cleaned
/// (" " to "_", then "." to "-"), or as it was given when no archiver was
/// found.
struct ZipResult {
  ArchiveOutcome outcome;
  std::string name;
};

/// While the archiver runs, the window keeps taking input and the run's
/// watcher is told of the wait (the archive stage); a cancelled run ends the
/// archiver (kCancelled).
///
/// Builds and runs "<archiver> -add -path=full <folder><name> @<source>" (list
/// file) or "<archiver> -add -rec -path=relative <folder><name> <source>",
/// with `name` cleaned; each path argument holding a blank is quoted. An empty `archiver_path`
/// looks for the archiver under the current drive. An archive <folder><name>.ZIP left from an
/// earlier run is set aside first: kDone only when the archiver wrote a new one; otherwise the old
/// one is put back (so a caller never takes the old archive for the new one by its presence).
[[nodiscard]] ZipResult CreateZipArchive(Session& program, std::string name,
                                         const std::string& folder, const std::string& source,
                                         bool use_list_file, const std::string& archiver_path);

/// Builds and runs "<archiver> -extract -dir <archive folder><name>
/// <destination>", the path arguments quoted when they hold a blank. The
/// archiver is `archiver_path` when that program is there, else the one the
/// search of CreateZipArchive finds, else <drive>:\ORVEL\VER14\TOOLS\PkZip25.
/// kDone only when every entry was extracted.
ArchiveOutcome ExtractZipArchive(Session& program, const std::string& name,
                                 std::string archive_folder, const std::string& destination,
                                 const std::string& archiver_path);

}  // namespace zr

#endif  // ZARIREVO_ARCHIVE_ARCHIVE_COMMANDS_H_
