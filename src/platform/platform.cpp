#include "platform/platform.h"

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

}  // namespace zr
