#include "platform/host_platform.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>

#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

namespace fs = std::filesystem;
using testing::TestWorld;

std::vector<std::string> Names(const std::vector<FolderEntry>& entries) {
  std::vector<std::string> names;
  for (const FolderEntry& e : entries) names.push_back(e.name);
  return names;
}

int ErrorOf(Status s) { return s.error; }

class HostPlatformTest : public ::testing::Test {
 protected:
  Platform& P() { return world_.platform(); }
  std::vector<std::string> ListNames(const std::string& pattern,
                                     ListKind kind = ListKind::kFilesAndFolders) {
    std::vector<FolderEntry> entries;
    Status s = P().List(pattern, kind, &entries);
    EXPECT_TRUE(s.ok()) << pattern << ": " << s.detail;
    return Names(entries);
  }
  unsigned Attributes(const std::string& path) {
    unsigned a = 0;
    EXPECT_TRUE(P().GetAttributes(path, &a).ok()) << path;
    return a;
  }
  TestWorld world_;
};

TEST_F(HostPlatformTest, NamesDifferingOnlyInCaseResolveDeterministically) {
  world_.WriteFile("C:\\D\\abc", "lower");
  world_.WriteFile("C:\\D\\Abc", "mixed");
  world_.WriteFile("C:\\D\\ABC", "upper");
  std::string bytes;
  ASSERT_TRUE(P().ReadFile("C:\\D\\Abc", &bytes).ok());
  EXPECT_EQ(bytes, "mixed");  // the exact name wins
  ASSERT_TRUE(P().ReadFile("C:\\D\\aBC", &bytes).ok());
  EXPECT_EQ(bytes, "upper");  // otherwise the smallest in byte order
  EXPECT_EQ(ListNames("C:\\D\\*"), (std::vector<std::string>{"ABC", "Abc", "abc"}));
  // The host path of a name found in another case is the host's spelling;
  // what is not there yet is as given.
  std::string host;
  ASSERT_TRUE(P().ToHostPath("c:\\d\\ABC", &host).ok());
  EXPECT_EQ(host, world_.root() + "/c/D/ABC");
  ASSERT_TRUE(P().ToHostPath("c:\\d\\NEW\\F.TXT", &host).ok());
  EXPECT_EQ(host, world_.root() + "/c/D/NEW/F.TXT");
}

// A name Windows refuses but this host holds is still written, as any existing file.
TEST_F(HostPlatformTest, NamesWindowsRefusesThatExistAreWritten) {
  world_.WriteFile("C:\\CUST\\ODD:NAME", "old");
  EXPECT_TRUE(P().WriteFile("C:\\CUST\\odd:name", "new").ok());
  EXPECT_EQ(world_.ReadFile("C:\\CUST\\ODD:NAME"), "new");
}

// A pattern follows our rule alone here; the Windows host also tries it on
// the short 8.3 name, as Windows does, where "*.ZIP" finds c.zipx (C~1.ZIP)
// and "*." finds .profile.
TEST_F(HostPlatformTest, PatternsFollowOurRuleAlone) {
  for (const char* name : {"A.ZIP", "c.zipx", ".profile"}) {
    world_.WriteFile(std::string("C:\\L\\") + name, "");
  }
  EXPECT_EQ(ListNames("C:\\L\\*.ZIP"), std::vector<std::string>{"A.ZIP"});
  EXPECT_EQ(ListNames("C:\\L\\*."), std::vector<std::string>{});
}

// Hidden and system entries are the contract's test; FIFOs and links that
// lead nowhere are no entries either.
TEST_F(HostPlatformTest, ListingSkipsSpecialEntries) {
  world_.WriteFile("C:\\H\\SHOWN.TXT", "");
  ASSERT_EQ(mkfifo((world_.root() + "/c/H/PIPE").c_str(), 0644), 0);
  fs::create_symlink(world_.root() + "/c/H/GONE", world_.root() + "/c/H/DANGLING");
  EXPECT_EQ(ListNames("C:\\H\\*.*"), std::vector<std::string>{"SHOWN.TXT"});
}

// Runs `call` on its own thread; when it has not returned after a few seconds
// (blocked opening `fifo`), opens both ends of the FIFO to release it, so the
// failing test ends instead of hanging the suite.
bool ReturnsWithoutBlocking(const std::string& fifo, std::function<void()> call) {
  auto done = std::async(std::launch::async, std::move(call));
  if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
  int release = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  done.wait();
  ::close(release);
  return false;
}

TEST_F(HostPlatformTest, FifosAndDevicesAreRefusedLikeUnreadableFiles) {
  world_.WriteFile("C:\\P\\F.TXT", "f");
  const std::string fifo = world_.root() + "/c/P/PIPE.INI";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", world_.root() + "/c/P/ZERO.INI");
  std::string b;
  const std::vector<std::pair<const char*, std::function<Status()>>> cases = {
      {"read", [&] { return P().ReadFile("C:\\P\\pipe.ini", &b); }},
      {"copy from", [&] { return P().CopyFile("C:\\P\\PIPE.INI", "C:\\P\\OUT"); }},
      {"write", [&] { return P().WriteFile("C:\\P\\PIPE.INI", "x"); }},
      {"append", [&] { return P().AppendFile("C:\\P\\PIPE.INI", "x"); }},
      {"read a device", [&] { return P().ReadFile("C:\\P\\ZERO.INI", &b); }}};
  for (const auto& [what, call] : cases) {
    Status status;
    EXPECT_TRUE(ReturnsWithoutBlocking(fifo, [&] { status = call(); })) << what;
    EXPECT_EQ(status.error, kErrPathFileAccess) << what;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(world_.Tree("C:\\P"), std::vector<std::string>{"F.TXT"});  // no copy, no temporary
}

TEST_F(HostPlatformTest, HiddenAndSystemAreKeptAsHexTextInAnExtendedAttribute) {
  world_.WriteFile("C:\\X\\A.TXT", "");
  world_.WriteFile("C:\\X\\SAMBA.TXT", "");
  const std::string a = world_.Host("C:\\X\\A.TXT");
  ASSERT_TRUE(P().SetAttributes("C:\\X\\A.TXT", kAttrHidden | kAttrSystem).ok());
  char value[16] = {};
  ASSERT_EQ(getxattr(a.c_str(), "user.DOSATTRIB", value, sizeof(value) - 1), 3);
  EXPECT_STREQ(value, "0x6");
  ASSERT_TRUE(P().SetAttributes("C:\\X\\A.TXT", kAttrNormal).ok());
  EXPECT_LT(getxattr(a.c_str(), "user.DOSATTRIB", value, sizeof(value)), 0);
  // Written by another tool: hidden + archive; only hidden and system count.
  const std::string samba = world_.Host("C:\\X\\SAMBA.TXT");
  ASSERT_EQ(setxattr(samba.c_str(), "user.DOSATTRIB", "0x22", 5, 0), 0);  // with its NUL
  EXPECT_EQ(Attributes("C:\\X\\SAMBA.TXT"), unsigned{kAttrHidden});
  ASSERT_EQ(setxattr(samba.c_str(), "user.DOSATTRIB", "junk", 4, 0), 0);
  EXPECT_EQ(Attributes("C:\\X\\SAMBA.TXT"), unsigned{kAttrNormal});
}

// What a copy does on this host beyond the contract: the mode goes along, a
// copy that fails half-way (the file size limit stands for a full disk)
// leaves the old target and no temporary, or no new target, a file whose size says nothing
// (as those of /proc) is copied, and summed, to its end.
TEST_F(HostPlatformTest, CopiesOnThisHost) {
  world_.WriteFile("C:\\SRC\\PROG.EXE", std::string(200000, 'p'));
  fs::permissions(world_.Host("C:\\SRC\\PROG.EXE"), fs::perms::owner_exec, fs::perm_options::add);
  ASSERT_TRUE(P().CopyFile("c:\\src\\prog.exe", "A:\\PROG.EXE").ok());
  EXPECT_NE(fs::status(world_.Host("A:\\PROG.EXE")).permissions() & fs::perms::owner_exec,
            fs::perms::none);
  world_.WriteFile("A:\\BIG.EXE", "old");
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = 100000;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int failed = ErrorOf(P().CopyFile("C:\\SRC\\PROG.EXE", "A:\\BIG.EXE"));
  std::optional<FileSum> sum;
  const int failed_new = ErrorOf(P().CopyFileSummed("C:\\SRC\\PROG.EXE", "A:\\NEW.EXE", &sum));
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(failed, kErrDiskFull);
  EXPECT_EQ(failed_new, kErrDiskFull);
  EXPECT_EQ(world_.ReadFile("A:\\BIG.EXE"), "old");
  EXPECT_EQ(world_.Tree("A:\\"), (std::vector<std::string>{"BIG.EXE", "PROG.EXE"}));
  fs::create_symlink("/proc/self/status", world_.Host("C:\\SRC\\STATUS"));
  ASSERT_TRUE(P().CopyFile("C:\\SRC\\STATUS", "A:\\STATUS").ok());
  EXPECT_NE(world_.ReadFile("A:\\STATUS").find("Name:"), std::string::npos);
  FileSum copied;
  ASSERT_TRUE(P().CopyFileSummed("C:\\SRC\\STATUS", "A:\\SUMMED", &sum).ok());
  ASSERT_TRUE(P().SumFile("A:\\SUMMED", &copied).ok());
  EXPECT_EQ(sum, copied);
  EXPECT_GT(copied.size, 100u);
}

// A rewrite keeps the file as it was set up: a link stays a link and the
// file it names gets the bytes, two names stay one file, owner, group and
// mode stay, and what lies under the old fixed temporary name (a link to a
// file elsewhere, a folder) is never opened. One that fails half-way (the
// file size limit stands for a full disk) leaves the old bytes and nothing
// beside them, on either way of writing.
TEST_F(HostPlatformTest, RewriteKeepsTheFileAsSetUp) {
  const std::string before(1000, 'o'), after(300000, 'n');
  world_.WriteFile("D:\\ELSEWHERE.TXT", "elsewhere");
  const std::string elsewhere = world_.Host("D:\\ELSEWHERE.TXT");
  struct Case {
    const char* name;
    std::function<void(const std::string& file)> setup;
    std::string also;  // a host file that must hold the new bytes too
  };
  const Case cases[] = {
      {"leftover link", [&](const std::string& f) { fs::create_symlink(elsewhere, f + ".~zr"); },
       ""},
      {"leftover folder", [](const std::string& f) { fs::create_directory(f + ".~zr"); }, ""},
      {"link",
       [&](const std::string& f) {
         fs::rename(f, world_.Host("D:\\TARGET.INI"));
         fs::create_symlink(world_.Host("D:\\TARGET.INI"), f);
       },
       world_.Host("D:\\TARGET.INI")},
      {"hard link", [](const std::string& f) { fs::create_hard_link(f, f + ".OTHER"); }, "+"},
      {"owner and mode",
       [](const std::string& f) {
         ASSERT_EQ(::chown(f.c_str(), 1234, 5678), 0);
         ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
       },
       ""},
  };
  struct rlimit unlimited;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
  struct rlimit small = unlimited;
  small.rlim_cur = 100000;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = std::string("C:\\SET\\") + c.name;
    world_.WriteFile(folder + "\\F.INI", before);
    const std::string file = world_.Host(folder + "\\F.INI");
    c.setup(file);
    const std::string also = c.also == "+" ? file + ".OTHER" : c.also;
    struct stat link_before, st_before, st;
    ASSERT_EQ(::lstat(file.c_str(), &link_before), 0);
    ASSERT_EQ(::stat(file.c_str(), &st_before), 0);
    const std::vector<std::string> tree = world_.Tree(folder), drive_d = world_.Tree("D:\\");
    const fs::file_type leftover = fs::symlink_status(file + ".~zr").type();

    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int failed = ErrorOf(P().RewriteFile(folder + "\\f.ini", after));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_EQ(failed, kErrDiskFull);
    EXPECT_EQ(world_.ReadFile(folder + "\\F.INI"), before);
    EXPECT_EQ(world_.Tree(folder), tree);
    EXPECT_EQ(world_.Tree("D:\\"), drive_d);

    ASSERT_TRUE(P().RewriteFile(folder + "\\f.ini", after).ok());
    EXPECT_EQ(world_.ReadFile(folder + "\\F.INI"), after);
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IFMT, link_before.st_mode & S_IFMT);
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode, st_before.st_mode);
    EXPECT_EQ(st.st_uid, st_before.st_uid);
    EXPECT_EQ(st.st_gid, st_before.st_gid);
    EXPECT_EQ(st.st_nlink, st_before.st_nlink);
    if (!also.empty()) {
      std::ifstream in(also, std::ios::binary);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), after);
    }
    EXPECT_EQ(world_.Tree(folder), tree);
    EXPECT_EQ(fs::symlink_status(file + ".~zr").type(), leftover);
    EXPECT_EQ(world_.ReadFile("D:\\ELSEWHERE.TXT"), "elsewhere");
  }
  std::signal(SIGXFSZ, old_handler);
  // A link that leads nowhere is not written through; a new file is made.
  fs::create_symlink(world_.Host("D:\\NONE\\X.INI"), world_.Host("C:\\SET\\DANGLING.INI"));
  EXPECT_EQ(ErrorOf(P().RewriteFile("C:\\SET\\DANGLING.INI", "x")), kErrPathFileAccess);
  EXPECT_FALSE(world_.Exists("D:\\NONE"));
  ASSERT_TRUE(P().RewriteFile("C:\\SET\\NEW.INI", "new").ok());
  EXPECT_EQ(world_.ReadFile("C:\\SET\\NEW.INI"), "new");
  EXPECT_EQ(ErrorOf(P().RewriteFile("C:\\SET\\NODIR\\X.INI", "x")), kErrPathNotFound);
}

TEST_F(HostPlatformTest, LinksAreRemovedAsLinksAndNeverFollowed) {
  world_.WriteFile("D:\\PRECIOUS\\DATA.TXT", "data");
  world_.MakeFolder("C:\\TREE");
  fs::create_directory_symlink(world_.Host("D:\\PRECIOUS"), world_.Host("C:\\TREE\\LINK"));
  EXPECT_TRUE(FolderExists(P(), "C:\\TREE\\LINK"));
  EXPECT_EQ(ErrorOf(P().DeleteFile("C:\\TREE\\LINK")), kErrPathFileAccess);
  ASSERT_TRUE(P().RemoveFolder("C:\\TREE\\link").ok());
  EXPECT_FALSE(world_.Exists("C:\\TREE\\LINK"));
  EXPECT_EQ(world_.ReadFile("D:\\PRECIOUS\\DATA.TXT"), "data");

  fs::create_symlink(world_.Host("D:\\PRECIOUS\\DATA.TXT"), world_.Host("C:\\TREE\\FILELINK"));
  // A file opened to append to through one handle (the archive list) is
  // never reached through a link put in its place.
  std::unique_ptr<AppendingFile> list;
  EXPECT_FALSE(P().OpenAppending("C:\\TREE\\FILELINK", &list).ok());
  EXPECT_EQ(list, nullptr);
  ASSERT_TRUE(P().DeleteFile("C:\\TREE\\FILELINK").ok());
  EXPECT_EQ(world_.ReadFile("D:\\PRECIOUS\\DATA.TXT"), "data");
}

// Files are opened and created relative to a folder's handle, kept from the
// first use: a link put in a folder's place afterwards is never followed, a
// folder removed (by anyone) is looked up again by its path.
TEST_F(HostPlatformTest, FolderHandlesNeverLeadWhereTheFolderWasNotChecked) {
  world_.WriteFile("C:\\SRC\\F.TXT", "f");
  world_.MakeFolder("C:\\CUST\\X");
  world_.MakeFolder("D:\\OUTSIDE");
  std::string before, after;
  ASSERT_TRUE(P().RealLocation("C:\\CUST\\X\\F.TXT", &before).ok());
  ASSERT_TRUE(P().CopyFile("C:\\SRC\\F.TXT", "C:\\CUST\\X\\F.TXT").ok());
  // Moved away and a link to elsewhere put in its place: the copy still
  // goes to the folder that was checked.
  fs::rename(world_.Host("C:\\CUST\\X"), world_.Host("C:\\CUST\\MOVED"));
  fs::create_directory_symlink(world_.Host("D:\\OUTSIDE"), world_.Host("C:\\CUST\\X"));
  ASSERT_TRUE(P().CopyFile("C:\\SRC\\F.TXT", "C:\\CUST\\X\\G.TXT").ok());
  EXPECT_FALSE(world_.Exists("D:\\OUTSIDE\\G.TXT"));
  EXPECT_TRUE(world_.Exists("C:\\CUST\\MOVED\\G.TXT"));
  // Removed and replaced by a link: looked up again, the real location is
  // the link's target.
  fs::remove_all(world_.Host("C:\\CUST\\MOVED"));
  ASSERT_TRUE(P().RealLocation("C:\\CUST\\X\\F.TXT", &after).ok());
  EXPECT_EQ(PlaceOfLocations(after, before), Placement::kApart) << after;
  EXPECT_EQ(PlaceOf(P(), "C:\\CUST\\X\\F.TXT", "D:\\OUTSIDE"), Placement::kBelow);
  // A folder link removed by the platform takes its handle along: a folder
  // made under that name gets the next copy, not the link's old target.
  ASSERT_TRUE(P().CopyFile("C:\\SRC\\F.TXT", "C:\\CUST\\X\\H.TXT").ok());
  EXPECT_TRUE(world_.Exists("D:\\OUTSIDE\\H.TXT"));
  ASSERT_TRUE(P().RemoveFolder("C:\\CUST\\X").ok());
  ASSERT_TRUE(P().CreateFolder("C:\\CUST\\X").ok());
  ASSERT_TRUE(P().CopyFile("C:\\SRC\\F.TXT", "C:\\CUST\\X\\I.TXT").ok());
  EXPECT_TRUE(world_.Exists("C:\\CUST\\X\\I.TXT"));
  EXPECT_FALSE(world_.Exists("D:\\OUTSIDE\\I.TXT"));
  // A source folder removed and made again is read afresh.
  fs::remove_all(world_.Host("C:\\SRC"));
  world_.WriteFile("C:\\SRC\\F.TXT", "new");
  FileSum sum;
  ASSERT_TRUE(P().SumFile("C:\\SRC\\F.TXT", &sum).ok());
  EXPECT_EQ(sum.size, 3u);
}

// A folder removed and replaced by a link between the check of where a
// copy goes and the copy: the copy refuses, nothing reaches the link's
// target; checked again, the link is seen for where it leads.
TEST_F(HostPlatformTest, AFolderSwappedForALinkAfterItsCheckIsNotWrittenThrough) {
  world_.WriteFile("C:\\SRC\\F.TXT", "f");
  world_.MakeFolder("C:\\CUST\\X");
  world_.MakeFolder("D:\\OUTSIDE");
  testing::FaultPlatform faulty(P());
  faulty.Before(testing::Call::kCopyFile, "CUST", [this](const std::string&) {
    fs::remove_all(world_.Host("C:\\CUST\\X"));
    fs::create_directory_symlink(world_.Host("D:\\OUTSIDE"), world_.Host("C:\\CUST\\X"));
  });
  EXPECT_EQ(PlaceOf(faulty, "C:\\CUST\\X\\F.TXT", "C:\\CUST"), Placement::kBelow);
  std::optional<FileSum> sum;
  EXPECT_EQ(faulty.CopyFileSummed("C:\\SRC\\F.TXT", "C:\\CUST\\X\\F.TXT", &sum).error,
            kErrPathFileAccess);
  EXPECT_TRUE(world_.Tree("D:\\OUTSIDE").empty());
  EXPECT_EQ(PlaceOf(P(), "C:\\CUST\\X\\F.TXT", "C:\\CUST"), Placement::kApart);
}

TEST_F(HostPlatformTest, PlacementComparesRealLocations) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  world_.MakeFolder("A:\\BK");
  fs::create_directory_symlink(world_.Host("C:\\KYCONFIG"), world_.Host("A:\\LINK"));
  struct Case {
    const char* path;
    const char* folder;
    Placement want;
  } cases[] = {
      // clang-format off
      {"A:\\LINK\\SYSTEM\\ZA-RIREVO.INI", "C:\\KYCONFIG", Placement::kBelow},
      {"A:\\LINK\\", "C:\\kyconfig\\", Placement::kSame}, {"A:\\LINK\\", "A:\\", Placement::kApart},
      // clang-format on
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceOf(P(), c.path, c.folder), c.want) << c.path << " against " << c.folder;
  }
  fs::create_symlink(world_.Host("C:\\NOWHERE"), world_.Host("A:\\BK\\DANGLING"));
  std::string location;
  EXPECT_EQ(ErrorOf(P().RealLocation("A:\\BK\\DANGLING\\F", &location)), kErrPathFileAccess);
}

TEST(HostPlatformStartTest, StartsInTheHostWorkingFolderThroughTheMap) {
  std::string cwd = fs::current_path().string();
  DriveMap root_map;
  root_map.drives['C'] = "/";
  std::string expected = "C:" + cwd;
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(CreateHostPlatform(root_map)->CurrentFolder(), cwd == "/" ? "C:\\" : expected);
  DriveMap elsewhere;
  elsewhere.drives['A'] = "/nonexistent-zr-drive";
  EXPECT_EQ(CreateHostPlatform(elsewhere)->CurrentFolder(), "C:\\");
  // A map of no drives maps nothing here (Windows would take its own drives).
  EXPECT_EQ(CreateHostPlatform(DriveMap{})->FromHostPath(cwd), "");
  EXPECT_EQ(CreateHostPlatform(DriveMap{})->CurrentFolder(), "C:\\");
}

// The variables are not set where the tests run; each case sets what it needs.
TEST(DriveMapTest, ReadsTheEnvironmentAndWritesItBack) {
  const char* names[] = {"ZARIREVO_DRIVES", "ZARIREVO_UNC", "ZARIREVO_WINDIR"};
  for (const char* name : names) testing::SetEnvironment(name, nullptr);
  DriveMap map = DriveMap::FromEnvironment();
  EXPECT_EQ(map.drives, (std::map<char, std::string>{{'C', "/"}}));
  EXPECT_EQ(map.unc_root + "|" + map.windows_folder, "|C:\\WINDOWS");
  testing::SetEnvironment(names[0], "a=/tmp/w/a/;C=/tmp/w/c;bad;=x;D=");
  testing::SetEnvironment(names[1], "/tmp/w/unc");
  testing::SetEnvironment(names[2], "D:\\WIN");
  map = DriveMap::FromEnvironment();
  for (const char* name : names) testing::SetEnvironment(name, nullptr);
  EXPECT_EQ(map.drives, (std::map<char, std::string>{{'A', "/tmp/w/a"}, {'C', "/tmp/w/c"}}));
  EXPECT_EQ(map.unc_root + "|" + map.windows_folder, "/tmp/w/unc|D:\\WIN");
  EXPECT_EQ(map.DrivesVariable(), "A=/tmp/w/a;C=/tmp/w/c");
}

}  // namespace
}  // namespace zr
