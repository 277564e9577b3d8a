#include "text/listed_names.h"

#include "platform/windows_path.h"

namespace zr {

bool IsForbiddenName(std::string_view name) {
  return !IsCreatableName(name) || name.back() == '.' || name.back() == ' ';
}

std::string ShownName(std::string_view name) {
  std::string shown(name);
  for (char& c : shown) {
    if (IsControlCharacter(c)) c = '?';
  }
  return shown;
}

}  // namespace zr
