#include "platform/platform.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/host_portable.h"
#include "platform/windows_path.h"

namespace zr {

bool FileExists(Platform& platform, const std::string& path) {
  unsigned attributes = 0;
  if (!platform.GetAttributes(path, &attributes).ok()) return false;
  return (attributes & (kAttrFolder | kAttrHidden | kAttrSystem)) == 0;
}

bool FolderExists(Platform& platform, const std::string& path) {
  unsigned attributes = 0;
  return platform.GetAttributes(path, &attributes).ok() && (attributes & kAttrFolder) != 0;
}

std::uint64_t FileSize(Platform& platform, const std::string& path) {
  std::string host;
  if (!platform.ToHostPath(path, &host).ok()) return 0;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(host::FsPath(host), error);
  return error ? 0 : static_cast<std::uint64_t>(size);
}

Status Platform::SumFile(const std::string& path, FileSum* sum) {
  *sum = {};
  std::string host;
  if (Status s = ToHostPath(path, &host); !s.ok()) return s;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(host::FsPath(host), error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return Status::Error(kErrFileNotFound, "not found: " + path);
  }
  if (error || status.type() != std::filesystem::file_type::regular) {
    return Status::Error(kErrPathFileAccess, "not a file: " + path);
  }
  std::ifstream in(host::FsPath(host), std::ios::binary);
  if (!in) return Status::Error(kErrPathFileAccess, "cannot read: " + path);
  uLong crc = crc32(0L, Z_NULL, 0);
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(got));
    sum->size += static_cast<std::uint64_t>(got);
  }
  if (in.bad()) {
    *sum = {};
    return Status::Error(kErrDeviceIo, "read error: " + path);
  }
  sum->crc32 = static_cast<std::uint32_t>(crc);
  return Status::Ok();
}

namespace {

// Appends by path, one AppendFile a call.
class AppendingByPath : public AppendingFile {
 public:
  AppendingByPath(Platform& platform, std::string path)
      : platform_(platform), path_(std::move(path)) {}
  Status Append(const std::string& bytes) override { return platform_.AppendFile(path_, bytes); }
  Status Close() override { return Status::Ok(); }

 private:
  Platform& platform_;
  std::string path_;
};

}  // namespace

Status Platform::OpenAppending(const std::string& path, std::unique_ptr<AppendingFile>* file) {
  file->reset();
  // Nothing appended, but the file is made and its checks are passed now.
  if (Status s = AppendFile(path, std::string()); !s.ok()) return s;
  *file = std::make_unique<AppendingByPath>(*this, path);
  return Status::Ok();
}

Status Platform::CopyFileSummed(const std::string& from, const std::string& to,
                                std::optional<FileSum>* sum) {
  sum->reset();
  if (Status s = CopyFile(from, to); !s.ok()) return s;
  FileSum copied;
  if (SumFile(to, &copied).ok()) *sum = copied;
  return Status::Ok();
}

Status Platform::FreeSpace(const std::string& path, std::uint64_t* bytes) {
  *bytes = 0;
  std::string host;
  if (Status s = ToHostPath(path, &host); !s.ok()) return s;
  // The nearest existing folder on the way counts (the path may not be made yet).
  std::filesystem::path place = host::FsPath(host);
  std::error_code error;
  while (!std::filesystem::exists(place, error) && place.has_parent_path() &&
         place.parent_path() != place) {
    place = place.parent_path();
  }
  const std::filesystem::space_info space = std::filesystem::space(place, error);
  if (error) return Status::Error(kErrDiskNotReady, "free space unknown: " + path);
  *bytes = static_cast<std::uint64_t>(space.available);
  return Status::Ok();
}

namespace {

std::vector<std::string_view> HostComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

Placement PlaceOf(Platform& platform, const std::string& path, const std::string& folder) {
  std::string real_path, real_folder;
  if (!platform.RealLocation(path, &real_path).ok() ||
      !platform.RealLocation(folder, &real_folder).ok()) {
    return Placement::kApart;
  }
  return PlaceOfLocations(real_path, real_folder);
}

Placement PlaceOfLocations(const std::string& real_path, const std::string& real_folder) {
  std::vector<std::string_view> a = HostComponents(real_path);
  std::vector<std::string_view> b = HostComponents(real_folder);
  std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (!EqualsNoCase(a[i], b[i])) return Placement::kApart;
  }
  if (a.size() == b.size()) return Placement::kSame;
  return a.size() > b.size() ? Placement::kBelow : Placement::kAbove;
}

}  // namespace zr
