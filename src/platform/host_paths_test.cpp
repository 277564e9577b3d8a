#include "platform/host_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/host_errors.h"

namespace zr::host {
namespace {

TEST(WildcardTest, FollowsTheWindowsRules) {
  const struct {
    const char *pattern, *name;
    bool match;
  } cases[] = {
      // clang-format off
      {"*", "README", true}, {"*.*", "README", true}, {"*.*", "A.B.C", true},
      {"*.ZIP", "cliente_010203.zip", true}, {"*.ZIP", "a.zipx", false}, {"*.ZIP", "a.zip.bak", false},
      {"DAXOR*", "Daxor2D", true}, {"DAXOR*", "XDAXOR", false}, {"L?.MAC", "L1.mac", true},
      {"L?.MAC", "L12.MAC", false}, {"*.", "README", true}, {"*.", "A.B", false},
      {"NAME.*", "name", true}, {"*a*b*c", "xxaxxbxxbxc", true}, {"*a*b*c", "xxaxxbxxbx", false},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern;
}

// Resolution, over a temporary drive C:. Paths that exist as typed take a
// shorter way than paths to be found without regard to case; both must
// give what the lookup of each component gives.
class ResolveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (std::filesystem::temp_directory_path() / "zr-resolve-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = templ;
    namespace fs = std::filesystem;
    fs::create_directories(root_ + "/ORVEL/VER14/MAC");
    fs::create_directories(root_ + "/REAL");
    for (const char* file : {"ORVEL/VER14/MAC/M01.MAC", "ORVEL/VER14/a.txt", "ORVEL/VER14/A.TXT",
                             "FILE.TXT", "REAL/F.TXT"}) {
      std::ofstream(root_ + "/" + file) << "x";
    }
    fs::create_directory_symlink(root_ + "/REAL", root_ + "/LINK");
    fs::create_symlink(root_ + "/NOWHERE", root_ + "/DANGLING");
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  // Host path below the drive folder and number of components found; the
  // name memory, kept across the calls of a test, must give what scans give.
  using Found = std::pair<std::string, std::size_t>;
  Found Resolved(const std::string& text) {
    const WindowsPath path = WindowsPath::Parse(text).value();
    Resolution r, remembered;
    EXPECT_TRUE(Resolve(root_, path, &r).ok()) << text;
    EXPECT_TRUE(Resolve(root_, path, &remembered, &cache_).ok()) << text;
    EXPECT_EQ(remembered.host, r.host) << text;
    EXPECT_EQ(remembered.found, r.found) << text;
    EXPECT_EQ(r.total, path.parts.size()) << text;
    EXPECT_EQ(r.host.rfind(root_, 0), 0u) << r.host;
    return {r.host.substr(root_.size()), r.found};
  }

  std::string root_;
  NameCache cache_;
};

TEST_F(ResolveTest, TheNameMemoryScansAFolderOnceAndFollowsChanges) {
  const std::string mac = root_ + "/ORVEL/VER14/MAC";
  for (int i = 0; i < 50; ++i) {  // new files, as a copy makes them
    const std::string name = "NEW" + std::to_string(i) + ".MAC";
    EXPECT_EQ(Resolved("C:\\orvel\\ver14\\MAC\\" + name).second, 3u);
    std::ofstream(mac + "/" + name) << "x";
    cache_.Added(mac, name);
  }
  EXPECT_EQ(Resolved("C:\\ORVEL\\VER14\\MAC\\new7.mac"), Found("/ORVEL/VER14/MAC/NEW7.MAC", 4));
  const std::size_t scans = cache_.scans();
  EXPECT_LE(scans, 3u);  // the root, ORVEL and MAC, once each
  // Changes by someone else are seen: a new name, a removed one.
  std::ofstream(mac + "/Other.Mac") << "x";
  std::filesystem::remove(mac + "/M01.MAC");
  EXPECT_EQ(Resolved("C:\\ORVEL\\VER14\\MAC\\OTHER.MAC"), Found("/ORVEL/VER14/MAC/Other.Mac", 4));
  EXPECT_EQ(Resolved("C:\\ORVEL\\VER14\\MAC\\m01.mac"), Found("/ORVEL/VER14/MAC/m01.mac", 3));
  EXPECT_EQ(cache_.scans(), scans + 1);
  // This process's own removal is entered without a scan.
  std::filesystem::remove(mac + "/NEW3.MAC");
  cache_.Removed(mac, "NEW3.MAC");
  EXPECT_EQ(Resolved("C:\\ORVEL\\VER14\\MAC\\new3.mac"), Found("/ORVEL/VER14/MAC/new3.mac", 3));
  EXPECT_EQ(cache_.scans(), scans + 1);
}

// Exact paths and paths found without regard to case (the exact name wins,
// then the smallest in byte order); missing components keep the typed
// spelling; a file on the way is no folder; links to folders are folders,
// dangling links exist only as the last component.
TEST_F(ResolveTest, FindsEachComponentAsItsLookupDoes) {
  const std::vector<std::pair<std::string, Found>> cases = {
      {"C:\\ORVEL\\VER14\\MAC\\M01.MAC", {"/ORVEL/VER14/MAC/M01.MAC", 4}},
      {"c:\\orvel\\ver14\\mac\\m01.mac", {"/ORVEL/VER14/MAC/M01.MAC", 4}},
      {"C:\\ORVEL\\VER14\\MAC\\m01.Mac", {"/ORVEL/VER14/MAC/M01.MAC", 4}},
      {"C:\\ORVEL\\VER14\\a.txt", {"/ORVEL/VER14/a.txt", 3}},
      {"C:\\ORVEL\\VER14\\A.txt", {"/ORVEL/VER14/A.TXT", 3}},
      {"C:\\orvel\\VER14\\A.txt", {"/ORVEL/VER14/A.TXT", 3}},
      {"C:\\", {"", 0}},
      {"C:\\file.txt", {"/FILE.TXT", 1}},
      {"C:\\ORVEL\\VER14\\MAC\\New.Mac", {"/ORVEL/VER14/MAC/New.Mac", 3}},
      {"C:\\orvel\\ver14\\New.Mac", {"/ORVEL/VER14/New.Mac", 2}},
      {"C:\\ORVEL\\NOPE\\X\\Y", {"/ORVEL/NOPE/X/Y", 1}},
      {"C:\\NewFile", {"/NewFile", 0}},
      {"C:\\FILE.TXT\\X", {"/FILE.TXT/X", 0}},
      {"C:\\file.txt\\X", {"/file.txt/X", 0}},
      {"C:\\LINK\\F.TXT", {"/LINK/F.TXT", 2}},
      {"C:\\link\\f.txt", {"/LINK/F.TXT", 2}},
      {"C:\\LINK\\g.txt", {"/LINK/g.txt", 1}},
      {"C:\\DANGLING", {"/DANGLING", 1}},
      {"C:\\dangling", {"/DANGLING", 1}},
      {"C:\\DANGLING\\X", {"/DANGLING/X", 0}},
  };
  for (const auto& [path, found] : cases) EXPECT_EQ(Resolved(path), found) << path;
}

}  // namespace
}  // namespace zr::host
