#include "platform/platform.h"

#include <filesystem>
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
