#include "platform/host_process.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "platform/host_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

namespace fs = std::filesystem;
using host::SplitCommandLine;
using Args = std::vector<std::string>;

// Blanks separate and quotes group; the backslash rules apply only before
// quotes, and never in the program name.
TEST(SplitCommandLineTest, SplitsAsTheWindowsRunTimeDoes) {
  const std::vector<std::pair<std::string, Args>> cases = {
      {"C:\\PkZip25 -add -path=full A:\\X @C:\\L.TXT",
       {"C:\\PkZip25", "-add", "-path=full", "A:\\X", "@C:\\L.TXT"}},
      {"  P  a\t\tb  ", {"P", "a", "b"}},
      {"P C:\\MY FOLDER\\X", {"P", "C:\\MY", "FOLDER\\X"}},
      {"P \"C:\\MY FOLDER\\X\" y", {"P", "C:\\MY FOLDER\\X", "y"}},
      {"P a\"b c\"d", {"P", "ab cd"}},
      {"P \"\" x", {"P", "", "x"}},
      {"", {}},
      {"   ", {}},
      {"P a\\\\b c\\", {"P", "a\\\\b", "c\\"}},
      {"P a\\\"b", {"P", "a\"b"}},           // 2n+1: literal quote
      {"P \"a\\\\\" b", {"P", "a\\", "b"}},  // 2n: n, then quote
      {"P \"a\"\"b\"", {"P", "a\"b"}},       // "" inside quotes
      {"P \"unterminated arg", {"P", "unterminated arg"}},
      {"\"C:\\DIR WITH\\P\\\" x", {"C:\\DIR WITH\\P\\", "x"}},
  };
  for (const auto& [line, args] : cases) EXPECT_EQ(SplitCommandLine(line), args) << line;
}

std::set<int> OpenDescriptors() {
  std::set<int> fds;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    fds.insert(std::stoi(entry.path().filename().string()));
  }
  return fds;  // includes the iterator's own descriptor, the same each time
}

class RunTest : public ::testing::Test {
 protected:
  Platform& P() { return world_.platform(); }
  // Installs a shell script as a Windows program.
  void Install(const std::string& windows_path, const std::string& body) {
    world_.WriteFile(windows_path, "#!/bin/sh\n" + body + "\n");
    fs::permissions(world_.Host(windows_path),
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  }
  int Run(const std::string& command_line) {
    int code = -99;
    Status s = P().Run(command_line, &code);
    EXPECT_TRUE(s.ok()) << command_line << ": " << s.detail;
    return code;
  }
  testing::TestWorld world_;
};

TEST_F(RunTest, ReportsTheExitCode) {
  Install("C:\\BIN\\OK.EXE", "exit 0");
  Install("C:\\BIN\\FAIL.EXE", "exit 1");
  Install("C:\\BIN\\SEVEN.EXE", "exit 7");
  Install("C:\\BIN\\KILLED.EXE", "kill -9 $$");
  EXPECT_EQ(Run("C:\\BIN\\OK.EXE"), 0);
  EXPECT_EQ(Run("c:\\bin\\fail"), 1);  // ".EXE" appended, any case
  EXPECT_EQ(Run("C:/Bin/Seven.exe a b"), 7);
  EXPECT_EQ(Run("C:\\BIN\\KILLED"), 128 + 9);
  ASSERT_TRUE(P().ChangeFolder("C:\\BIN").ok());
  EXPECT_EQ(Run("OK"), 0);  // relative to the current folder
}

TEST_F(RunTest, AProgramThatCannotStartFailsAtOnce) {
  world_.WriteFile("C:\\BIN\\NOEXEC.EXE", "#!/bin/sh\nexit 0\n");
  fs::permissions(world_.Host("C:\\BIN\\NOEXEC.EXE"), fs::perms::owner_read);
  world_.WriteFile("C:\\BIN\\JUNK.EXE", "not a program");
  fs::permissions(world_.Host("C:\\BIN\\JUNK.EXE"), fs::perms::owner_all);
  world_.MakeFolder("C:\\BIN\\DIR.EXE");
  Install("C:\\BIN\\README.TXT", "exit 0");
  struct Case {
    const char* line;
    int error;
  };
  for (const Case& c :
       {Case{"C:\\BIN\\MISSING", kErrFileNotFound}, Case{"C:\\NODIR\\P.EXE", kErrPathNotFound},
        Case{"B:\\P.EXE", kErrDiskNotReady}, Case{"C:\\BIN\\NOEXEC", kErrPermissionDenied},
        Case{"C:\\BIN\\DIR", kErrFileNotFound},
        Case{"C:\\BIN\\README", kErrFileNotFound},  // README.EXE, not README.TXT
        Case{"", kErrFileNotFound}, Case{"\"\" x", kErrFileNotFound}}) {
    int code = 0;
    Status s = P().Run(c.line, &code);
    EXPECT_EQ(s.error, c.error) << c.line << ": " << s.detail;
  }
  int code = 0;
  EXPECT_FALSE(P().Run("C:\\BIN\\JUNK", &code).ok());
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // nothing left to reap
}

// Arguments split as Windows does; in the current folder, with the platform's
// drive map; nothing started once that folder went away.
TEST_F(RunTest, RunsInTheCurrentFolderWithTheArgumentsAndTheDriveMap) {
  Install("C:\\BIN\\WHERE.EXE",
          "{ pwd; printf '%s|%s|%s\\n' \"$ZARIREVO_DRIVES\" \"$ZARIREVO_UNC\" \"$ZARIREVO_WINDIR\";"
          " printf '[%s]' \"$@\"; } > out.txt");
  world_.MakeFolder("D:\\Work Dir");
  ASSERT_TRUE(P().ChangeFolder("d:\\work dir").ok());
  EXPECT_EQ(Run("C:\\BIN\\WHERE -add A:\\MY FILE \"C:\\A B\\*.*\" a\\\"b @L.TXT"), 0);
  const DriveMap& map = world_.drive_map();
  EXPECT_EQ(world_.ReadFile("D:\\Work Dir\\out.txt"),
            world_.root() + "/d/Work Dir\n" + map.DrivesVariable() + "|" + map.unc_root + "|" +
                map.windows_folder + "\n[-add][A:\\MY][FILE][C:\\A B\\*.*][a\"b][@L.TXT]");
  fs::remove_all(world_.Host("D:\\Work Dir"));
  int code = 0;
  EXPECT_EQ(P().Run("C:\\BIN\\WHERE", &code).error, kErrPathNotFound);
}

TEST_F(RunTest, NoDescriptorOrProcessOutlivesTheCalls) {
  Install("C:\\BIN\\FDS.EXE", "exec ls -l /proc/self/fd > fds.txt");
  world_.WriteFile("C:\\DATA\\F.TXT", "x");
  std::set<int> before = OpenDescriptors();
  // Descriptors the test process itself leaves inheritable may reach the child.
  std::set<int> inheritable;
  for (int fd : before) {
    int flags = fcntl(fd, F_GETFD);
    if (flags >= 0 && (flags & FD_CLOEXEC) == 0) inheritable.insert(fd);
  }

  std::vector<FolderEntry> entries;
  std::string bytes;
  ASSERT_TRUE(P().List("C:\\DATA\\*.*", ListKind::kFilesOnly, &entries).ok());
  ASSERT_TRUE(P().ReadFile("c:\\data\\f.txt", &bytes).ok());
  ASSERT_TRUE(P().CopyFile("C:\\DATA\\F.TXT", "C:\\DATA\\G.TXT").ok());
  ASSERT_TRUE(P().AppendFile("C:\\DATA\\G.TXT", "y").ok());
  EXPECT_FALSE(P().ReadFile("C:\\DATA\\NONE.TXT", &bytes).ok());
  EXPECT_FALSE(P().CopyFile("C:\\DATA", "C:\\DATA\\H.TXT").ok());
  ASSERT_TRUE(P().ChangeFolder("C:\\DATA").ok());
  EXPECT_EQ(Run("C:\\BIN\\FDS"), 0);
  // Only the platform's folder handles stay, none of them reaching the child.
  for (int fd : OpenDescriptors()) {
    struct stat st;
    if (before.count(fd) != 0 || fstat(fd, &st) != 0) continue;  // the listing's own
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << "descriptor " << fd;
    EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0) << "descriptor " << fd;
  }
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);

  std::istringstream listing(world_.ReadFile("C:\\DATA\\fds.txt"));
  std::string line;
  int seen = 0;
  while (std::getline(listing, line)) {
    std::size_t arrow = line.find(" -> ");
    if (arrow == std::string::npos) continue;
    std::size_t start = line.rfind(' ', arrow - 1) + 1;
    int fd = std::stoi(line.substr(start, arrow - start));
    std::string target = line.substr(arrow + 4);
    ++seen;
    if (fd <= 2 || inheritable.count(fd) != 0) continue;
    EXPECT_EQ(target.rfind("/proc/", 0), 0u) << "leaked descriptor " << fd << " -> " << target;
  }
  EXPECT_GE(seen, 3);
}

}  // namespace
}  // namespace zr
