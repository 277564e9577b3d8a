// Cost of reading one key of a large settings file through the host
// platform, as every command reads ZA-RIREVO.INI at start-up: the file is
// read, its lines scanned once, and the empty key a read leaves found in
// place (nothing is written). Files of 1 and 10 MB, made of short key lines,
// of one long line, and in UTF-16; bytes/s stays flat as the file grows
// ten-fold.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/codepage.h"
#include "platform/host_platform.h"
#include "platform/profile.h"

namespace {

namespace fs = std::filesystem;

enum Shape { kShortLines, kLongLine, kUtf16 };

std::string Content(Shape shape, std::size_t size) {
  std::string text = "[OTHER]\r\n";
  if (shape == kLongLine) {
    text += "NOTE=" + std::string(size, 'x') + "\r\n";
  } else {
    for (std::size_t i = 0; text.size() < size; ++i) {
      text += "KEY" + std::to_string(i) + "=C:\\KYCONFIG\\SYSTEM\\" + std::to_string(i) + "\r\n";
    }
  }
  text += "[PATH]\r\nBACKUPCLIENTE=A:\\\r\n[CONFIGURA]\r\nAPPLICATION=\r\n";
  if (shape != kUtf16) return text;
  std::string cesu8;
  zr::Utf8ToCesu8(text, &cesu8);
  return "\xFF\xFE" + zr::Cesu8ToUtf16Le(cesu8);
}

// A temporary drive C: holding C:\ZA-RIREVO.INI of a shape and size.
class BigSettings {
 public:
  BigSettings(Shape shape, std::size_t size) : bytes_(Content(shape, size).size()) {
    std::string templ = (fs::temp_directory_path() / "zarirevo-bench-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = templ;
    std::ofstream(root_ + "/ZA-RIREVO.INI", std::ios::binary) << Content(shape, size);
    zr::DriveMap map;
    map.drives['C'] = root_;
    platform_ = zr::CreateHostPlatform(map);
  }
  ~BigSettings() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  zr::Platform& platform() { return *platform_; }
  std::size_t bytes() const { return bytes_; }

 private:
  std::size_t bytes_;
  std::string root_;
  std::unique_ptr<zr::Platform> platform_;
};

void ReadKey(benchmark::State& state, Shape shape) {
  const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
  static std::map<std::pair<Shape, std::size_t>, std::unique_ptr<BigSettings>> files;
  auto& file = files[{shape, size}];
  if (!file) file = std::make_unique<BigSettings>(shape, size);
  zr::Platform& platform = file->platform();
  for (auto _ : state) {
    const std::string value = zr::GetPrivateProfileString(platform, "PATH", "BACKUPCLIENTE", "",
                                                          256, "C:\\ZA-RIREVO.INI");
    if (value != "A:\\") state.SkipWithError("wrong value");
    if (!zr::WritePrivateProfileString(platform, "CONFIGURA", "APPLICATION", "",
                                       "C:\\ZA-RIREVO.INI")
             .ok()) {
      state.SkipWithError("write failed");
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file->bytes()));
}

void BM_ReadKeyShortLines(benchmark::State& state) { ReadKey(state, kShortLines); }
void BM_ReadKeyLongLine(benchmark::State& state) { ReadKey(state, kLongLine); }
void BM_ReadKeyUtf16(benchmark::State& state) { ReadKey(state, kUtf16); }

BENCHMARK(BM_ReadKeyShortLines)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadKeyLongLine)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadKeyUtf16)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
