// The settings reader and writer, on bytes and through the platform. A
// content that starts with the UTF-16 mark "\xFF\xFE" stands for a UTF-16
// file whose units follow as CESU-8 (the fields cannot hold the NUL bytes of
// UTF-16 text), so UTF-16 files of any units, lone surrogates included, are
// read and written too.
#include <memory>

#include "fuzz/fuzz_targets.h"
#include "platform/codepage.h"
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
  const std::string &section = f[1], &key = f[2], &value = f[3];
  std::string content = f[0];
  if (content.rfind("\xFF\xFE", 0) == 0) {
    const std::string units = zr::Cesu8ToUtf16Le(content.substr(2));
    ZRFUZZ_CHECK("profile", zr::Cesu8ToUtf16Le(zr::Utf16LeToCesu8(units)) == units,
                 "UTF-16 units changed on their way through CESU-8");
    content = "\xFF\xFE" + units;
  }
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
