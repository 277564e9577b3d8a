// The archiver's extraction of an untrusted archive: whatever the archive
// holds, nothing is written outside the destination, and a link placed in
// the destination is never followed.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "fuzz/fuzz_targets.h"
#include "zip_extractor.h"

namespace zrfuzz {

namespace {

namespace fs = std::filesystem;

// <root>/ARCHIVE.ZIP, <root>/inside/dest/ (with a link "escape" to
// <root>/outside), <root>/outside/ (empty); removed at exit.
struct Scene {
  std::string root;
  Scene() {
    std::string templ = (fs::temp_directory_path() / "zarirevo-fuzz-XXXXXX").string();
    if (mkdtemp(templ.data()) == nullptr) Fail("pkzip_extract", "mkdtemp", templ);
    root = templ;
    fs::create_directories(root + "/outside");
  }
  ~Scene() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  std::string dest() const { return root + "/inside/dest"; }
};

std::set<std::string> Tree(const std::string& folder) {
  std::set<std::string> tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    tree.insert(it->path().lexically_relative(folder).generic_string());
  }
  return tree;
}

}  // namespace

int PkZipExtract(const uint8_t* data, size_t size) {
  static Scene scene;
  std::error_code ec;
  fs::remove_all(scene.root + "/inside", ec);
  fs::create_directories(scene.dest());
  fs::create_directory_symlink(scene.root + "/outside", scene.dest() + "/escape");
  {
    std::ofstream out(scene.root + "/ARCHIVE.ZIP", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::string cwd = fs::current_path(ec).string();

  std::ostringstream report;
  pkzip::ExtractArchive(scene.root + "/ARCHIVE.ZIP", scene.dest(), report, {100, 64 << 20});

  ZRFUZZ_CHECK("pkzip_extract", fs::current_path(ec).string() == cwd, "working folder moved");
  ZRFUZZ_CHECK("pkzip_extract", fs::is_empty(scene.root + "/outside"), report.str());
  ZRFUZZ_CHECK("pkzip_extract", fs::is_symlink(scene.dest() + "/escape"), report.str());
  std::set<std::string> tree = Tree(scene.root);
  for (auto it = tree.begin(); it != tree.end();) {
    it = it->rfind("inside/dest/", 0) == 0 ? tree.erase(it) : std::next(it);
  }
  const std::set<std::string> expected = {"ARCHIVE.ZIP", "inside", "inside/dest", "outside"};
  ZRFUZZ_CHECK("pkzip_extract", tree == expected, report.str());
  return 0;
}

}  // namespace zrfuzz
