// Writing an archive: adds files to a new archive or updates an existing one.
//
// Written with libzip: a well-kept library, packaged by Debian, that writes
// standard deflated entries with DOS dates, Zip64 when needed and UTF-8 names
// that Info-ZIP and Python read; it writes the new archive to a temporary
// file in the archive's own folder and renames it over the archive only when
// everything was written, so an interrupted or failed run leaves the previous
// archive (or none) in place, never a damaged one.
//
// The deflating, nearly all of the work, runs on worker threads, one per
// processor: each deflates whole files ahead of libzip (small ones several at
// a time, so that two processors share small files too), in the order libzip
// writes the entries, and libzip copies the deflated data into the archive
// as it comes (a data source that hands over compressed data, which libzip
// writes unchanged). At most a bounded amount of deflated data waits to be
// written; files larger than a few megabytes are read and deflated by libzip
// itself while it writes them, streamed, never whole in memory. A new
// archive is gathered in memory a megabyte at a time and written in large
// pieces (libzip's own file would cost a seek, a read and a write for every
// entry). Each small file is opened and read once, by its worker: one that
// cannot be read then is left out and the archive written again without it,
// as libzip has been given its entry already. A worker reads a file of up to
// 8 MB whole and deflates it in one call with libdeflate at level 6 (nearly
// twice as fast as zlib on small files, and a little smaller); a larger one,
// or one that has grown since its stat, it deflates with zlib as libzip would
// (level 6, the same window and memory level), streamed, taking in the bytes
// already read. Every entry is raw deflate (method 8); its bytes differ with
// the way it went, its content does not.
#ifndef ZARIREVO_TOOLS_PKZIP25_ZIP_WRITER_H_
#define ZARIREVO_TOOLS_PKZIP25_ZIP_WRITER_H_

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pkzip {

struct FileToAdd {
  std::string host_path;   // the file to read
  std::string entry_name;  // its name in the archive, "/" separated
  /// Its stat when the caller has made it already; otherwise it is made here.
  std::optional<struct stat> info = std::nullopt;
};

/// stat() of a host path, by its UTF-16 name on Windows; 0 or -1 with errno.
int StatFile(const std::string& host_path, struct stat* info);

/// How the deflating is shared out. The defaults suit the program; tests
/// narrow them to reach every path with small files.
struct WriteOptions {
  /// Worker threads that deflate; 0 lets libzip deflate every file on the
  /// calling thread as it writes it. Default: one per processor.
  unsigned workers = DefaultWorkers();
  /// Files up to this size go to the workers; larger ones are streamed by libzip.
  std::uint64_t largest_for_workers = std::uint64_t{8} << 20;
  /// Files up to this size (by their stat) a worker reads whole and deflates
  /// with libdeflate; larger ones it streams through zlib. A worker keeps its
  /// read buffer from file to file up to a megabyte; a larger one is let go
  /// after its file.
  std::uint64_t largest_whole_file = std::uint64_t{8} << 20;
  /// Deflated data, counted by the size of the files it comes from, that may
  /// wait to be written.
  std::uint64_t window_bytes = std::uint64_t{32} << 20;
  /// Files that may be deflated ahead of the one being written.
  unsigned window_files = 256;

  static unsigned DefaultWorkers();
};

/// A file that could not be read when its turn came: left out of the archive.
struct FileLeftOut {
  std::size_t file;    // its place in the files given
  std::string reason;  // the host's words
};

/// Adds `files` to the archive at `archive_host`, creating it when missing.
/// An entry whose name equals a file's entry name without regard to case is
/// replaced. A new archive with no files is written as a valid empty
/// archive. A file that cannot be read is left out and named in `left_out`
/// (without `left_out`, it fails the whole write). On failure returns false
/// with `error` set and leaves the archive as it was.
bool WriteArchive(const std::string& archive_host, const std::vector<FileToAdd>& files,
                  std::string* error, const WriteOptions& options = WriteOptions(),
                  std::vector<FileLeftOut>* left_out = nullptr);

}  // namespace pkzip

#endif  // ZARIREVO_TOOLS_PKZIP25_ZIP_WRITER_H_
