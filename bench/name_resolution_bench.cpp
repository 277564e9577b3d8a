// Cost of listing a folder and of resolving one name in it through the host
// platform, in folders of 10,000 and 100,000 files. A name in its exact case
// costs one lookup whatever the folder size; so does a name in another case
// once the folder has been scanned (the platform keeps what the scan found
// while the folder is unchanged). The listing's time per folder entry
// (items/s) stays flat as the folder grows ten-fold.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

#include "platform/host_platform.h"

namespace {

namespace fs = std::filesystem;

// A temporary drive C: holding `count` empty files FILE000000.DAT ...
class BigFolder {
 public:
  explicit BigFolder(int count) {
    std::string templ = (fs::temp_directory_path() / "zarirevo-bench-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = templ;
    char name[32];
    for (int i = 0; i < count; ++i) {
      std::snprintf(name, sizeof(name), "/FILE%06d.DAT", i);
      std::ofstream(root_ + name);
    }
    zr::DriveMap map;
    map.drives['C'] = root_;
    platform_ = zr::CreateHostPlatform(map);
  }
  ~BigFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  zr::Platform& platform() { return *platform_; }

 private:
  std::string root_;
  std::unique_ptr<zr::Platform> platform_;
};

BigFolder& FolderOf(int count) {
  static std::map<int, std::unique_ptr<BigFolder>> folders;
  auto& folder = folders[count];
  if (!folder) folder = std::make_unique<BigFolder>(count);
  return *folder;
}

void BM_ListAll(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  zr::Platform& platform = FolderOf(count).platform();
  std::vector<zr::FolderEntry> entries;
  for (auto _ : state) {
    const zr::Status listed = platform.List("C:\\*.*", zr::ListKind::kFilesOnly, &entries);
    if (!listed.ok() || static_cast<int>(entries.size()) != count) {
      state.SkipWithError("wrong listing");
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_ListOneExtension(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  zr::Platform& platform = FolderOf(count).platform();
  std::vector<zr::FolderEntry> entries;
  for (auto _ : state) {
    // Matches nothing: an empty listing and Ok.
    if (!platform.List("C:\\*.MAC", zr::ListKind::kFilesOnly, &entries).ok()) {
      state.SkipWithError("listing failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// Items are lookups.
void Resolve(benchmark::State& state, const char* path) {
  const int count = static_cast<int>(state.range(0));
  zr::Platform& platform = FolderOf(count).platform();
  unsigned attributes = 0;
  for (auto _ : state) {
    if (!platform.GetAttributes(path, &attributes).ok()) state.SkipWithError("not found");
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ResolveExactCase(benchmark::State& state) { Resolve(state, "C:\\FILE005000.DAT"); }
void BM_ResolveOtherCase(benchmark::State& state) { Resolve(state, "c:\\file005000.dat"); }

BENCHMARK(BM_ListAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListOneExtension)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveExactCase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResolveOtherCase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
