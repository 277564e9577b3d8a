#include "zip_writer.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/win32_text.h"
#endif

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "entry_names.h"
#include "platform/host_files.h"
#include "platform/host_portable.h"

namespace pkzip {

namespace {

namespace fs = std::filesystem;

struct ZipDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

#ifdef _WIN32
// Windows: the bytes unchanged (no CR LF translation), the data flushed by
// _commit, and the rename allowed over a file that is there.
int fsync(int fd) { return ::_commit(fd); }
int RenameOver(const char* from, const char* to) {
  if (::MoveFileExW(zr::win32::Widen(from).c_str(), zr::win32::Widen(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return 0;
  }
  errno = EACCES;
  return -1;
}
constexpr int kReadFlags = O_RDONLY | O_BINARY | O_NOINHERIT;
// The names in UTF-16: the narrow calls would take them in the ANSI code
// page, which lacks most letters before the UTF-8 code page (Windows 10 1903).
int OpenFile(const std::string& path) {
  return ::_wopen(zr::win32::Widen(path).c_str(), kReadFlags);
}
int StatHostFile(const std::string& path, struct stat* info) {
  struct _stat64 wide {};
  if (::_wstat64(zr::win32::Widen(path).c_str(), &wide) != 0) return -1;
  *info = {};
  info->st_mode = wide.st_mode;
  info->st_size = static_cast<decltype(info->st_size)>(wide.st_size);
  info->st_mtime = static_cast<decltype(info->st_mtime)>(wide.st_mtime);
  return 0;
}
// A new file for writing that did not exist; the mode before the umask.
int CreateNewFile(const std::string& path) {
  return ::_wopen(zr::win32::Widen(path).c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
bool WriteAt(int fd, const unsigned char* bytes, std::size_t size, std::uint64_t offset) {
  if (::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
  while (size > 0) {
    const int put = ::_write(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 30)));
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}
int RemoveFile(const std::string& path) { return ::_wunlink(zr::win32::Widen(path).c_str()); }
#else
int RenameOver(const char* from, const char* to) { return std::rename(from, to); }
int OpenFile(const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC); }
int StatHostFile(const std::string& path, struct stat* info) { return stat(path.c_str(), info); }
int CreateNewFile(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
bool WriteAt(int fd, const unsigned char* bytes, std::size_t size, std::uint64_t offset) {
  while (size > 0) {
    const ssize_t put = pwrite(fd, bytes, size, static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
    offset += static_cast<std::uint64_t>(put);
  }
  return true;
}
int RemoveFile(const std::string& path) { return unlink(path.c_str()); }
#endif

// Where libzip writes a new archive: a temporary file beside it, renamed over
// it when libzip commits, removed when it rolls back. libzip writes every
// entry's local header, then its data, then seeks back to write the header
// again with the sizes and CRC-32; through a file stream that costs a seek,
// a read and a write for every entry. Here the bytes gather in memory (up to
// a megabyte), the rewritten header lands in them, and they go to the file
// in large writes.
class NewArchiveOutput {
 public:
  explicit NewArchiveOutput(std::string path) : path_(std::move(path)) { zip_error_init(&error_); }
  ~NewArchiveOutput() {
    if (fd_ >= 0) Abandon();
    zip_error_fini(&error_);
  }
  NewArchiveOutput(const NewArchiveOutput&) = delete;
  NewArchiveOutput& operator=(const NewArchiveOutput&) = delete;

  static zip_int64_t Callback(void* user_data, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    return static_cast<NewArchiveOutput*>(user_data)->Command(data, length, command);
  }

 private:
  static constexpr std::size_t kFlushAt = std::size_t{1} << 20;

  zip_int64_t Fail(int zip_code, int system_code) {
    zip_error_set(&error_, zip_code, system_code);
    return -1;
  }

  zip_int64_t Command(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_WRITABLE;
      case ZIP_SOURCE_STAT:
        // There is no archive yet: libzip starts a new one.
        return Fail(ZIP_ER_READ, ENOENT);
      case ZIP_SOURCE_BEGIN_WRITE:
        return Begin();
      case ZIP_SOURCE_WRITE:
        return Put(static_cast<const unsigned char*>(data), static_cast<std::size_t>(length));
      case ZIP_SOURCE_SEEK_WRITE: {
        const zip_int64_t to = zip_source_seek_compute_offset(
            position_, std::max(end_, base_ + buffer_.size()), data, length, &error_);
        if (to < 0) return -1;
        position_ = static_cast<std::uint64_t>(to);
        return 0;
      }
      case ZIP_SOURCE_TELL_WRITE:
        return static_cast<zip_int64_t>(position_);
      case ZIP_SOURCE_COMMIT_WRITE: {
        const bool written = Flush();
        const bool closed = written && close(fd_) == 0;
        if (!written) close(fd_);
        fd_ = -1;
        if (!closed || RenameOver(temporary_.c_str(), path_.c_str()) != 0) {
          const int code = errno;
          RemoveFile(temporary_);
          return Fail(ZIP_ER_WRITE, code);
        }
        return 0;
      }
      case ZIP_SOURCE_ROLLBACK_WRITE:
        Abandon();
        return 0;
      case ZIP_SOURCE_REMOVE:
        if (RemoveFile(path_) != 0 && errno != ENOENT) return Fail(ZIP_ER_REMOVE, errno);
        return 0;
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_FREE:
        return 0;
      default:
        // Reading: there is nothing to read in an archive being made.
        return Fail(ZIP_ER_OPNOTSUPP, 0);
    }
  }

  zip_int64_t Begin() {
    for (int attempt = 0; attempt < 100; ++attempt) {
      temporary_ = path_ + "." + std::to_string(attempt) + std::to_string(std::rand() % 100000);
      fd_ = CreateNewFile(temporary_);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) return Fail(ZIP_ER_TMPOPEN, errno);
    buffer_.clear();
    buffer_.reserve(kFlushAt + (64 << 10));
    base_ = position_ = end_ = 0;
    return 0;
  }

  // The bytes at the current position: into the buffer when they continue or
  // overwrite it; otherwise the buffer goes to the file first.
  zip_int64_t Put(const unsigned char* bytes, std::size_t size) {
    if (position_ < base_ || position_ > base_ + buffer_.size()) {
      if (!Flush()) return Fail(ZIP_ER_WRITE, errno);
      base_ = position_;
    }
    const std::size_t at = static_cast<std::size_t>(position_ - base_);
    if (at + size > buffer_.size()) buffer_.resize(at + size);
    std::memcpy(buffer_.data() + at, bytes, size);
    position_ += size;
    if (buffer_.size() >= kFlushAt && !Flush()) return Fail(ZIP_ER_WRITE, errno);
    return static_cast<zip_int64_t>(size);
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    if (!WriteAt(fd_, buffer_.data(), buffer_.size(), base_)) return false;
    base_ += buffer_.size();
    end_ = std::max(end_, base_);
    buffer_.clear();
    return true;
  }

  void Abandon() {
    close(fd_);
    fd_ = -1;
    RemoveFile(temporary_);
  }

  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  std::vector<unsigned char> buffer_;  // bytes from file offset base_ on
  std::uint64_t base_ = 0;
  std::uint64_t position_ = 0;
  std::uint64_t end_ = 0;  // the file's length as written so far
  zip_error_t error_;
};

// Writes `bytes` to a temporary file beside `path`, then renames it over `path`.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *error = "cannot create a temporary file beside " + path + ": " + std::strerror(errno);
    return false;
  }
#ifdef _WIN32
  ::_setmode(fd, O_BINARY);
#endif
  const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  const bool synced = fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !synced || !closed || chmod(temp.c_str(), 0644) != 0 ||
      RenameOver(temp.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

// An archive without entries: the end-of-central-directory record alone.
std::string EmptyArchiveBytes() {
  std::string bytes(22, '\0');
  bytes[0] = 'P';
  bytes[1] = 'K';
  bytes[2] = 5;
  bytes[3] = 6;
  return bytes;
}

// Deflated data of one file, grown as needed and reused from file to file.
struct Buffer {
  std::unique_ptr<unsigned char[]> bytes;
  std::size_t capacity = 0;
  std::size_t size = 0;

  void Reserve(std::size_t wanted) {
    if (wanted <= capacity) return;
    std::unique_ptr<unsigned char[]> larger(new unsigned char[wanted]);
    if (size > 0) std::memcpy(larger.get(), bytes.get(), size);
    bytes = std::move(larger);
    capacity = wanted;
  }
};

// Deflates the files of one worker, one at a time. A file of at most
// `largest_whole` bytes (by its stat) is read whole into a buffer kept from
// file to file and deflated in one call by libdeflate (level 6: faster than
// zlib on small files, and a little smaller). A larger file, or one that has
// grown past its stat, goes through a zlib deflate stream with libzip's
// settings (level 6, raw deflate with a 32 KB window, memory level 9), set up
// once and reset for every file. Either way the output is raw deflate data.
class Deflater {
 public:
  explicit Deflater(std::uint64_t largest_whole) : largest_whole_(largest_whole) {
    ok_ = deflateInit2(&stream_, 6, Z_DEFLATED, -MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) ==
          Z_OK;
    compressor_ = libdeflate_alloc_compressor(6);
  }
  ~Deflater() {
    if (ok_) deflateEnd(&stream_);
    libdeflate_free_compressor(compressor_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Deflates the file at `path` into `out`: its size and CRC-32 in `size` and
  // `crc`. False with `errno_value` set when it cannot be read.
  bool Run(const std::string& path, std::uint64_t expected_size, Buffer* out, std::uint64_t* size,
           std::uint32_t* crc, int* errno_value) {
    if (!ok_ || compressor_ == nullptr) {
      *errno_value = ENOMEM;
      return false;
    }
    const int fd = OpenFile(path);
    if (fd < 0) {
      *errno_value = errno;
      return false;
    }
    out->size = 0;
    whole_.size = 0;
    bool ok = true;
    if (expected_size <= largest_whole_) {
      ok = ReadWhole(fd, expected_size, errno_value);
      if (ok && whole_.size <= expected_size) {
        close(fd);
        ok = DeflateWhole(out, size, crc, errno_value);
        LetGoOfLargeWhole();
        return ok;
      }
    }
    // Too large to be read whole, or grown since the stat: then the bytes
    // read already go first into the stream.
    ok = ok && Stream(fd, expected_size, out, size, crc, errno_value);
    close(fd);
    LetGoOfLargeWhole();
    return ok;
  }

 private:
  // A larger whole-file buffer is let go after its file, so that a worker
  // keeps little memory between files.
  void LetGoOfLargeWhole() {
    if (whole_.capacity > kKeptWhole) whole_ = Buffer();
  }
  static constexpr std::size_t kKeptWhole = std::size_t{1} << 20;

  // Reads the file into whole_, at most one byte more than `expected_size`:
  // a read that stops at the expected size is the end of the file (a small
  // file takes one read), a full buffer means that the file has grown.
  bool ReadWhole(int fd, std::uint64_t expected_size, int* errno_value) {
    const std::size_t capacity = static_cast<std::size_t>(expected_size) + 1;
    whole_.size = 0;
    whole_.Reserve(capacity);
    while (whole_.size < capacity) {
      const ssize_t got =
          read(fd, whole_.bytes.get() + whole_.size,
               static_cast<unsigned>(std::min<std::size_t>(capacity - whole_.size, 1 << 30)));
      if (got < 0) {
        if (errno == EINTR) continue;
        *errno_value = errno;
        return false;
      }
      if (got == 0) break;
      whole_.size += static_cast<std::size_t>(got);
      if (whole_.size == expected_size) break;
    }
    return true;
  }

  // Deflates whole_ in one call.
  bool DeflateWhole(Buffer* out, std::uint64_t* size, std::uint32_t* crc, int* errno_value) {
    out->Reserve(libdeflate_deflate_compress_bound(compressor_, whole_.size));
    out->size = libdeflate_deflate_compress(compressor_, whole_.bytes.get(), whole_.size,
                                            out->bytes.get(), out->capacity);
    // Within the bound the output always fits: nothing written is a failure.
    if (out->size == 0) {
      *errno_value = EIO;
      return false;
    }
    *size = whole_.size;
    *crc = libdeflate_crc32(0, whole_.bytes.get(), whole_.size);
    return true;
  }

  // Deflates the bytes in whole_, then the rest of the file, through the zlib
  // stream.
  bool Stream(int fd, std::uint64_t expected_size, Buffer* out, std::uint64_t* size,
              std::uint32_t* crc, int* errno_value) {
    deflateReset(&stream_);
    out->Reserve(deflateBound(&stream_, static_cast<uLong>(expected_size)) + 64);
    uLong running_crc = crc32(0, nullptr, 0);
    if (whole_.size > 0) {
      running_crc = crc32(running_crc, whole_.bytes.get(), static_cast<uInt>(whole_.size));
    }
    std::uint64_t total = whole_.size;
    bool finished = false;
    if (whole_.size > 0 && !Feed(whole_.bytes.get(), whole_.size, Z_NO_FLUSH, out, &finished)) {
      *errno_value = EIO;
      return false;
    }
    while (!finished) {
      ssize_t got = read(fd, input_, sizeof input_);
      if (got < 0) {
        if (errno == EINTR) continue;
        *errno_value = errno;
        return false;
      }
      running_crc = crc32(running_crc, input_, static_cast<uInt>(got));
      total += static_cast<std::uint64_t>(got);
      // A short read that reaches the size the stat gave is the end of the
      // file: a small file takes one read, not a second one that finds nothing.
      const bool end = got == 0 || (static_cast<std::size_t>(got) < sizeof input_ &&
                                    total == expected_size);
      if (!Feed(input_, static_cast<std::size_t>(got), end ? Z_FINISH : Z_NO_FLUSH, out,
                &finished)) {
        *errno_value = EIO;
        return false;
      }
    }
    *size = total;
    *crc = static_cast<std::uint32_t>(running_crc);
    return true;
  }

  // Gives `count` bytes to the zlib stream, growing `out` as the deflated
  // data needs; `finished` once the stream has ended. False on a zlib error.
  bool Feed(unsigned char* bytes, std::size_t count, int flush, Buffer* out, bool* finished) {
    stream_.next_in = bytes;
    stream_.avail_in = static_cast<uInt>(count);
    while (true) {
      if (out->capacity - out->size < 64) out->Reserve(out->capacity * 2 + 4096);
      stream_.next_out = out->bytes.get() + out->size;
      stream_.avail_out = static_cast<uInt>(
          std::min<std::size_t>(out->capacity - out->size, std::size_t{1} << 30));
      const uInt room = stream_.avail_out;
      const int result = deflate(&stream_, flush);
      out->size += room - stream_.avail_out;
      if (result == Z_STREAM_END) {
        *finished = true;
        return true;
      }
      if (result != Z_OK && result != Z_BUF_ERROR) return false;
      // More output to come while the output space ran out; otherwise the
      // input is used up and the next block of the file is wanted.
      if (stream_.avail_out != 0) return true;
    }
  }

  const std::uint64_t largest_whole_;
  z_stream stream_{};
  bool ok_ = false;
  libdeflate_compressor* compressor_ = nullptr;
  Buffer whole_;  // the file read whole, or its first bytes when it has grown
  unsigned char input_[256 * 1024];
};

class DeflatePipeline;

// One file deflated by the workers, and the libzip data source that hands
// its deflated data over when libzip writes its entry.
struct Job {
  enum class State { kWaiting, kDeflating, kDone, kWritten };

  DeflatePipeline* pipeline = nullptr;
  std::string host_path;
  std::uint64_t expected_size = 0;  // from the stat before adding
  mode_t mode = 0;
  time_t mtime = 0;

  State state = State::kWaiting;
  bool failed = false;
  int errno_value = 0;
  Buffer data;
  std::uint64_t size = 0;
  std::uint64_t compressed_size = 0;
  std::uint32_t crc = 0;

  std::size_t read_position = 0;  // used by libzip's thread only
  zip_error_t error{};
};

// Deflates jobs on worker threads in the order libzip will ask for them,
// keeping at most a window of deflated data that libzip has not written yet.
// libzip's thread asks for a job with Wait and gives it back with Release; a
// job no worker has started yet is deflated on libzip's thread itself, so
// the order in which libzip really asks never makes anyone wait for ever.
class DeflatePipeline {
 public:
  explicit DeflatePipeline(const WriteOptions& options) : options_(options) {}
  ~DeflatePipeline() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  DeflatePipeline(const DeflatePipeline&) = delete;
  DeflatePipeline& operator=(const DeflatePipeline&) = delete;

  Job* NewJob(const std::string& host_path, const struct stat& info) {
    jobs_.push_back(std::make_unique<Job>());
    Job* job = jobs_.back().get();
    job->pipeline = this;
    job->host_path = host_path;
    job->expected_size = static_cast<std::uint64_t>(info.st_size);
    job->mode = info.st_mode;
    job->mtime = info.st_mtime;
    zip_error_init(&job->error);
    return job;
  }

  // Starts the workers on `order`, the jobs in the order libzip writes them.
  void Start(std::vector<Job*> order) {
    order_ = std::move(order);
    const unsigned count =
        static_cast<unsigned>(std::min<std::size_t>(options_.workers, order_.size()));
    for (unsigned i = 0; i < count; ++i) {
      try {
        workers_.emplace_back([this] { WorkerLoop(); });
      } catch (const std::system_error&) {
        break;  // fewer workers; libzip's thread deflates what nobody took
      }
    }
  }

  // Blocks until `job` is deflated; true when it could be read. Its sizes and
  // CRC stay known once it was written; `need_data` asks for the deflated
  // data again after that (libzip reading an entry a second time).
  bool Wait(Job* job, bool need_data) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (job->state == Job::State::kWaiting || (job->state == Job::State::kWritten && need_data)) {
      Claim(job);
      lock.unlock();
      if (!own_deflater_) own_deflater_ = std::make_unique<Deflater>(options_.largest_whole_file);
      Deflate(job, *own_deflater_);
      lock.lock();
      job->state = Job::State::kDone;
    }
    done_.wait(lock, [job] {
      return job->state == Job::State::kDone || job->state == Job::State::kWritten;
    });
    return !job->failed;
  }

  // libzip has written `job`: its data goes, making room in the window.
  void Release(Job* job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (job->state != Job::State::kDone) return;
      job->state = Job::State::kWritten;
      in_flight_bytes_ -= job->expected_size;
      --in_flight_files_;
      // Kept for the next jobs while the kept ones stay within the window.
      if (job->data.capacity > 0 && spare_bytes_ + job->data.capacity <= options_.window_bytes) {
        spare_bytes_ += job->data.capacity;
        spare_.push_back(std::move(job->data));
      }
      job->data = Buffer();
      // The workers are woken when a whole batch fits again, not for every
      // file written: one wake-up for each batch.
      if (!RoomForBatch()) return;
    }
    work_.notify_all();
  }

 private:
  void Claim(Job* job) {
    job->state = Job::State::kDeflating;
    in_flight_bytes_ += job->expected_size;
    ++in_flight_files_;
    if (job->data.capacity == 0 && !spare_.empty()) {
      spare_bytes_ -= spare_.back().capacity;
      job->data = std::move(spare_.back());
      spare_.pop_back();
    }
  }

  bool RoomForBatch() const {
    return in_flight_files_ == 0 ||
           (in_flight_files_ + kBatchFiles <= options_.window_files &&
            in_flight_bytes_ + kBatchBytes <= options_.window_bytes);
  }

  // The next job in order that nobody has taken, when the window has room.
  Job* NextJob() {
    while (next_ < order_.size() && order_[next_]->state != Job::State::kWaiting) ++next_;
    if (next_ == order_.size()) return nullptr;
    Job* job = order_[next_];
    const bool room =
        in_flight_files_ == 0 || (in_flight_files_ < options_.window_files &&
                                  in_flight_bytes_ + job->expected_size <= options_.window_bytes);
    return room ? job : nullptr;
  }

  void WorkerLoop() {
    Deflater deflater(options_.largest_whole_file);
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
      Job* job = nullptr;
      work_.wait(lock, [&] {
        if (stop_) return true;
        job = RoomForBatch() ? NextJob() : nullptr;
        return job != nullptr || next_ >= order_.size();
      });
      if (job == nullptr) return;  // stopped, or nothing left to take
      // Small files are taken several at a time, so that one lock and one
      // wake-up serve a batch instead of every file.
      Job* batch[kBatchFiles];
      std::size_t taken = 0;
      std::uint64_t bytes = 0;
      do {
        Claim(job);
        batch[taken++] = job;
        bytes += job->expected_size;
      } while (taken < kBatchFiles && bytes < kBatchBytes && (job = NextJob()) != nullptr);
      lock.unlock();
      for (std::size_t i = 0; i < taken; ++i) Deflate(batch[i], deflater);
      lock.lock();
      for (std::size_t i = 0; i < taken; ++i) batch[i]->state = Job::State::kDone;
      done_.notify_all();
    }
  }

  static constexpr std::size_t kBatchFiles = 16;
  static constexpr std::uint64_t kBatchBytes = 64 * 1024;

  static void Deflate(Job* job, Deflater& deflater) {
    job->failed = !deflater.Run(job->host_path, job->expected_size, &job->data, &job->size,
                                &job->crc, &job->errno_value);
    job->compressed_size = job->failed ? 0 : job->data.size;
  }

  const WriteOptions options_;
  std::deque<std::unique_ptr<Job>> jobs_;
  std::vector<Job*> order_;
  std::vector<std::thread> workers_;
  std::unique_ptr<Deflater> own_deflater_;  // libzip's thread, for jobs nobody took

  std::mutex mutex_;
  std::condition_variable work_;  // a worker may go on: room in the window, or stop
  std::condition_variable done_;  // a job has been deflated
  std::size_t next_ = 0;
  std::uint64_t in_flight_bytes_ = 0;
  unsigned in_flight_files_ = 0;
  std::vector<Buffer> spare_;  // buffers of written jobs, for the next ones
  std::uint64_t spare_bytes_ = 0;
  bool stop_ = false;
};

// The libzip data source of a job: deflated data, with the CRC-32 and the
// sizes that libzip needs to write it unchanged.
zip_int64_t JobSource(void* user_data, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  Job* job = static_cast<Job*>(user_data);
  switch (command) {
    case ZIP_SOURCE_SUPPORTS:
      return ZIP_SOURCE_SUPPORTS_READABLE |
             zip_source_make_command_bitmap(ZIP_SOURCE_SUPPORTS, ZIP_SOURCE_GET_FILE_ATTRIBUTES,
                                            -1);
    case ZIP_SOURCE_STAT:
    case ZIP_SOURCE_OPEN: {
      if (!job->pipeline->Wait(job, command == ZIP_SOURCE_OPEN)) {
        zip_error_set(&job->error, ZIP_ER_READ, job->errno_value);
        return -1;
      }
      if (command == ZIP_SOURCE_OPEN) {
        job->read_position = 0;
        return 0;
      }
      zip_stat_t* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &job->error);
      if (st == nullptr) return -1;
      zip_stat_init(st);
      st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD |
                  ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_MTIME;
      st->size = job->size;
      st->comp_size = job->compressed_size;
      st->crc = job->crc;
      st->comp_method = ZIP_CM_DEFLATE;
      st->encryption_method = ZIP_EM_NONE;
      st->mtime = job->mtime;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_READ: {
      const std::size_t left = job->data.size - job->read_position;
      const std::size_t count = std::min<std::size_t>(left, length);
      if (count > 0) std::memcpy(data, job->data.bytes.get() + job->read_position, count);
      job->read_position += count;
      return static_cast<zip_int64_t>(count);
    }
    case ZIP_SOURCE_CLOSE:
      job->pipeline->Release(job);
      return 0;
    case ZIP_SOURCE_GET_FILE_ATTRIBUTES: {
      // As libzip's file source gives them: Unix, with the file's mode.
      auto* attributes = ZIP_SOURCE_GET_ARGS(zip_file_attributes_t, data, length, &job->error);
      if (attributes == nullptr) return -1;
      zip_file_attributes_init(attributes);
      attributes->valid =
          ZIP_FILE_ATTRIBUTES_HOST_SYSTEM | ZIP_FILE_ATTRIBUTES_EXTERNAL_FILE_ATTRIBUTES;
      attributes->host_system = ZIP_OPSYS_UNIX;
      attributes->external_file_attributes = (static_cast<zip_uint32_t>(job->mode) & 0xffff) << 16;
      return sizeof(zip_file_attributes_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&job->error, data, length);
    case ZIP_SOURCE_FREE:
      zip_error_fini(&job->error);
      return 0;
    default:
      zip_error_set(&job->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

int StatFile(const std::string& host_path, struct stat* info) {
  return StatHostFile(host_path, info);
}

unsigned WriteOptions::DefaultWorkers() {
  const unsigned processors = std::thread::hardware_concurrency();
  return std::clamp(processors, 1u, 16u);
}

namespace {

enum class Attempt { kWritten, kUnread, kFailed };

// One attempt at writing the archive with the files not `skipped`. kUnread
// when a file handed to the workers could not be read (`unread` names them,
// with the errno of each); then nothing was written.
Attempt WriteOnce(const std::string& archive_host, const std::vector<FileToAdd>& files,
                  const std::vector<bool>& skipped, std::string* error,
                  const WriteOptions& options,
                  std::vector<std::pair<std::size_t, int>>* unread) {
  std::error_code ec;
  const bool exists = fs::exists(zr::host::FsPath(archive_host), ec);

  // Declared before the archive, so that they outlive libzip's last use of
  // its data sources (when the archive is closed or discarded).
  NewArchiveOutput output(archive_host);
  DeflatePipeline pipeline(options);
  std::map<zip_uint64_t, Job*> jobs_by_entry;
  std::map<Job*, std::size_t> file_of_job;

  int code = 0;
  ZipHandle archive;
  if (exists) {
    // An existing archive that libzip cannot read as one (damaged, or not an
    // archive) is left alone rather than overwritten.
    archive.reset(zip_open(archive_host.c_str(), ZIP_CHECKCONS, &code));
  } else {
    zip_error_t open_error;
    zip_error_init(&open_error);
    zip_source_t* target = zip_source_function_create(NewArchiveOutput::Callback, &output,
                                                      &open_error);
    if (target != nullptr) {
      archive.reset(zip_open_from_source(target, ZIP_CREATE | ZIP_EXCL, &open_error));
      if (!archive) zip_source_free(target);
    }
    code = zip_error_code_zip(&open_error);
    zip_error_fini(&open_error);
  }
  if (!archive) {
    *error = "cannot open archive " + archive_host + ": " + ZipErrorText(code);
    return Attempt::kFailed;
  }

  // Existing entries by name without regard to case; later duplicates of a
  // name are removed when that name is replaced.
  std::multimap<std::string, zip_uint64_t> existing;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
    if (name != nullptr) existing.emplace(FoldCase(name), static_cast<zip_uint64_t>(i));
  }

  for (std::size_t f = 0; f < files.size(); ++f) {
    if (skipped[f]) continue;
    const FileToAdd& file = files[f];
    struct stat info {};
    if (file.info) {
      info = *file.info;
    } else if (StatHostFile(file.host_path, &info) != 0) {
      *error = "cannot read " + file.host_path + ": " + std::strerror(errno);
      return Attempt::kFailed;
    }
    Job* job = nullptr;
    zip_source_t* source = nullptr;
    if (options.workers > 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) <= options.largest_for_workers) {
      job = pipeline.NewJob(file.host_path, info);
      file_of_job[job] = f;
      source = zip_source_function(archive.get(), JobSource, job);
    } else {
      source = zip_source_file(archive.get(), file.host_path.c_str(), 0, 0);
    }
    if (source == nullptr) {
      *error = "cannot read " + file.host_path + ": " + zip_strerror(archive.get());
      return Attempt::kFailed;
    }
    zip_int64_t index = -1;
    auto [first, last] = existing.equal_range(FoldCase(file.entry_name));
    if (first != last) {
      index = static_cast<zip_int64_t>(first->second);
      if (zip_file_replace(archive.get(), first->second, source, 0) != 0) index = -1;
      for (auto it = std::next(first); index >= 0 && it != last; ++it) {
        zip_delete(archive.get(), it->second);
        jobs_by_entry.erase(it->second);
      }
      // Renaming keeps the case of the new name ("a.txt" replaced by "A.TXT").
      if (index >= 0 && file.entry_name != zip_get_name(archive.get(), first->second, 0)) {
        zip_file_rename(archive.get(), first->second, file.entry_name.c_str(), ZIP_FL_ENC_GUESS);
      }
    } else {
      index = zip_file_add(archive.get(), file.entry_name.c_str(), source, ZIP_FL_ENC_GUESS);
      if (index >= 0) existing.emplace(FoldCase(file.entry_name), static_cast<zip_uint64_t>(index));
    }
    if (index < 0) {
      *error = "cannot add " + file.entry_name + ": " + zip_strerror(archive.get());
      zip_source_free(source);
      return Attempt::kFailed;
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    // The entry's source is now this file's (a replaced one was let go).
    if (job != nullptr) {
      jobs_by_entry[entry] = job;
    } else {
      jobs_by_entry.erase(entry);
    }
    // Deflate at zlib's default level 6 (libzip alone would take level 9, three
    // times slower for a gain of about 3 %). Data deflated by the workers is
    // already so and is written unchanged.
    if (zip_set_file_compression(archive.get(), entry, ZIP_CM_DEFLATE, 6) != 0 ||
        zip_file_set_mtime(archive.get(), entry, info.st_mtime, 0) != 0) {
      *error = "cannot add " + file.entry_name + ": " + zip_strerror(archive.get());
      return Attempt::kFailed;
    }
  }

  // libzip writes the entries in the order of their indexes.
  std::vector<Job*> order;
  order.reserve(jobs_by_entry.size());
  for (const auto& [entry, job] : jobs_by_entry) order.push_back(job);
  pipeline.Start(std::move(order));

  const bool now_empty = zip_get_num_entries(archive.get(), 0) == 0;
  if (zip_close(archive.get()) != 0) {
    *error = "cannot write archive " + archive_host + ": " + zip_strerror(archive.get());
    for (const auto& [job, f] : file_of_job) {
      if (job->failed) unread->emplace_back(f, job->errno_value);
    }
    return unread->empty() ? Attempt::kFailed : Attempt::kUnread;
  }
  archive.release();  // closed: nothing left to discard
  // libzip removes an archive that ends up without entries; keep a valid empty one.
  if (now_empty && !fs::exists(zr::host::FsPath(archive_host), ec)) {
    return ReplaceFileAtomically(archive_host, EmptyArchiveBytes(), error) ? Attempt::kWritten
                                                                           : Attempt::kFailed;
  }
  return Attempt::kWritten;
}

}  // namespace

bool WriteArchive(const std::string& archive_host, const std::vector<FileToAdd>& files,
                  std::string* error, const WriteOptions& options,
                  std::vector<FileLeftOut>* left_out) {
  std::error_code ec;
  std::vector<bool> skipped(files.size(), false);
  std::size_t remaining = files.size();
  while (true) {
    if (remaining == 0 && !fs::exists(zr::host::FsPath(archive_host), ec)) {
      return ReplaceFileAtomically(archive_host, EmptyArchiveBytes(), error);
    }
    // A file that cannot be read (held by another program, gone since it was
    // listed) is known only when a worker opens it, after libzip was given
    // its entry: it is left out and the archive written again without it.
    std::vector<std::pair<std::size_t, int>> unread;
    switch (WriteOnce(archive_host, files, skipped, error, options, &unread)) {
      case Attempt::kWritten:
        return true;
      case Attempt::kFailed:
        return false;
      case Attempt::kUnread:
        if (left_out == nullptr) return false;
        for (const auto& [f, errno_value] : unread) {
          std::string reason = zr::host::ReadRefusal(files[f].host_path);
          if (reason.empty()) reason = std::strerror(errno_value);
          left_out->push_back({f, std::move(reason)});
          skipped[f] = true;
          --remaining;
        }
        error->clear();
        break;
    }
  }
}

}  // namespace pkzip
