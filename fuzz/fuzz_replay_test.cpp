// Replays every kept input (fuzz/corpus/<target>/: inputs that once failed,
// and fuzz/seeds/<target>/) through the fuzz entry points, in the normal
// build: an entry aborts when a property fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/fuzz_targets.h"

namespace zrfuzz {
namespace {

namespace fs = std::filesystem;

class FuzzReplayTest : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplayTest, KeptInputsStillPass) {
  int replayed = 0;
  for (const char* kind : {"corpus", "seeds"}) {
    const fs::path folder = fs::path(ZARIREVO_FUZZ_DIR) / kind / GetParam().name;
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(folder, ec)) {
      std::ifstream in(file.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
      SCOPED_TRACE(file.path().string());
      EXPECT_EQ(GetParam().entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0) << "no kept input for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplayTest, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zrfuzz
