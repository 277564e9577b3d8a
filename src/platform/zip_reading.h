// Reading a zip archive named by its Windows-form path: its entries as the
// central directory lists them (name, size, CRC-32, folder or link) and, entry
// by entry, the decompressed bytes with their CRC checked. The archive is
// read by libzip from its host path, never whole in memory: the directory and
// one buffer of each entry being read. Only a regular file is opened.
//
// Entry names are untrusted: this module hands them on as stored; whoever
// writes a file from one checks it first.
#ifndef ZARIREVO_PLATFORM_ZIP_READING_H_
#define ZARIREVO_PLATFORM_ZIP_READING_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace zr {

struct ZipEntry {
  std::string name;  // as stored, "/" separated
  FileSum sum;       // size and CRC-32 the archive claims for the bytes
  bool folder = false;
  bool link = false;  // a symbolic link stored by a Unix archiver
};

class ZipReading {
 public:
  /// Opens the archive at `path`. Error 53/76 when missing, 75 when it is no
  /// regular file, 57 when it is no readable zip archive (`detail` says why).
  static Status Open(Platform& platform, const std::string& path,
                     std::unique_ptr<ZipReading>* reading);
  ~ZipReading();
  ZipReading(const ZipReading&) = delete;
  ZipReading& operator=(const ZipReading&) = delete;

  const std::vector<ZipEntry>& entries() const { return entries_; }

  /// Decompresses entry `index`, handing its bytes in pieces to `sink` (which
  /// may be empty, and returns false to stop: then error 75). Error 57 when the
  /// data is damaged or fails its CRC-32.
  Status Read(std::size_t index, const std::function<bool(const char*, std::size_t)>& sink);
  /// Starts decompressing every file entry and checking its CRC-32 as Read
  /// does, on `workers` threads (one per processor when 0), each with a
  /// handle of its own on the archive. Until FinishCheck nothing else may be
  /// read from this object; the caller's thread is free meanwhile.
  void StartCheck(unsigned workers = 0);
  /// Waits for the check and gives the status of each entry, in order
  /// (folders Ok).
  std::vector<Status> FinishCheck();

 private:
  ZipReading(void* archive, std::string host) : archive_(archive), host_(std::move(host)) {}

  void* archive_;  // zip_t
  std::string host_;
  std::vector<std::thread> threads_;
  std::atomic<std::size_t> next_entry_ = 0;  // the first entry no worker has taken
  std::vector<Status> results_;
  std::vector<ZipEntry> entries_;
};

}  // namespace zr

#endif  // ZARIREVO_PLATFORM_ZIP_READING_H_
