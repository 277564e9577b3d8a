#include "platform/host_paths.h"

#include <gtest/gtest.h>

#include "platform/host_errors.h"

namespace zr::host {
namespace {

WinPath Absolute(const std::string& text, const std::string& current = "C:\\WORK\\SUB") {
  WinPath base;
  EXPECT_TRUE(MakeAbsolute(current, WinPath{}, &base));
  WinPath out;
  EXPECT_TRUE(MakeAbsolute(text, base, &out)) << text;
  return out;
}

TEST(MakeAbsoluteTest, KeepsTheTypedSpellingAndNormalisesSeparators) {
  EXPECT_EQ(Absolute("c:\\kyconfig\\system").Text(), "c:\\kyconfig\\system");
  EXPECT_EQ(Absolute("c:/kyconfig//system\\\\").Text(), "c:\\kyconfig\\system");
  EXPECT_EQ(Absolute("A:\\\\X").Text(), "A:\\X");
  EXPECT_EQ(Absolute("A:\\").Text(), "A:\\");
  EXPECT_EQ(Absolute("A:").Text(), "A:\\");
}

TEST(MakeAbsoluteTest, DropsTrailingDotsAndBlanksOfEachComponent) {
  EXPECT_EQ(Absolute("C:\\REPORT   ").Text(), "C:\\REPORT");
  EXPECT_EQ(Absolute("C:\\REPORT. .\\F.TXT.").Text(), "C:\\REPORT\\F.TXT");
  EXPECT_EQ(Absolute("C:\\ LEAD").Text(), "C:\\ LEAD");  // leading blanks stay
  EXPECT_EQ(Absolute("C:\\A\\...\\B").Text(), "C:\\A\\B");
}

TEST(MakeAbsoluteTest, AppliesDotComponentsWithoutClimbingAboveTheRoot) {
  EXPECT_EQ(Absolute("C:\\A\\.\\B\\..\\C").Text(), "C:\\A\\C");
  EXPECT_EQ(Absolute("C:\\..\\..\\X").Text(), "C:\\X");
  EXPECT_EQ(Absolute("\\\\SRV\\SHARE\\..\\..\\X").Text(), "\\\\SRV\\SHARE\\X");
}

TEST(MakeAbsoluteTest, ResolvesRelativeFormsAgainstTheCurrentFolder) {
  EXPECT_EQ(Absolute("MAC\\L1.MAC").Text(), "C:\\WORK\\SUB\\MAC\\L1.MAC");
  EXPECT_EQ(Absolute("..\\X").Text(), "C:\\WORK\\X");
  EXPECT_EQ(Absolute("\\WINDOWS").Text(), "C:\\WINDOWS");
  EXPECT_EQ(Absolute("c:F.TXT").Text(), "c:\\WORK\\SUB\\F.TXT");  // same drive: current folder
  EXPECT_EQ(Absolute("D:F.TXT").Text(), "D:\\F.TXT");             // other drive: its root
  EXPECT_EQ(Absolute("\\X", "\\\\SRV\\SHARE\\DIR").Text(), "\\\\SRV\\SHARE\\X");
  EXPECT_EQ(Absolute("Y", "\\\\SRV\\SHARE\\DIR").Text(), "\\\\SRV\\SHARE\\DIR\\Y");
}

TEST(MakeAbsoluteTest, RefusesEmptyTextsAndIncompleteUncNames) {
  WinPath out;
  EXPECT_FALSE(MakeAbsolute("", WinPath{}, &out));
  EXPECT_FALSE(MakeAbsolute("\\\\SRV", WinPath{}, &out));
  EXPECT_FALSE(MakeAbsolute("\\\\SRV\\", WinPath{}, &out));
  EXPECT_FALSE(MakeAbsolute("\\\\SRV\\..\\X", WinPath{}, &out));
}

TEST(NameComparisonTest, FoldsAsciiAndLatinLettersOnly) {
  EXPECT_TRUE(EqualsNoCase("KY-GEN.CNF", "ky-gen.cnf"));
  EXPECT_TRUE(EqualsNoCase("PERCORSO À", "percorso à"));
  EXPECT_FALSE(EqualsNoCase("A×B", "A÷B"));  // × and ÷ are no letter pair
  EXPECT_FALSE(EqualsNoCase("ABC", "ABCD"));
  EXPECT_TRUE(LessNoCase("a.txt", "B.TXT"));
  EXPECT_TRUE(LessNoCase("A.txt", "a.TXT"));  // same folded: bytes decide
  EXPECT_FALSE(LessNoCase("a.TXT", "A.txt"));
  EXPECT_TRUE(LessNoCase("DAXOR", "DAXOR2D"));
}

TEST(WildcardTest, FollowsTheWindowsRules) {
  EXPECT_TRUE(WildcardMatch("*", "README"));
  EXPECT_TRUE(WildcardMatch("*.*", "README"));
  EXPECT_TRUE(WildcardMatch("*.*", "A.B.C"));
  EXPECT_TRUE(WildcardMatch("*.ZIP", "cliente_010203.zip"));
  EXPECT_FALSE(WildcardMatch("*.ZIP", "a.zipx"));
  EXPECT_FALSE(WildcardMatch("*.ZIP", "a.zip.bak"));
  EXPECT_TRUE(WildcardMatch("DAXOR*", "Daxor2D"));
  EXPECT_FALSE(WildcardMatch("DAXOR*", "XDAXOR"));
  EXPECT_TRUE(WildcardMatch("L?.MAC", "L1.mac"));
  EXPECT_FALSE(WildcardMatch("L?.MAC", "L12.MAC"));
  EXPECT_TRUE(WildcardMatch("*.", "README"));
  EXPECT_FALSE(WildcardMatch("*.", "A.B"));
  EXPECT_TRUE(WildcardMatch("NAME.*", "name"));
  EXPECT_TRUE(WildcardMatch("*a*b*c", "xxaxxbxxbxc"));
  EXPECT_FALSE(WildcardMatch("*a*b*c", "xxaxxbxxbx"));
}

TEST(ErrnoMappingTest, GivesTheRunTimeErrorNumbers) {
  EXPECT_EQ(ErrnoToRuntimeError(ENOENT, "/"), kErrFileNotFound);  // folder "/" exists
  EXPECT_EQ(ErrnoToRuntimeError(ENOENT, "/no-such-folder-zr/x"), kErrPathNotFound);
  EXPECT_EQ(ErrnoToRuntimeError(EACCES, "/x"), kErrPermissionDenied);
  EXPECT_EQ(ErrnoToRuntimeError(EPERM, "/x"), kErrPermissionDenied);
  EXPECT_EQ(ErrnoToRuntimeError(EROFS, "/x"), kErrPermissionDenied);
  EXPECT_EQ(ErrnoToRuntimeError(ENOSPC, "/x"), kErrDiskFull);
  EXPECT_EQ(ErrnoToRuntimeError(EIO, "/x"), kErrDeviceIo);
  EXPECT_EQ(ErrnoToRuntimeError(EEXIST, "/x"), kErrPathFileAccess);
  EXPECT_EQ(ErrnoToRuntimeError(ENOTEMPTY, "/x"), kErrPathFileAccess);
  EXPECT_EQ(ErrnoToRuntimeError(ENOTDIR, "/x"), kErrPathNotFound);
}

}  // namespace
}  // namespace zr::host
