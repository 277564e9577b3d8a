#include "platform/profile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "platform/codepage.h"
#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

using namespace std::string_literals;

const std::string kSample =
    "; settings of the program\r\n"
    "[PATH]\r\n"
    "KYSYSTEM=c:\\kyconfig\\system\r\n"
    "  ZipFile =  c:\\kyconfig\\system\\PKZIP25  \r\n"
    "QUOTED=\"  spaced  \"\r\n"
    "SINGLE='x'\r\n"
    "HALF=\"x'\r\n"
    "EMPTY=\r\n"
    "\r\n"
    "[ Other ]\r\n"
    "KYSYSTEM=other\r\n";

// Sections and keys ignore case and blanks; matching quotes are removed; a
// missing key gives the default without its trailing blanks; keys before any
// section and comment lines are not keys.
TEST(ProfileLookupTest, SectionsKeysQuotesAndDefaults) {
  struct Case {
    std::string content;
    const char *section, *key, *fallback, *expected;
  };
  // clang-format off
  const Case cases[] = {
      {kSample, "path", "kysystem", "d", "c:\\kyconfig\\system"},
      {kSample, "PATH", "ZIPFILE", "d", "c:\\kyconfig\\system\\PKZIP25"},
      {kSample, " OTHER ", " KySystem ", "d", "other"},
      {kSample, "PATH", "QUOTED", "d", "  spaced  "}, {kSample, "PATH", "SINGLE", "d", "x"},
      {kSample, "PATH", "HALF", "d", "\"x'"}, {kSample, "PATH", "EMPTY", "d", ""},
      {kSample, "PATH", "NONE", "  A:\\  ", "  A:\\"}, {kSample, "NOSECTION", "KYSYSTEM", "d", "d"},
      {"", "PATH", "KYSYSTEM", "", ""}, {"K=1\r\n[S]\r\n;K=2\r\n", "S", "K", "d", "d"},
      {"[CITT\xC0]\r\nCH\xC9=\xE8\r\n", "citt\xE0", "ch\xE9", "", "\xE8"},  // Windows-1252 folds
      // Damaged content does not break the reader.
      {"\xEF\xBB\xBF[PATH]\r\nK=v\r\n", "PATH", "K", "", "v"},
      {"[PATH]\nK=v", "PATH", "K", "", "v"},  // LF, no last end
      {"[PATH]\r\nK=a\0b\r\n"s, "PATH", "K", "", "a"}, {"[PATH\r\nK=v\r\n", "PATH", "K", "d", "d"},
      {"[]\r\nK=v\r\n", "", "K", "d", "v"}, {"\r\n\r\n[", "PATH", "K", "d", "d"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(ProfileLookup(c.content, c.section, c.key, c.fallback, 256), c.expected)
        << c.section << "/" << c.key;
  }
}

TEST(ProfileLookupTest, ResultIsCutToSizeLessOne) {
  const std::string content = "[S]\r\nK=" + std::string(300, 'v') + "\r\n";
  EXPECT_EQ(ProfileLookup(content, "S", "K", "", 256), std::string(255, 'v'));
  EXPECT_EQ(ProfileLookup(content, "S", "K", "", 1), "");
  EXPECT_EQ(ProfileLookup(content, "S", "K", "", 0), "");
  EXPECT_EQ(ProfileLookup(content, "S", "MISSING", std::string(300, 'd'), 256),
            std::string(255, 'd'));
}

// Only the first section of a name counts, its header trimmed; a later
// section of the same name is not read, and writes go to the first one, so
// that what was written reads back exactly.
TEST(ProfileLookupTest, OnlyTheFirstSectionOfANameCounts) {
  struct Case {
    const char* content;
    const char* key;
    const char* read;  // what the key reads as before the write
    const char* value;
    const char* written;
  };
  const Case cases[] = {
      {"[S]\nA=1\n[T]\nB=0\n[s]\nA=2\nB=3\n", "A", "1", "9", "[S]\nA=9\n[T]\nB=0\n[s]\nA=2\nB=3\n"},
      {"[S]\nA=1\n[T]\nB=0\n[s]\nA=2\nB=3\n", "B", "d", "9",
       "[S]\nA=1\nB=9\r\n[T]\nB=0\n[s]\nA=2\nB=3\n"},
      {"[ S ]\r\nK=first\r\n[S]\r\nK=second\r\n", "K", "first", "v",
       "[ S ]\r\nK=v\r\n[S]\r\nK=second\r\n"},
      {"[S]\r\n[\tS ]\r\nK=second\r\n", "K", "d", "v", "[S]\r\nK=v\r\n[\tS ]\r\nK=second\r\n"},
      {"[S]\r\nK=1\r\nK=2\r\n", "K", "1", "3", "[S]\r\nK=3\r\nK=2\r\n"},
      // Values that a reader would trim or unquote are quoted.
      {"[S]\r\n", "K", "d", " C:\\BK ", "[S]\r\nK=\" C:\\BK \"\r\n"},
      {"[S]\r\n", "K", "d", "\"q\"", "[S]\r\nK=\"\"q\"\"\r\n"},
      {"[S]\r\n", "K", "d", "'x'", "[S]\r\nK=\"'x'\"\r\n"},
      {"[S]\r\n", "K", "d", "\"x'", "[S]\r\nK=\"x'\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.content) + " " + c.key + "=" + c.value);
    EXPECT_EQ(ProfileLookup(c.content, "s", c.key, "d", 256), c.read);
    const std::string updated = ProfileUpdate(c.content, "S", c.key, c.value);
    EXPECT_EQ(updated, c.written);
    EXPECT_EQ(ProfileLookup(updated, "S", c.key, "d", 256), c.value);
  }
}

// A key line is replaced whole under the file's own name of the key; an
// empty value is written as "K="; a new key goes after the last key of its
// section (right after the header when it has none), a new section at the
// end, a last line without its end gets one; each line keeps its own end,
// foreign bytes and a BOM stay.
TEST(ProfileUpdateTest, WhereNewKeysAndSectionsGo) {
  struct Case {
    const char *content, *section, *key, *value, *expected;
  };
  // clang-format off
  const Case cases[] = {
      {"[P]\r\n  Zip =  x  \r\nB=1\r\n", "p", "zip", "D", "[P]\r\nZip=D\r\nB=1\r\n"},
      {"[S]\r\nK=old\r\n", "S", "K", "", "[S]\r\nK=\r\n"}, {"[S]\r\n", "S", "N", "", "[S]\r\nN=\r\n"},
      {"[A]\r\nX=1\r\n;c\r\nY=2\r\n\r\n; about B\r\n[B]\r\nZ=3\r\n", "a", "NEW", "v",
       "[A]\r\nX=1\r\n;c\r\nY=2\r\nNEW=v\r\n\r\n; about B\r\n[B]\r\nZ=3\r\n"},
      {"[A]\r\n\r\n[B]\r\n", "A", "K", "v", "[A]\r\nK=v\r\n\r\n[B]\r\n"},
      {"", "CONFIGURA", "APPLICATION", "", "[CONFIGURA]\r\nAPPLICATION=\r\n"},
      {"[A]\r\nX=1\r\n", "B", "K", "v", "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
      {"[A]\r\nX=1", "B", "K", "v", "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
      {"[A]\nX=1", "A", "K", "v", "[A]\nX=1\r\nK=v\r\n"},
      {"[A]\nX=1\nY=2", "A", "Y", "3", "[A]\nX=1\nY=3"},
      {"[A]\nX=1\r\nY=2\n", "A", "X", "0", "[A]\nX=0\r\nY=2\n"},
      {"\xEF\xBB\xBF", "S", "K", "v", "\xEF\xBB\xBF[S]\r\nK=v\r\n"},
      {"\xEF\xBB\xBF[A]\r\nJ=\x81\x8D\xFF\x01\r\n\x90\x9D b\n[X]\r\n", "A", "K", "v",
       "\xEF\xBB\xBF[A]\r\nJ=\x81\x8D\xFF\x01\r\nK=v\r\n\x90\x9D b\n[X]\r\n"},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(ProfileUpdate(c.content, c.section, c.key, c.value), c.expected) << c.content;
  }
}

TEST(ProfileUpdateTest, RefusesArgumentsThatWouldBreakLines) {
  const std::string content = "[PATH]\r\nK=v\r\n";
  for (const auto& [section, key, value] : {std::tuple{"PATH", "K", "x\r\n[PATH]\r\nZIPFILE=evil"},
                                            {"PATH", "A=B", "v"},
                                            {"PATH", "  ", "v"},
                                            {"PATH", ";K", "v"},
                                            {"PA]TH", "K", "v"}}) {
    EXPECT_EQ(ProfileUpdate(content, section, key, value), content) << section << "/" << key;
  }
  // A NUL ends an argument, as in a C string.
  EXPECT_EQ(ProfileUpdate(content, "PATH", "K", "new\0junk"s), "[PATH]\r\nK=new\r\n");
}

TEST(ProfileUpdateTest, RandomBytesAreOnlyExtended) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    std::string content(random() % 400, '\0');
    for (char& c : content) c = static_cast<char>(random() % 256);
    // Many line ends and brackets, so that sections appear now and then.
    if (round % 2 == 0) content.insert(random() % (content.size() + 1), "\n[S]\nK");
    std::string updated = ProfileUpdate(content, "S", "NEWKEY", "value");
    ASSERT_EQ(ProfileLookup(updated, "S", "NEWKEY", "", 256), "value") << round;
    // Only "NEWKEY=value" and line ends (and perhaps "[S]") were added.
    ASSERT_LE(updated.size(), content.size() + 22) << round;
    ProfileLookup(content, "S", "K", "", 256);  // must not crash either
  }
}

// File-backed tests: the private-profile functions over the host platform in
// a temporary world of mapped drives.
class ProfileFileTest : public ::testing::Test {
 protected:
  testing::TestWorld world_;
  Platform& platform() { return world_.platform(); }
};

TEST_F(ProfileFileTest, RoundTripKeepsForeignLines) {
  world_.WriteFile("C:\\KYCONFIG\\ZA-RIREVO.INI",
                   "; hand-written\r\n[PATH]\r\nKYSYSTEM=c:\\kyconfig\\system\r\n\r\n"
                   "[OTHER]\r\nX=\xE8\r\n");
  const std::string file = "c:\\kyconfig\\za-rirevo.ini";
  ASSERT_TRUE(WritePrivateProfileString(platform(), "PATH", "BACKUPCLIENTE", "A:\\", file).ok());
  ASSERT_TRUE(WritePrivateProfileString(platform(), "PATH", "KYSYSTEM", "D:\\SYS", file).ok());
  EXPECT_EQ(world_.ReadFile("C:\\KYCONFIG\\ZA-RIREVO.INI"),
            "; hand-written\r\n[PATH]\r\nKYSYSTEM=D:\\SYS\r\nBACKUPCLIENTE=A:\\\r\n\r\n"
            "[OTHER]\r\nX=\xE8\r\n");
  EXPECT_EQ(GetPrivateProfileString(platform(), "path", "backupcliente", "", 256, file), "A:\\");
  EXPECT_EQ(GetPrivateProfileString(platform(), "OTHER", "X", "", 256, file), "è");
}

TEST_F(ProfileFileTest, TextsAreUtf8InsideAndWindows1252OnDisk) {
  const std::string file = "C:\\P.INI";
  ASSERT_TRUE(WritePrivateProfileString(platform(), "CITTÀ", "NOME", "Perché €", file).ok());
  EXPECT_EQ(world_.ReadFile(file), "[CITT\xC0]\r\nNOME=Perch\xE9 \x80\r\n");
  EXPECT_EQ(GetPrivateProfileString(platform(), "città", "nome", "", 256, file), "Perché €");
}

TEST_F(ProfileFileTest, TruncatesAt255WithSize256) {
  const std::string file = "C:\\LONG.INI";
  // 301 characters, 302 bytes in UTF-8: the cut counts characters.
  ASSERT_TRUE(
      WritePrivateProfileString(platform(), "S", "K", "é" + std::string(300, 'x'), file).ok());
  EXPECT_EQ(GetPrivateProfileString(platform(), "S", "K", "", 256, file),
            "é" + std::string(254, 'x'));
}

// A missing file gives the default and is made by a write; writing the same
// value again writes nothing.
TEST_F(ProfileFileTest, MissingFileGivesTheDefaultAndIsCreatedByAWrite) {
  testing::FaultPlatform counting(platform());
  const std::string file = "C:\\NEW.INI";
  EXPECT_EQ(GetPrivateProfileString(counting, "S", "K", "A:\\ ", 256, file), "A:\\");
  EXPECT_FALSE(world_.Exists(file));
  ASSERT_TRUE(WritePrivateProfileString(counting, "CONFIGURA", "APPLICATION", "", file).ok());
  ASSERT_TRUE(WritePrivateProfileString(counting, "configura", "application", "", file).ok());
  EXPECT_EQ(world_.ReadFile(file), "[CONFIGURA]\r\nAPPLICATION=\r\n");
  EXPECT_EQ(counting.calls(testing::Call::kRewriteFile), 1);
}

// A missing folder or drive, or a value that would break lines: an error,
// and nothing is made or changed.
TEST_F(ProfileFileTest, RefusedWritesChangeNothing) {
  EXPECT_FALSE(WritePrivateProfileString(platform(), "S", "K", "v", "C:\\NOFOLDER\\X.INI").ok());
  EXPECT_FALSE(world_.Exists("C:\\NOFOLDER"));
  EXPECT_EQ(WritePrivateProfileString(platform(), "S", "K", "v", "B:\\X.INI").error,
            kErrDiskNotReady);
  world_.WriteFile("C:\\S.INI", "[PATH]\r\nK=v\r\n");
  EXPECT_EQ(WritePrivateProfileString(platform(), "PATH", "K", "a\nb", "C:\\S.INI").error,
            kErrPathFileAccess);
  EXPECT_EQ(world_.ReadFile("C:\\S.INI"), "[PATH]\r\nK=v\r\n");
}

// A failed rewrite is reported and the file keeps its bytes (the platform's
// own tests make the disk really full); a read-only file is refused; a
// hidden one stays hidden.
TEST_F(ProfileFileTest, FailedRewriteLeavesTheFileWhole) {
  const std::string file = "C:\\KYCONFIG\\DAXOR1401\\DAXOR1401.ini";
  const std::string original = "[SETTINGS]\r\nInstalldir=C:\\ORVEL\\VER14\\\r\n";
  world_.WriteFile(file, original);
  testing::FaultPlatform full(platform());
  full.DiskFullAfter(original.size());
  EXPECT_EQ(WritePrivateProfileString(full, "CONFIGURA", "APPLICATION", "", file).error,
            kErrDiskFull);
  EXPECT_EQ(world_.ReadFile(file), original);
  ASSERT_TRUE(platform().SetAttributes(file, kAttrReadOnly).ok());
  EXPECT_EQ(WritePrivateProfileString(platform(), "S", "K", "v", file).error, kErrPermissionDenied);
  EXPECT_EQ(world_.ReadFile(file), original);
  ASSERT_TRUE(platform().SetAttributes(file, kAttrHidden).ok());
  ASSERT_TRUE(WritePrivateProfileString(platform(), "S", "K", "v", file).ok());
  unsigned attributes = 0;
  ASSERT_TRUE(platform().GetAttributes(file, &attributes).ok());
  EXPECT_EQ(attributes, unsigned{kAttrHidden});
  EXPECT_EQ(GetPrivateProfileString(platform(), "SETTINGS", "Installdir", "", 256, file),
            "C:\\ORVEL\\VER14\\");
  EXPECT_EQ(world_.Tree("C:\\KYCONFIG"), std::vector<std::string>{"DAXOR1401/DAXOR1401.ini"});
}

// A UTF-16 LE file with its mark (Notepad's "Unicode") is read as UTF-16
// and written back so, unit for unit but the key's line: names fold, texts
// Windows-1252 lacks and a lone surrogate stay, sizes count units, an odd
// last byte stays last. Text UTF-16 cannot hold is refused.
TEST_F(ProfileFileTest, Utf16FilesAreReadAndWrittenAsUtf16) {
  const auto units = [](const std::string& utf8) {
    std::string cesu8;
    EXPECT_TRUE(Utf8ToCesu8(utf8, &cesu8));
    return Cesu8ToUtf16Le(cesu8);
  };
  const std::string mark = "\xFF\xFE", lone = "\x00\xD8"s;
  const std::string file = "C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI";
  world_.WriteFile(file, mark + units("[Path]\r\nKYSYSTEM=C:\\Città Ω\r\n;") + lone +
                             units("\r\nLONG=" + std::string(300, 'x') + "\r\n"));
  EXPECT_EQ(GetPrivateProfileString(platform(), "PATH", "kysystem", "", 256, file), "C:\\Città Ω");
  EXPECT_EQ(GetPrivateProfileString(platform(), "PATH", "LONG", "", 256, file),
            std::string(255, 'x'));
  ASSERT_TRUE(
      WritePrivateProfileString(platform(), "PATH", "LONG", "D:\\BK € \xF0\x9F\x98\x80", file)
          .ok());
  ASSERT_TRUE(WritePrivateProfileString(platform(), "CONFIGURA", "APPLICATION", "", file).ok());
  EXPECT_EQ(world_.ReadFile(file), mark + units("[Path]\r\nKYSYSTEM=C:\\Città Ω\r\n;") + lone +
                                       units("\r\nLONG=D:\\BK € \xF0\x9F\x98\x80\r\n"
                                             "[CONFIGURA]\r\nAPPLICATION=\r\n"));
  EXPECT_EQ(WritePrivateProfileString(platform(), "PATH", "LONG", "\xFF", file).error,
            kErrPathFileAccess);
  world_.WriteFile("C:\\ODD.INI", mark + units("[S]\r\nK=v\r\n") + "!");
  ASSERT_TRUE(WritePrivateProfileString(platform(), "S", "K", "w", "C:\\ODD.INI").ok());
  EXPECT_EQ(world_.ReadFile("C:\\ODD.INI"), mark + units("[S]\r\nK=w\r\n") + "!");
}

TEST_F(ProfileFileTest, ReadFaultOtherThanMissingFileWritesNothing) {
  testing::FaultPlatform failing(platform());
  failing.Fail(testing::Call::kReadFile, kErrDeviceIo);
  const std::string file = "C:\\F.INI";
  world_.WriteFile(file, "[S]\r\nK=v\r\n");
  EXPECT_EQ(WritePrivateProfileString(failing, "S", "K", "new", file).error, kErrDeviceIo);
  EXPECT_EQ(failing.calls(testing::Call::kWriteFile), 0);
  EXPECT_EQ(GetPrivateProfileString(failing, "S", "K", "dflt", 256, file), "dflt");
  EXPECT_EQ(world_.ReadFile(file), "[S]\r\nK=v\r\n");
}

TEST_F(ProfileFileTest, DamagedFilesAreReadAndOnlyTheKeyChanges) {
  struct Case {
    const char* name;
    std::string content;
  };
  std::string junk(4096, '\0');
  std::mt19937 random(42);
  for (char& c : junk) c = static_cast<char>(random() % 256);
  const Case cases[] = {
      {"bom", "\xEF\xBB\xBF[PATH]\r\nA=1\r\n"},
      {"zeros", "[PATH]\r\nA=\0\0\r\n\0\0\0\r\n"s},
      {"lf", "[PATH]\nA=1\n\n[X]\nB=2"},
      {"long", "[PATH]\r\nA=" + std::string(1 << 20, 'L') + "\r\n"},
      {"junk", junk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = std::string("C:\\") + c.name + ".INI";
    world_.WriteFile(file, c.content);
    GetPrivateProfileString(platform(), "PATH", "A", "", 256, file);
    ASSERT_TRUE(WritePrivateProfileString(platform(), "PATH", "NEW", "v", file).ok());
    std::string after = world_.ReadFile(file);
    EXPECT_EQ(GetPrivateProfileString(platform(), "PATH", "NEW", "", 256, file), "v");
    // Removing the one line written gives back the file as it was.
    std::size_t at = after.find("NEW=v\r\n");
    ASSERT_NE(at, std::string::npos);
    std::string without = after.substr(0, at) + after.substr(at + 7);
    if (without.size() != c.content.size()) {
      // A new section, or the line end given to a last line that had none.
      EXPECT_EQ(without.substr(0, c.content.size()), c.content);
    } else {
      EXPECT_EQ(without, c.content);
    }
  }
}

}  // namespace
}  // namespace zr
