#include "text/listed_names.h"

namespace zr {

namespace {

bool IsControl(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < 32 || code == 127;
}

}  // namespace

bool IsForbiddenName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return true;
  for (char c : name) {
    if (IsControl(c) || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

std::string ShownName(std::string_view name) {
  std::string shown(name);
  for (char& c : shown) {
    if (IsControl(c)) c = '?';
  }
  return shown;
}

}  // namespace zr
