// KY-GEN.CNF records and "|"-separated parameter lines.
#include "app/session.h"
#include "cnf/cnf_reader.h"
#include "fuzz/fuzz_targets.h"
#include "tests/test_world.h"
#include "ui/scripted_ui.h"

namespace zrfuzz {

int Cnf(const uint8_t* data, size_t size) {
  const std::vector<std::string> f = Fields(data, size, 4);
  const std::string &cnf = f[0], &lines = f[1], &key = f[2];
  const int16_t number = f[3].empty() ? 1 : static_cast<int16_t>(static_cast<int8_t>(f[3][0]));

  static auto* world = new zr::testing::TestWorld();
  world->WriteFile("C:\\KY-GEN.cnf", cnf);
  world->WriteFile("C:\\P.CNF", lines);
  zr::ScriptedUi ui;
  zr::Session program(world->platform(), ui);
  const std::string record = zr::ReadCnfRecord(program, number);
  size_t characters = 0;  // the record is UTF-8: count the lead bytes
  for (char c : record) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  ZRFUZZ_CHECK("cnf", characters <= 80, record);
  const std::optional<std::string> value = zr::GetCnfParameter(program, "C:\\P.CNF", key, number);
  (void)value;

  std::array<std::string, zr::kMaxFields + 1> fields;
  int16_t count = 0;
  zr::SplitFields(lines, key.empty() ? "|" : key, fields, count);
  ZRFUZZ_CHECK("cnf", count >= 0 && count <= zr::kMaxFields, std::to_string(count));
  zr::StripComment(lines);
  return 0;
}

}  // namespace zrfuzz
