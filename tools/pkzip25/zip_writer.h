// Writing an archive: adds files to a new archive or updates an existing one.
//
// Written with libzip: a well-kept library, packaged by Debian, that writes
// standard deflated entries with DOS dates, Zip64 when needed and UTF-8 names
// that Info-ZIP and Python read; it reads each file's data only while writing
// (streamed, never a whole file in memory), and it writes the new archive to a
// temporary file in the archive's own folder and renames it over the archive
// only when everything was written, so an interrupted or failed run leaves the
// previous archive (or none) in place, never a damaged one.
#ifndef ZARIREVO_TOOLS_PKZIP25_ZIP_WRITER_H_
#define ZARIREVO_TOOLS_PKZIP25_ZIP_WRITER_H_

#include <string>
#include <vector>

namespace pkzip {

struct FileToAdd {
  std::string host_path;   // the file to read
  std::string entry_name;  // its name in the archive, "/" separated
};

/// Adds `files` to the archive at `archive_host`, creating it when missing.
/// An entry whose name equals a file's entry name without regard to case is
/// replaced. A new archive with no files is written as a valid empty
/// archive. On failure returns false with `error` set and leaves the archive
/// as it was.
bool WriteArchive(const std::string& archive_host, const std::vector<FileToAdd>& files,
                  std::string* error);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_ZIP_WRITER_H_
