// Checking an archive: every entry decompressed and its CRC-32 checked (the
// archive is whole), and, when the files that went into it are given, each
// of them in it exactly once with the size and CRC-32 it had when it was read.
// The backup job calls VerifyBackupArchive after the archiver, so that "Zip
// eseguito" is said only of an archive that holds what was collected; the
// console's verify and the server copy call CheckArchive.
//
// The archive is read entry by entry (platform/zip_reading.h): memory holds
// its directory and the list of packed files, never the archive.
#ifndef ZARIREVO_ARCHIVE_ARCHIVE_CHECK_H_
#define ZARIREVO_ARCHIVE_ARCHIVE_CHECK_H_

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/session.h"

namespace zr {

/// A file that went into an archive: its name there ("ORVEL/VER14/PP1.TXT")
/// and its size and CRC-32 when it was read.
struct PackedFile {
  std::string name;
  FileSum sum;
};

struct ArchiveCheckRequest {
  std::string archive;                  // Windows-form path
  std::vector<PackedFile> packed = {};  // empty: the archive's integrity only
  /// When set, fills `packed` (or returns why it cannot) while the entries
  /// are being decompressed: the sums of the sources are read meanwhile.
  std::function<std::string(std::vector<PackedFile>*)> gather = {};
};

enum class EntryProblem {
  kMissing,      // a packed file has no entry
  kTwice,        // a packed file has more than one entry
  kSizeDiffers,  // the entry's size is not the file's
  kCrcDiffers,   // the entry's CRC-32 is not the file's
  kDamaged,      // the entry cannot be decompressed, or its bytes fail its CRC-32
};

struct EntryFinding {
  std::string name;  // the entry's (or packed file's) name
  EntryProblem problem;
  std::string detail;  // sizes, or the reader's reason
};

struct ArchiveCheckReport {
  std::string archive;
  Status opened;            // why the archive (or what it is checked against) could not be read
  std::size_t files = 0;    // file entries decompressed and checked
  std::uint64_t bytes = 0;  // their bytes, uncompressed
  std::vector<EntryFinding> findings;

  bool whole() const { return opened.ok() && findings.empty(); }
};

/// Reads every entry of `request.archive` and compares it with `request.packed`.
ArchiveCheckReport CheckArchive(Platform& platform, const ArchiveCheckRequest& request);

/// The files an archive list names, as the archiver names them (the full path
/// against the current folder, less its drive, "/" separated; a file listed
/// twice once), each with its size and CRC-32: from `known` (by line,
/// without regard to case) when there, otherwise read now. False with `why` when the list or a listed file
/// cannot be read.
bool PackedFilesOfList(Platform& platform, const std::string& list_file,
                       std::vector<PackedFile>* packed, std::string* why,
                       const FileSums& known = {});

/// "missing", "twice", "size", "crc", "damaged": a finding's kind for scripts.
const char* ProblemName(EntryProblem problem);
/// What is wrong with an entry, in the message area's words.
std::string FindingText(const EntryFinding& finding);

/// The check of the archive a backup job just made from the archive list,
/// against the sums its copies took of the files they read (the archiver's
/// own read is compared with another read of the same files; the files only
/// entered in the list are read again):
/// "Archivio verificato: N file" when it is whole; otherwise an alarm line
/// for each entry that differs (at most twenty, then their count), a line
/// saying the archive is kept as it is, and a box. True when whole.
bool VerifyBackupArchive(Session& program, const std::string& archive);

}  // namespace zr

#endif  // ZARIREVO_ARCHIVE_ARCHIVE_CHECK_H_
