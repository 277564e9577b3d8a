#include "platform/zip_reading.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/host_portable.h"

namespace zr {

namespace {

constexpr std::uint8_t kOsUnix = 3;
constexpr std::uint32_t kUnixTypeMask = 0170000;
constexpr std::uint32_t kUnixLink = 0120000;

std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

}  // namespace

Status ZipReading::Open(Platform& platform, const std::string& path,
                        std::unique_ptr<ZipReading>* reading) {
  reading->reset();
  std::string host;
  if (Status s = platform.ToHostPath(path, &host); !s.ok()) return s;
  std::error_code error;
  const auto type = std::filesystem::status(host::FsPath(host), error).type();
  if (type == std::filesystem::file_type::not_found) {
    return Status::Error(kErrFileNotFound, "not found: " + path);
  }
  if (type != std::filesystem::file_type::regular) {
    return Status::Error(kErrPathFileAccess, "not a file: " + path);
  }
  int code = 0;
  zip_t* archive = zip_open(host.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive == nullptr) return Status::Error(kErrDeviceIo, ZipErrorText(code));
  std::unique_ptr<ZipReading> opened(new ZipReading(archive, host));
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  opened->entries_.reserve(static_cast<std::size_t>(count < 0 ? 0 : count));
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
      return Status::Error(kErrDeviceIo, zip_strerror(archive));
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
  if (file == nullptr) return Status::Error(kErrDeviceIo, zip_strerror(archive));
  Status result;
  while (true) {
    const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      result = Status::Error(kErrDeviceIo, zip_file_strerror(file));
      break;
    }
    if (got == 0) break;
    if (sink && !sink(buffer.data(), static_cast<std::size_t>(got))) {
      result = Status::Error(kErrPathFileAccess, "stopped");
      break;
    }
  }
  zip_fclose(file);
  return result;
}

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
  // Worker w takes entries w, w + n, w + 2n, ...: each result is written by
  // one thread; worker 0 has the handle of this object, which nothing else
  // uses until FinishCheck.
  const auto work = [this, workers](unsigned w) {
    int code = 0;
    zip_t* archive =
        w == 0 ? static_cast<zip_t*>(archive_) : zip_open(host_.c_str(), ZIP_RDONLY, &code);
    std::vector<char> buffer(1 << 16);
    for (std::size_t i = w; i < entries_.size(); i += workers) {
      if (entries_[i].folder) continue;
      results_[i] = archive == nullptr ? Status::Error(kErrDeviceIo, ZipErrorText(code))
                                       : ReadEntry(archive, i, buffer, {});
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
