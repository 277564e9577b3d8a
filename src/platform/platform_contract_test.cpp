// What every host's platform promises, in the same temporary world on each:
// this file builds into the POSIX tests and into the Windows ones run under
// Wine, so that the two hosts answer alike.
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_platform.h"
#include "platform/platform.h"
#include "platform/windows_path.h"
#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

using testing::TestWorld;

class PlatformContractTest : public ::testing::Test {
 protected:
  Platform& P() { return world_.platform(); }
  std::vector<std::string> Names(const std::string& pattern,
                                 ListKind kind = ListKind::kFilesAndFolders) {
    std::vector<FolderEntry> entries;
    const Status listed = P().List(pattern, kind, &entries);
    EXPECT_TRUE(listed.ok()) << pattern << ": " << listed.detail;
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries) names.push_back(entry.name);
    return names;
  }
  TestWorld world_;
};

TEST_F(PlatformContractTest, MissingThingsGiveTheRunTimeNumbers) {
  world_.WriteFile("C:\\HERE\\FILE.TXT", "x");
  unsigned a = 0;
  std::string bytes;
  struct Case {
    const char* path;
    int error;
  };
  for (const Case& c : {Case{"C:\\HERE\\NOPE.TXT", kErrFileNotFound},
                        Case{"C:\\NOPE\\X.TXT", kErrPathNotFound},
                        Case{"C:\\HERE\\FILE.TXT\\X", kErrPathNotFound},
                        Case{"B:\\X.TXT", kErrDiskNotReady}}) {
    EXPECT_EQ(P().GetAttributes(c.path, &a).error, c.error) << c.path;
    EXPECT_EQ(P().ReadFile(c.path, &bytes).error, c.error) << c.path;
  }
  EXPECT_EQ(P().DeleteFile("C:\\HERE\\NOPE.TXT").error, kErrFileNotFound);
  EXPECT_EQ(P().DeleteFile("C:\\HERE").error, kErrPathFileAccess);
  EXPECT_EQ(P().WriteFile("C:\\NOPE\\X.TXT", "x").error, kErrPathNotFound);
  EXPECT_EQ(P().WriteFile("C:\\HERE", "x").error, kErrPathFileAccess);
  EXPECT_EQ(P().CopyFile("C:\\HERE\\FILE.TXT", "C:\\NOPE\\X.TXT").error, kErrPathNotFound);
  EXPECT_EQ(P().CopyFile("C:\\HERE\\NOPE.TXT", "A:\\X.TXT").error, kErrFileNotFound);
  EXPECT_EQ(P().CopyFile("C:\\HERE", "A:\\X.TXT").error, kErrPathFileAccess);
  EXPECT_EQ(P().CopyFile("C:\\HERE\\FILE.TXT", "C:\\here\\file.txt").error, kErrPathFileAccess);
  world_.MakeFolder("C:\\HERE\\DIR");
  EXPECT_EQ(P().CopyFile("C:\\HERE\\FILE.TXT", "C:\\HERE\\DIR").error, kErrPathFileAccess);
  EXPECT_EQ(P().RenameFile("C:\\HERE\\FILE.TXT", "C:\\HERE\\DIR").error, kErrPathFileAccess);
  EXPECT_EQ(P().RenameFile("C:\\HERE\\NOPE.TXT", "C:\\HERE\\X").error, kErrFileNotFound);
  EXPECT_EQ(P().RenameFile("C:\\HERE\\FILE.TXT", "C:\\NOPE\\X").error, kErrPathNotFound);
  EXPECT_EQ(world_.ReadFile("C:\\HERE\\FILE.TXT"), "x");
  ASSERT_TRUE(P().RemoveFolder("C:\\HERE\\DIR").ok());
  EXPECT_EQ(P().CreateFolder("C:\\here").error, kErrPathFileAccess);
  EXPECT_EQ(P().CreateFolder("C:\\NOPE\\SUB").error, kErrPathNotFound);
  EXPECT_EQ(P().RemoveFolder("C:\\HERE").error, kErrPathFileAccess);  // not empty
  EXPECT_EQ(P().RemoveFolder("C:\\NOPE").error, kErrPathNotFound);
  EXPECT_EQ(P().RemoveFolder("C:\\HERE\\FILE.TXT").error, kErrPathFileAccess);
  EXPECT_EQ(P().RemoveFolder("C:\\").error, kErrPathFileAccess);
  std::vector<FolderEntry> entries;
  EXPECT_EQ(P().List("C:\\NOPE\\*", ListKind::kFilesOnly, &entries).error, kErrPathNotFound);
  EXPECT_EQ(P().List("B:\\*", ListKind::kFilesOnly, &entries).error, kErrDiskNotReady);
  ASSERT_TRUE(P().DeleteFile("C:\\HERE\\FILE.TXT").ok());
  EXPECT_TRUE(P().RemoveFolder("c:\\here").ok());
  EXPECT_FALSE(world_.Exists("C:\\HERE"));

  // A drive whose host folder went away is not ready, and is again when it is back.
  world_.WriteFile("A:\\DATA.ZIP", "zip");
  world_.WriteFile("C:\\F.TXT", "f");
  world_.RemoveDrive('A');
  EXPECT_EQ(P().List("A:\\*.ZIP", ListKind::kFilesOnly, &entries).error, kErrDiskNotReady);
  EXPECT_EQ(P().WriteFile("A:\\NEW.TXT", "x").error, kErrDiskNotReady);
  EXPECT_EQ(P().CopyFile("C:\\F.TXT", "A:\\F.TXT").error, kErrDiskNotReady);
  EXPECT_EQ(P().CreateFolder("A:\\DIR").error, kErrDiskNotReady);
  world_.RestoreDrive('A');
  EXPECT_TRUE(P().CopyFile("C:\\F.TXT", "A:\\F.TXT").ok());
}

// Names are found whatever their case, by the letters of Windows-1252 too
// (Ÿ and ÿ lie apart in Unicode); a write in another case writes the file
// that is there.
TEST_F(PlatformContractTest, NamesAreUtf8AndFoundWithoutRegardToCase) {
  world_.WriteFile("C:\\KyConfig\\KY-GEN.CNF", "cnf");
  std::string bytes;
  ASSERT_TRUE(P().ReadFile("c:\\kyconfig\\ky-gen.cnf", &bytes).ok());
  EXPECT_EQ(bytes, "cnf");
  EXPECT_TRUE(FolderExists(P(), "C:\\KYCONFIG"));
  EXPECT_TRUE(FileExists(P(), "C:\\kyconfig\\Ky-Gen.Cnf"));
  ASSERT_TRUE(P().WriteFile("C:\\KYCONFIG\\KY-gen.cnf", "new").ok());
  EXPECT_EQ(world_.ReadFile("C:\\KyConfig\\KY-GEN.CNF"), "new");
  EXPECT_EQ(world_.Tree("C:\\KyConfig"), std::vector<std::string>{"KY-GEN.CNF"});
  ASSERT_TRUE(P().WriteFile("C:\\CAFFÈ.TXT", "caffè").ok());
  ASSERT_TRUE(P().ReadFile("c:\\caffè.txt", &bytes).ok());
  EXPECT_EQ(bytes, "caffè");
  EXPECT_EQ(Names("C:\\caf*"), std::vector<std::string>{"CAFFÈ.TXT"});
  world_.WriteFile("C:\\X\\ŠA.TXT", "s");
  world_.WriteFile("C:\\X\\ŒŸŽ", "o");
  unsigned a = 0;
  EXPECT_TRUE(P().GetAttributes("C:\\X\\ša.txt", &a).ok());
  ASSERT_TRUE(P().ReadFile("c:\\x\\œÿž", &bytes).ok());
  EXPECT_EQ(bytes, "o");
}

// Our wildcard rule, the kind asked for, case-blind order; hidden and system
// entries are left out (and a hidden file is no file to FileExists). Windows
// also tries a pattern on the short 8.3 name: what that adds is the POSIX
// host's test.
TEST_F(PlatformContractTest, ListingFollowsWildcardsKindOrderAndAttributes) {
  for (const char* name :
       {"b.zip", "A.ZIP", "README", ".profile", "x.ZIP.bak", "HIDDEN.ZIP", "SYSTEM.ZIP"}) {
    world_.WriteFile(std::string("C:\\L\\") + name, "");
  }
  world_.MakeFolder("C:\\L\\DIR.ZIP");
  world_.MakeFolder("C:\\L\\HIDDENDIR");
  ASSERT_TRUE(P().SetAttributes("C:\\L\\HIDDEN.ZIP", kAttrHidden).ok());
  ASSERT_TRUE(P().SetAttributes("C:\\L\\SYSTEM.ZIP", kAttrSystem).ok());
  ASSERT_TRUE(P().SetAttributes("C:\\L\\HIDDENDIR", kAttrHidden | kAttrSystem).ok());
  const ListKind files = ListKind::kFilesOnly;
  EXPECT_EQ(Names("C:\\L\\*.ZIP", files), (std::vector<std::string>{"A.ZIP", "b.zip"}));
  EXPECT_EQ(Names("C:\\L\\*.zip"), (std::vector<std::string>{"A.ZIP", "b.zip", "DIR.ZIP"}));
  EXPECT_EQ(Names("C:\\L\\*.*", files),
            (std::vector<std::string>{".profile", "A.ZIP", "b.zip", "README", "x.ZIP.bak"}));
  EXPECT_EQ(Names("C:\\L\\", files).size(), 5u);
  EXPECT_EQ(Names("C:\\L\\readme"), std::vector<std::string>{"README"});
  EXPECT_EQ(Names("C:\\L\\README.*"), std::vector<std::string>{"README"});
  EXPECT_EQ(Names("C:\\L\\dir.zip", files), std::vector<std::string>{});
  EXPECT_EQ(Names("C:\\L\\NOTHING*"), std::vector<std::string>{});
  EXPECT_EQ(Names("C:\\L"), std::vector<std::string>{"L"});
  EXPECT_FALSE(FileExists(P(), "C:\\L\\HIDDEN.ZIP"));
  unsigned attributes = 0;
  ASSERT_TRUE(P().GetAttributes("C:\\L\\SYSTEM.ZIP", &attributes).ok());
  EXPECT_EQ(attributes, unsigned{kAttrSystem});
  ASSERT_TRUE(P().SetAttributes("C:\\L\\HIDDEN.ZIP", kAttrNormal).ok());
  EXPECT_TRUE(FileExists(P(), "C:\\L\\HIDDEN.ZIP"));
  std::vector<FolderEntry> entries{{"stale", 0}};
  EXPECT_EQ(P().List("C:\\MISSING\\*.*", files, &entries).error, kErrPathNotFound);
  EXPECT_TRUE(entries.empty());
  ASSERT_TRUE(P().ChangeFolder("C:\\L").ok());
  EXPECT_EQ(Names("*.ZIP", files).size(), 3u);
  EXPECT_EQ(Names("C:b*"), std::vector<std::string>{"b.zip"});
}

TEST_F(PlatformContractTest, ReadOnlyIsRefusedAndCopiesReplaceWhole) {
  ASSERT_TRUE(P().WriteFile("C:\\SRC.TXT", "new").ok());
  ASSERT_TRUE(P().AppendFile("c:\\src.txt", "er").ok());
  ASSERT_TRUE(P().WriteFile("A:\\OLD.TXT", "old").ok());
  ASSERT_TRUE(P().SetAttributes("A:\\OLD.TXT", kAttrReadOnly).ok());
  unsigned attributes = 0;
  ASSERT_TRUE(P().GetAttributes("a:\\old.txt", &attributes).ok());
  EXPECT_EQ(attributes, unsigned{kAttrReadOnly});
  EXPECT_EQ(P().DeleteFile("A:\\OLD.TXT").error, kErrPermissionDenied);
  EXPECT_EQ(P().WriteFile("A:\\OLD.TXT", "x").error, kErrPermissionDenied);
  EXPECT_EQ(P().AppendFile("A:\\OLD.TXT", "x").error, kErrPermissionDenied);
  EXPECT_EQ(P().CopyFile("C:\\SRC.TXT", "A:\\OLD.TXT").error, kErrPermissionDenied);
  EXPECT_EQ(P().RenameFile("C:\\SRC.TXT", "A:\\OLD.TXT").error, kErrPermissionDenied);
  EXPECT_EQ(world_.ReadFile("A:\\OLD.TXT"), "old");
  ASSERT_TRUE(P().SetAttributes("A:\\OLD.TXT", kAttrNormal).ok());
  ASSERT_TRUE(P().CopyFile("C:\\SRC.TXT", "a:\\old.txt").ok());
  EXPECT_EQ(world_.ReadFile("A:\\OLD.TXT"), "newer");
  EXPECT_EQ(Names("A:\\*"), (std::vector<std::string>{"OLD.TXT"}));  // no temporary left
  // A rename replaces the target under its name there and leaves no source.
  ASSERT_TRUE(P().RenameFile("c:\\src.txt", "a:\\old.txt").ok());
  EXPECT_FALSE(world_.Exists("C:\\SRC.TXT"));
  EXPECT_EQ(Names("A:\\*"), (std::vector<std::string>{"OLD.TXT"}));
  ASSERT_TRUE(P().DeleteFile("A:\\OLD.TXT").ok());
}

// A summed copy gives the size and CRC-32 of the source's bytes as they are,
// the ends of lines, an end-of-file character and NULs included, over more
// than one buffer: what an archiver reads of the source, and no other sum.
TEST_F(PlatformContractTest, ASummedCopyGivesTheSumOfTheSourceBytes) {
  std::string big;
  for (int i = 0; big.size() < (std::size_t{1} << 18) + 3; ++i) big += static_cast<char>(i * 7);
  for (const std::string& bytes : {std::string("[A]\r\nK=1\n\r\n\x1a\0end", 16), big}) {
    world_.WriteFile("C:\\SRC\\B100.MAC", bytes);
    const FileSum expected{bytes.size(),
                           static_cast<std::uint32_t>(crc32(
                               0, reinterpret_cast<const Bytef*>(bytes.data()),
                               static_cast<uInt>(bytes.size())))};
    std::optional<FileSum> sum;
    ASSERT_TRUE(P().CopyFileSummed("C:\\SRC\\B100.MAC", "A:\\B100.MAC", &sum).ok());
    EXPECT_EQ(world_.ReadFile("A:\\B100.MAC"), bytes);
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(*sum, expected) << bytes.size();
    FileSum read;
    ASSERT_TRUE(P().SumFile("c:\\src\\b100.mac", &read).ok());
    EXPECT_EQ(read, expected) << bytes.size();
  }
}

// A file held open for appending: each Append is in the file at once,
// AppendFile's checks apply at the open, and once closed nothing holds its
// folder (a Windows handle would keep it).
TEST_F(PlatformContractTest, AnAppendingHandleWritesThroughAndLetsItsFolderGo) {
  ASSERT_TRUE(P().CreateFolder("C:\\TMP").ok());
  std::unique_ptr<AppendingFile> file;
  ASSERT_TRUE(P().OpenAppending("C:\\TMP\\LIST.TXT", &file).ok());
  EXPECT_TRUE(world_.Exists("C:\\TMP\\LIST.TXT"));
  for (const char* line : {"A\r\n", "B\r\n"}) ASSERT_TRUE(file->Append(line).ok());
  EXPECT_EQ(world_.ReadFile("C:\\TMP\\LIST.TXT"), "A\r\nB\r\n");
  ASSERT_TRUE(file->Close().ok());
  file.reset();
  ASSERT_TRUE(P().DeleteFile("C:\\TMP\\LIST.TXT").ok());
  EXPECT_TRUE(P().RemoveFolder("C:\\TMP").ok());
  EXPECT_EQ(P().OpenAppending("C:\\TMP\\LIST.TXT", &file).error, kErrPathNotFound);
  world_.WriteFile("A:\\RO.TXT", "ro");
  ASSERT_TRUE(P().SetAttributes("A:\\RO.TXT", kAttrReadOnly).ok());
  EXPECT_EQ(P().OpenAppending("A:\\RO.TXT", &file).error, kErrPermissionDenied);
  EXPECT_EQ(P().OpenAppending("A:\\", &file).error, kErrPathFileAccess);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(world_.ReadFile("A:\\RO.TXT"), "ro");
}

TEST_F(PlatformContractTest, FoldersAndHostPathsGoThroughTheMap) {
  ASSERT_TRUE(P().CreateFolder("C:\\KY").ok());
  ASSERT_TRUE(P().ChangeFolder("c:\\ky").ok());
  EXPECT_EQ(P().ChangeFolder("B:\\").error, kErrDiskNotReady);
  ASSERT_TRUE(P().WriteFile("REL.TXT", "r").ok());
  EXPECT_TRUE(FileExists(P(), "C:\\KY\\REL.TXT"));
  std::string host;
  ASSERT_TRUE(P().ToHostPath("C:\\KY\\REL.TXT", &host).ok());
  EXPECT_EQ(P().FromHostPath(host), "C:\\KY\\REL.TXT");
  EXPECT_EQ(P().FromHostPath(world_.root() + "/elsewhere"), "");
  // UNC names live below the UNC root, a server and its share both needed.
  world_.WriteFile("\\\\SRV\\Share\\Dir\\X.TXT", "unc");
  std::string bytes;
  ASSERT_TRUE(P().ReadFile("\\\\srv\\SHARE\\dir\\x.txt", &bytes).ok());
  EXPECT_EQ(bytes, "unc");
  const std::string unc = world_.drive_map().unc_root;
  EXPECT_EQ(P().FromHostPath(unc + "/SRV/Share/Dir"), "\\\\SRV\\Share\\Dir");
  EXPECT_EQ(P().FromHostPath(unc + "/SRV"), "");
  EXPECT_EQ(P().FromHostPath(unc + "/SRV/"), "");
  EXPECT_EQ(P().ReadFile("\\\\SRV", &bytes).error, kErrPathNotFound);
  // A server or share whose folder is missing is a drive that is not ready;
  // a folder missing within a share is a path not found.
  unsigned attributes = 0;
  for (const char* missing : {"\\\\OTHER\\SHARE\\X", "\\\\SRV\\OTHER\\X", "\\\\OTHER\\SHARE"}) {
    EXPECT_EQ(P().ReadFile(missing, &bytes).error, kErrDiskNotReady) << missing;
    EXPECT_EQ(P().GetAttributes(missing, &attributes).error, kErrDiskNotReady) << missing;
    EXPECT_EQ(P().ChangeFolder(missing).error, kErrDiskNotReady) << missing;
  }
  EXPECT_EQ(P().ReadFile("\\\\SRV\\Share\\NONE\\X", &bytes).error, kErrPathNotFound);
  EXPECT_EQ(P().WriteFile("\\\\OTHER\\SHARE\\X", "x").error, kErrDiskNotReady);
  DriveMap no_unc = world_.drive_map();
  no_unc.unc_root.clear();
  EXPECT_EQ(CreateHostPlatform(no_unc)->ReadFile("\\\\SRV\\Share\\Dir\\X.TXT", &bytes).error,
            kErrDiskNotReady);
}

TEST_F(PlatformContractTest, NamesWindowsRefusesAreNeverCreated) {
  world_.WriteFile("C:\\CUST\\F.TXT", "f");
  for (std::string name : {"D:", "A:B", "A<B", "A>B", "A\"B", "A|B", "A?B", "A*B", "A\tB"}) {
    const std::string path = "C:\\CUST\\" + name;
    EXPECT_EQ(P().CreateFolder(path).error, kErrPathNotFound) << name;
    EXPECT_EQ(P().WriteFile(path, "x").error, kErrPathNotFound) << name;
    EXPECT_EQ(P().AppendFile(path, "x").error, kErrPathNotFound) << name;
    EXPECT_EQ(P().CopyFile("C:\\CUST\\F.TXT", path).error, kErrPathNotFound) << name;
  }
  EXPECT_EQ(world_.Tree("C:\\CUST"), std::vector<std::string>{"F.TXT"});
  EXPECT_EQ(Names("C:\\CUST\\*"), std::vector<std::string>{"F.TXT"});
}

TEST_F(PlatformContractTest, TrailingDotsBlanksAndRepeatedSeparatorsNameTheSameEntry) {
  ASSERT_TRUE(P().CreateFolder("C:\\REPORT   ").ok());
  EXPECT_TRUE(world_.Exists("C:\\REPORT"));
  EXPECT_EQ(P().CreateFolder("C:\\report..").error, kErrPathFileAccess);
  ASSERT_TRUE(P().WriteFile("C:\\\\REPORT. \\//f.txt", "x").ok());
  EXPECT_TRUE(FileExists(P(), "c:/report/F.TXT"));
  EXPECT_TRUE(FileExists(P(), "C:\\REPORT\\.\\..\\REPORT\\f.txt"));
  EXPECT_EQ(Names("C:\\REPORT  \\*.TXT"), std::vector<std::string>{"f.txt"});
}


TEST_F(PlatformContractTest, CurrentFolderKeepsTheTextAsEntered) {
  world_.MakeFolder("C:\\KyConfig\\System");
  world_.WriteFile("C:\\KyConfig\\System\\ZA-RIREVO.INI", "ini");
  world_.MakeFolder("D:\\Work");
  EXPECT_EQ(P().CurrentFolder(), "C:\\");
  ASSERT_TRUE(P().ChangeFolder("c:\\kyconfig\\system").ok());
  EXPECT_EQ(P().CurrentFolder(), "c:\\kyconfig\\system");
  std::string bytes;
  ASSERT_TRUE(P().ReadFile("za-rirevo.ini", &bytes).ok());
  EXPECT_EQ(bytes, "ini");
  ASSERT_TRUE(P().ChangeFolder("..").ok());
  EXPECT_EQ(P().CurrentFolder(), "c:\\kyconfig");
  EXPECT_TRUE(FolderExists(P(), "\\WINDOWS"));  // the current drive's root
  EXPECT_EQ(P().ChangeFolder("C:\\NOPE").error, kErrPathNotFound);
  EXPECT_EQ(P().ChangeFolder("C:\\KyConfig\\System\\ZA-RIREVO.INI").error, kErrPathNotFound);
  EXPECT_EQ(P().CurrentFolder(), "c:\\kyconfig");
  ASSERT_TRUE(P().ChangeFolder("d:/work/").ok());
  EXPECT_EQ(P().CurrentFolder(), "d:\\work");
  ASSERT_TRUE(P().ChangeFolder("C:\\").ok());
  EXPECT_EQ(P().CurrentFolder(), "C:\\");
}

// Where a path lies, by the one case rule and with "." and ".." applied.
TEST_F(PlatformContractTest, ContainmentAppliesDotsAndTheCaseRule) {
  world_.MakeFolder("A:\\BK");
  struct Case {
    const char* path;
    const char* folder;
    Placement want;
  } cases[] = {
      // clang-format off
      {"A:\\BK\\CUST\\F.TXT", "A:\\BK\\", Placement::kBelow},
      {"a:/bk/Cust/../F.TXT", "A:\\BK", Placement::kBelow},
      {"A:\\BK\\CUST\\..\\..\\X", "A:\\BK\\", Placement::kApart},
      {"A:\\BK.\\", "a:\\bk", Placement::kSame}, {"A:\\BKX\\F", "A:\\BK", Placement::kApart},
      {"A:\\", "A:\\BK\\", Placement::kAbove}, {"B:\\X", "A:\\", Placement::kApart},
      // clang-format on
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceOf(P(), c.path, c.folder), c.want) << c.path << " against " << c.folder;
  }
}

TEST_F(PlatformContractTest, HostPathsMapBackThroughTheClosestFolder) {
  world_.MakeFolder("C:\\KyConfig");
  const std::string root = world_.root();
  EXPECT_EQ(P().FromHostPath(root + "/c/KyConfig"), "C:\\KyConfig");
  EXPECT_EQ(P().FromHostPath(root + "/c"), "C:\\");
  EXPECT_EQ(P().FromHostPath(root + "/a/./X/../Y"), "A:\\Y");
  EXPECT_EQ(P().FromHostPath(root + "/cc/X"), "");  // a sibling named like C:'s folder
  std::string host = "unchanged";
  EXPECT_EQ(P().ToHostPath("B:\\X", &host).error, kErrDiskNotReady);
  EXPECT_EQ(host, "");
  ASSERT_TRUE(P().ToHostPath("c:\\kyconfig\\NEW\\F.TXT", &host).ok());
  EXPECT_TRUE(EqualsNoCase(P().FromHostPath(host), "C:\\KyConfig\\NEW\\F.TXT")) << host;
  EXPECT_EQ(P().WindowsFolder(), "C:\\WINDOWS");
}

TEST_F(PlatformContractTest, ExistenceHelpersSeeFailuresAsAbsence) {
  world_.WriteFile("C:\\F\\X.TXT", "");
  EXPECT_TRUE(FolderExists(P(), "C:\\F"));
  EXPECT_FALSE(FileExists(P(), "C:\\F"));
  EXPECT_FALSE(FolderExists(P(), "C:\\F\\X.TXT"));
  testing::FaultPlatform failing(P());  // a failing call leaves garbage behind
  failing.Fail(testing::Call::kGetAttributes, kErrDeviceIo);
  EXPECT_FALSE(FolderExists(failing, "C:\\F"));
  EXPECT_FALSE(FileExists(failing, "C:\\F\\X.TXT"));
}

}  // namespace
}  // namespace zr
