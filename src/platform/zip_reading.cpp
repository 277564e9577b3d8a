#include "platform/zip_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zip.h>
#ifdef _WIN32
#include <io.h>

#include "platform/win32_text.h"
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/host_portable.h"

namespace zr {

namespace {

constexpr std::uint8_t kOsUnix = 3;
constexpr std::uint32_t kUnixTypeMask = 0170000;
constexpr std::uint32_t kUnixLink = 0120000;

// libzip's error as the program says it, with its number for whoever
// looks further ("CRC errato, errore zip 7").
std::string ZipErrorText(int code) {
  static const char* const kTexts[] = {
      "nessun errore",                          // ZIP_ER_OK
      "archivio su più dischi, non gestito",    // ZIP_ER_MULTIDISK
      "file temporaneo non rinominato",         // ZIP_ER_RENAME
      "file non chiuso",                        // ZIP_ER_CLOSE
      "errore di posizionamento nel file",      // ZIP_ER_SEEK
      "errore di lettura",                      // ZIP_ER_READ
      "errore di scrittura",                    // ZIP_ER_WRITE
      "CRC errato",                             // ZIP_ER_CRC
      "archivio già chiuso",                    // ZIP_ER_ZIPCLOSED
      "file inesistente",                       // ZIP_ER_NOENT
      "il file esiste già",                     // ZIP_ER_EXISTS
      "file non aperto",                        // ZIP_ER_OPEN
      "file temporaneo non creato",             // ZIP_ER_TMPOPEN
      "errore di decompressione",               // ZIP_ER_ZLIB
      "memoria insufficiente",                  // ZIP_ER_MEMORY
      "voce modificata",                        // ZIP_ER_CHANGED
      "metodo di compressione non gestito",     // ZIP_ER_COMPNOTSUPP
      "fine del file prima del previsto",       // ZIP_ER_EOF
      "argomento non valido",                   // ZIP_ER_INVAL
      "non è un archivio zip",                  // ZIP_ER_NOZIP
      "errore interno",                         // ZIP_ER_INTERNAL
      "archivio zip incoerente",                // ZIP_ER_INCONS
      "file non eliminato",                     // ZIP_ER_REMOVE
      "voce eliminata",                         // ZIP_ER_DELETED
      "metodo di cifratura non gestito",        // ZIP_ER_ENCRNOTSUPP
      "archivio in sola lettura",               // ZIP_ER_RDONLY
      "password mancante",                      // ZIP_ER_NOPASSWD
      "password errata",                        // ZIP_ER_WRONGPASSWD
      "operazione non gestita",                 // ZIP_ER_OPNOTSUPP
      "risorsa ancora in uso",                  // ZIP_ER_INUSE
      "errore di posizione nel file",           // ZIP_ER_TELL
      "dati compressi non validi",              // ZIP_ER_COMPRESSED_DATA
      "operazione annullata",                   // ZIP_ER_CANCELLED
  };
  const bool known = code >= 0 && code < static_cast<int>(std::size(kTexts));
  return std::string(known ? kTexts[code] : "errore sconosciuto") + ", errore zip " +
         std::to_string(code);
}

// The error a libzip call left, in the program's words.
std::string ZipErrorText(zip_error_t* error) { return ZipErrorText(zip_error_code_zip(error)); }

#ifdef _WIN32
int OpenForReading(const std::string& host) {
  return ::_wopen(win32::Widen(host).c_str(), O_RDONLY | O_BINARY | O_NOINHERIT);
}
bool SizeAndTime(int fd, std::uint64_t* size, time_t* mtime) {
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  *mtime = static_cast<time_t>(info.st_mtime);
  return true;
}
zip_int64_t ReadAt(int fd, unsigned char* bytes, std::size_t size, std::uint64_t offset) {
  if (::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) return -1;
  return ::_read(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 30)));
}
#else
int OpenForReading(const std::string& host) { return ::open(host.c_str(), O_RDONLY | O_CLOEXEC); }
bool SizeAndTime(int fd, std::uint64_t* size, time_t* mtime) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  *size = static_cast<std::uint64_t>(info.st_size);
  *mtime = info.st_mtime;
  return true;
}
zip_int64_t ReadAt(int fd, unsigned char* bytes, std::size_t size, std::uint64_t offset) {
  ssize_t got;
  do {
    got = ::pread(fd, bytes, size, static_cast<off_t>(offset));
  } while (got < 0 && errno == EINTR);
  return got;
}
#endif

// The archive as libzip reads it: through a window of a megabyte read at a
// time, so that the small reads and seeks libzip makes for every entry (its
// local header, then its data) are served from memory instead of the file.
class ArchiveFile {
 public:
  static zip_t* Open(const std::string& host, int flags, int* code) {
    auto* file = new ArchiveFile();
    zip_error_init(&file->error_);
    file->fd_ = OpenForReading(host);
    if (file->fd_ < 0 || !SizeAndTime(file->fd_, &file->size_, &file->mtime_)) {
      *code = ZIP_ER_OPEN;
      if (file->fd_ >= 0) ::close(file->fd_);
      zip_error_fini(&file->error_);
      delete file;
      return nullptr;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(Callback, file, &error);
    zip_t* archive = nullptr;
    if (source == nullptr) {
      file->Free();
    } else {
      archive = zip_open_from_source(source, flags, &error);
      if (archive == nullptr) zip_source_free(source);  // frees `file`
    }
    *code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    return archive;
  }

 private:
  static constexpr std::size_t kWindow = std::size_t{1} << 20;

  static zip_int64_t Callback(void* user_data, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    return static_cast<ArchiveFile*>(user_data)->Command(data, length, command);
  }

  zip_int64_t Command(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_SEEKABLE;
      case ZIP_SOURCE_OPEN:
        position_ = 0;
        return 0;
      case ZIP_SOURCE_READ:
        return Read(static_cast<unsigned char*>(data), static_cast<std::size_t>(length));
      case ZIP_SOURCE_CLOSE:
        return 0;
      case ZIP_SOURCE_SEEK: {
        const zip_int64_t to = zip_source_seek_compute_offset(position_, size_, data, length,
                                                              &error_);
        if (to < 0) return -1;
        position_ = static_cast<std::uint64_t>(to);
        return 0;
      }
      case ZIP_SOURCE_TELL:
        return static_cast<zip_int64_t>(position_);
      case ZIP_SOURCE_STAT: {
        zip_stat_t* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
        if (st == nullptr) return -1;
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        st->size = size_;
        st->mtime = mtime_;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_FREE:
        Free();
        return 0;
      default:
        zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  zip_int64_t Read(unsigned char* bytes, std::size_t wanted) {
    std::size_t given = 0;
    while (given < wanted && position_ < size_) {
      if (position_ < start_ || position_ >= start_ + window_.size()) {
        // A piece larger than the window goes straight to the caller.
        if (wanted - given >= kWindow) {
          const zip_int64_t got = ReadAt(fd_, bytes + given, wanted - given, position_);
          if (got < 0) return Fail();
          if (got == 0) break;
          given += static_cast<std::size_t>(got);
          position_ += static_cast<std::uint64_t>(got);
          continue;
        }
        window_.resize(kWindow);
        const zip_int64_t got = ReadAt(fd_, window_.data(), kWindow, position_);
        if (got < 0) return Fail();
        window_.resize(static_cast<std::size_t>(got));
        start_ = position_;
        if (got == 0) break;
      }
      const std::size_t at = static_cast<std::size_t>(position_ - start_);
      const std::size_t count = std::min(wanted - given, window_.size() - at);
      std::memcpy(bytes + given, window_.data() + at, count);
      given += count;
      position_ += count;
    }
    return static_cast<zip_int64_t>(given);
  }

  zip_int64_t Fail() {
    zip_error_set(&error_, ZIP_ER_READ, errno);
    return -1;
  }

  void Free() {
    ::close(fd_);
    zip_error_fini(&error_);
    delete this;
  }

  int fd_ = -1;
  std::uint64_t size_ = 0;
  time_t mtime_ = 0;
  std::uint64_t position_ = 0;
  std::vector<unsigned char> window_;  // bytes from start_ on
  std::uint64_t start_ = 0;
  zip_error_t error_;
};

}  // namespace

Status ZipReading::Open(Platform& platform, const std::string& path,
                        std::unique_ptr<ZipReading>* reading) {
  reading->reset();
  std::string host;
  if (Status s = platform.ToHostPath(path, &host); !s.ok()) return s;
  std::error_code error;
  const auto type = std::filesystem::status(host::FsPath(host), error).type();
  if (type == std::filesystem::file_type::not_found) {
    return Status::Error(kErrFileNotFound, "non trovato: " + path);
  }
  if (type != std::filesystem::file_type::regular) {
    return Status::Error(kErrPathFileAccess, "non è un file: " + path);
  }
  int code = 0;
  zip_t* archive = ArchiveFile::Open(host, ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive == nullptr) return Status::Error(kErrDeviceIo, ZipErrorText(code));
  std::unique_ptr<ZipReading> opened(new ZipReading(archive, host));
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  opened->entries_.reserve(static_cast<std::size_t>(count < 0 ? 0 : count));
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
      return Status::Error(kErrDeviceIo, ZipErrorText(zip_get_error(archive)));
    }
    ZipEntry entry;
    entry.name = stat.name != nullptr ? stat.name : "";
    entry.sum = {static_cast<std::uint64_t>(stat.size), static_cast<std::uint32_t>(stat.crc)};
    entry.folder = !entry.name.empty() && entry.name.back() == '/';
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, static_cast<zip_uint64_t>(i), 0, &system,
                                         &attributes) == 0 &&
        system == kOsUnix) {
      entry.link = ((attributes >> 16) & kUnixTypeMask) == kUnixLink;
    }
    opened->entries_.push_back(std::move(entry));
  }
  *reading = std::move(opened);
  return Status::Ok();
}

ZipReading::~ZipReading() {
  for (std::thread& thread : threads_) thread.join();
  zip_discard(static_cast<zip_t*>(archive_));
}

namespace {

Status ReadEntry(zip_t* archive, std::size_t index, std::vector<char>& buffer,
                 const std::function<bool(const char*, std::size_t)>& sink) {
  zip_file_t* file = zip_fopen_index(archive, index, 0);
  if (file == nullptr) return Status::Error(kErrDeviceIo, ZipErrorText(zip_get_error(archive)));
  Status result;
  while (true) {
    const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      result = Status::Error(kErrDeviceIo, ZipErrorText(zip_file_get_error(file)));
      break;
    }
    if (got == 0) break;
    if (sink && !sink(buffer.data(), static_cast<std::size_t>(got))) {
      result = Status::Error(kErrPathFileAccess, "interrotto");
      break;
    }
  }
  zip_fclose(file);
  return result;
}

// Checks a small entry whole: its stored bytes read raw, inflated in one call
// by libdeflate and their CRC-32 taken, which costs a fraction of libzip's
// reading through its layers. True only when the entry is whole; anything
// else (damaged, another method, encrypted, too large) is left to ReadEntry,
// which tells what is wrong in libzip's words.
class WholeEntryCheck {
 public:
  WholeEntryCheck() : decompressor_(libdeflate_alloc_decompressor()) {}
  ~WholeEntryCheck() { libdeflate_free_decompressor(decompressor_); }
  WholeEntryCheck(const WholeEntryCheck&) = delete;
  WholeEntryCheck& operator=(const WholeEntryCheck&) = delete;

  bool Whole(zip_t* archive, std::size_t index) {
    zip_stat_t stat;
    if (decompressor_ == nullptr || zip_stat_index(archive, index, 0, &stat) != 0) return false;
    constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC |
                                     ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    if ((stat.valid & kNeeded) != kNeeded || stat.encryption_method != ZIP_EM_NONE ||
        stat.size > kLargest || stat.comp_size > kLargest ||
        (stat.comp_method != ZIP_CM_DEFLATE && stat.comp_method != ZIP_CM_STORE)) {
      return false;
    }
    const std::size_t size = static_cast<std::size_t>(stat.size);
    const std::size_t stored = static_cast<std::size_t>(stat.comp_size);
    raw_.Reserve(stored);
    zip_file_t* file = zip_fopen_index(archive, index, ZIP_FL_COMPRESSED);
    if (file == nullptr) return false;
    std::size_t got = 0;
    while (got < stored) {
      const zip_int64_t piece = zip_fread(file, raw_.bytes.get() + got, stored - got);
      if (piece <= 0) break;
      got += static_cast<std::size_t>(piece);
    }
    zip_fclose(file);
    if (got != stored) return false;
    const unsigned char* bytes = raw_.bytes.get();
    if (stat.comp_method == ZIP_CM_DEFLATE) {
      plain_.Reserve(size);
      std::size_t inflated = 0;
      if (libdeflate_deflate_decompress(decompressor_, raw_.bytes.get(), stored,
                                        plain_.bytes.get(), size, &inflated) != LIBDEFLATE_SUCCESS ||
          inflated != size) {
        return false;
      }
      bytes = plain_.bytes.get();
    } else if (stored != size) {
      return false;
    }
    return libdeflate_crc32(0, bytes, size) == stat.crc;
  }

 private:
  static constexpr zip_uint64_t kLargest = zip_uint64_t{4} << 20;

  // Grown as needed, never cleared: the bytes are always written before read.
  struct Bytes {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t capacity = 0;
    void Reserve(std::size_t wanted) {
      if (wanted <= capacity && bytes) return;
      capacity = std::max<std::size_t>(wanted, 64 << 10);
      bytes.reset(new unsigned char[capacity]);
    }
  };

  libdeflate_decompressor* decompressor_;
  Bytes raw_;
  Bytes plain_;
};

}  // namespace

Status ZipReading::Read(std::size_t index,
                        const std::function<bool(const char*, std::size_t)>& sink) {
  std::vector<char> buffer(1 << 16);
  return ReadEntry(static_cast<zip_t*>(archive_), index, buffer, sink);
}

void ZipReading::StartCheck(unsigned workers) {
  if (!threads_.empty()) return;
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = static_cast<unsigned>(std::min<std::size_t>(workers, entries_.size()));
  results_.assign(entries_.size(), Status::Ok());
  // The workers take runs of neighbouring entries as they come free, so that
  // they end together (the second first reads the directory for a handle of
  // its own) and each reads its runs in file order. Each result is written by
  // one thread; worker 0 has the handle of this object, which nothing else
  // uses until FinishCheck.
  next_entry_ = 0;
  const auto work = [this](unsigned w) {
    constexpr std::size_t kRun = 32;
    int code = 0;
    zip_t* archive =
        w == 0 ? static_cast<zip_t*>(archive_) : ArchiveFile::Open(host_, ZIP_RDONLY, &code);
    std::vector<char> buffer(1 << 16);
    WholeEntryCheck whole;
    for (std::size_t first = next_entry_.fetch_add(kRun); first < entries_.size();
         first = next_entry_.fetch_add(kRun)) {
      for (std::size_t i = first; i < std::min(first + kRun, entries_.size()); ++i) {
        if (entries_[i].folder) continue;
        if (archive == nullptr) {
          results_[i] = Status::Error(kErrDeviceIo, ZipErrorText(code));
        } else if (!whole.Whole(archive, i)) {
          results_[i] = ReadEntry(archive, i, buffer, {});
        }
      }
    }
    if (w != 0 && archive != nullptr) zip_discard(archive);
  };
  for (unsigned w = 0; w < workers; ++w) threads_.emplace_back(work, w);
}

std::vector<Status> ZipReading::FinishCheck() {
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  return std::move(results_);
}

}  // namespace zr
