#include "zip_writer.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "windows_path.h"

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

// Writes `bytes` to a temporary file beside `path`, then renames it over `path`.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *error = "cannot create a temporary file beside " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  const bool synced = fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !synced || !closed || chmod(temp.c_str(), 0644) != 0 ||
      std::rename(temp.c_str(), path.c_str()) != 0) {
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

}  // namespace

bool WriteArchive(const std::string& archive_host, const std::vector<FileToAdd>& files,
                  std::string* error) {
  std::error_code ec;
  const bool exists = fs::exists(archive_host, ec);
  if (!exists && files.empty())
    return ReplaceFileAtomically(archive_host, EmptyArchiveBytes(), error);

  int code = 0;
  // An existing archive that libzip cannot read as one (damaged, or not an
  // archive) is left alone rather than overwritten.
  ZipHandle archive(
      zip_open(archive_host.c_str(), exists ? ZIP_CHECKCONS : ZIP_CREATE | ZIP_EXCL, &code));
  if (!archive) {
    *error = "cannot open archive " + archive_host + ": " + ZipErrorText(code);
    return false;
  }

  // Existing entries by name without regard to case; later duplicates of a
  // name are removed when that name is replaced.
  std::multimap<std::string, zip_uint64_t> existing;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
    if (name != nullptr) existing.emplace(FoldCase(name), static_cast<zip_uint64_t>(i));
  }

  for (const FileToAdd& file : files) {
    struct stat info {};
    if (stat(file.host_path.c_str(), &info) != 0) {
      *error = "cannot read " + file.host_path + ": " + std::strerror(errno);
      return false;
    }
    zip_source_t* source = zip_source_file(archive.get(), file.host_path.c_str(), 0, 0);
    if (source == nullptr) {
      *error = "cannot read " + file.host_path + ": " + zip_strerror(archive.get());
      return false;
    }
    zip_int64_t index = -1;
    auto [first, last] = existing.equal_range(FoldCase(file.entry_name));
    if (first != last) {
      index = static_cast<zip_int64_t>(first->second);
      if (zip_file_replace(archive.get(), first->second, source, 0) != 0) index = -1;
      for (auto it = std::next(first); index >= 0 && it != last; ++it) {
        zip_delete(archive.get(), it->second);
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
      return false;
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    // Deflate at zlib's default level 6 (libzip alone would take level 9, three
    // times slower for a gain of about 3 %).
    if (zip_set_file_compression(archive.get(), entry, ZIP_CM_DEFLATE, 6) != 0 ||
        zip_file_set_mtime(archive.get(), entry, info.st_mtime, 0) != 0) {
      *error = "cannot add " + file.entry_name + ": " + zip_strerror(archive.get());
      return false;
    }
  }

  const bool now_empty = zip_get_num_entries(archive.get(), 0) == 0;
  if (zip_close(archive.get()) != 0) {
    *error = "cannot write archive " + archive_host + ": " + zip_strerror(archive.get());
    return false;
  }
  archive.release();  // closed: nothing left to discard
  // libzip removes an archive that ends up without entries; keep a valid empty one.
  if (now_empty && !fs::exists(archive_host, ec)) {
    return ReplaceFileAtomically(archive_host, EmptyArchiveBytes(), error);
  }
  return true;
}

}  // namespace pkzip
