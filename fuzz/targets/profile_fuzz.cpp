// The settings reader and writer, on bytes and through the platform.
#include <memory>

#include "fuzz/fuzz_targets.h"
#include "platform/profile.h"
#include "tests/test_world.h"

namespace zrfuzz {

namespace {

// Blanks (codes 0 to 32) and quotes at the ends change what a read gives back.
bool PlainValue(const std::string& value) {
  if (value.empty()) return true;
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  if (blank(value.front()) || blank(value.back())) return false;
  if (value.front() == '"' || value.front() == '\'') return false;
  return value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

}  // namespace

int Profile(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = Fields(data, size, 5);
  const std::string &content = f[0], &section = f[1], &key = f[2], &value = f[3];
  const size_t buffer = f[4].empty() ? 256 : static_cast<unsigned char>(f[4][0]) * 4 + 1;
  zr::ProfileLookup(content, section, key, f[4], buffer);

  const std::string updated = zr::ProfileUpdate(content, section, key, value);
  if (updated != content && PlainValue(value)) {
    const std::string read = zr::ProfileLookup(updated, section, key, "<default>", 1 << 20);
    ZRFUZZ_CHECK("profile", read == value, "read back \"" + read + "\" for \"" + value + "\"");
  }

  // The same through files of a temporary world (kept for the whole run).
  static auto* world = new zr::testing::TestWorld();
  world->WriteFile("C:\\P.INI", content);
  const zr::Status status =
      zr::WritePrivateProfileString(world->platform(), section, key, value, "C:\\P.INI");
  zr::GetPrivateProfileString(world->platform(), section, key, "", 256, "C:\\P.INI");
  ZRFUZZ_CHECK("profile", status.ok() || world->ReadFile("C:\\P.INI") == content,
               "a refused write changed the file");
  return 0;
}

}  // namespace zrfuzz
