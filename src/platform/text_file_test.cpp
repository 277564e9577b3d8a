#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

class TextFileTest : public ::testing::Test {
 protected:
  Lines Read(const std::string& bytes) {
    world_.WriteFile("C:\\T.TXT", bytes);
    Lines lines{"stale"};
    Status status = ReadTextLines(world_.platform(), "c:\\t.txt", &lines);
    EXPECT_TRUE(status.ok()) << status.detail;
    return lines;
  }

  testing::TestWorld world_;
};

TEST_F(TextFileTest, LineEndsCrLfOrLfAndAMissingLastOne) {
  EXPECT_EQ(Read("A\r\nB\r\n"), (Lines{"A", "B"}));
  EXPECT_EQ(Read("A\nB\r\nC"), (Lines{"A", "B", "C"}));
  EXPECT_EQ(Read("A\r\n\r\n\n"), (Lines{"A", "", ""}));
  EXPECT_EQ(Read(""), Lines{});
  EXPECT_EQ(Read("A\r"), Lines{"A"});
  EXPECT_EQ(Read("A\rB\r\n"), Lines{"A\rB"});  // a CR alone is no line end
}

TEST_F(TextFileTest, Windows1252IsReadAsUtf8AndNulIsKept) {
  EXPECT_EQ(Read("Citt\xE0|\x80\r\nx\0y\r\n"s), (Lines{"Città|€", "x\0y"s}));
}

TEST_F(TextFileTest, ReadErrorsAreTheirPlatformNumbers) {
  Lines lines{"stale"};
  EXPECT_EQ(ReadTextLines(world_.platform(), "C:\\MISSING.TXT", &lines).error, kErrFileNotFound);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(ReadTextLines(world_.platform(), "C:\\NO\\X.TXT", &lines).error, kErrPathNotFound);
  world_.RemoveDrive('A');
  EXPECT_EQ(ReadTextLines(world_.platform(), "A:\\X.TXT", &lines).error, kErrDiskNotReady);
}

TEST_F(TextFileTest, AppendWritesWindows1252AndCrLfOncePerCall) {
  const std::string file = "C:\\ZIPLISTTMP.TXT";
  ASSERT_TRUE(AppendTextLine(world_.platform(), file, "C:\\DAXOR\\Perché.INI").ok());
  ASSERT_TRUE(AppendTextLine(world_.platform(), file, "").ok());
  ASSERT_TRUE(AppendTextLine(world_.platform(), file, "B").ok());
  EXPECT_EQ(world_.ReadFile(file), "C:\\DAXOR\\Perch\xE9.INI\r\n\r\nB\r\n");
}

TEST_F(TextFileTest, AppendGoesThroughOneCallAndReportsItsError) {
  testing::FaultPlatform counter(world_.platform());
  ASSERT_TRUE(AppendTextLine(counter, "C:\\L.TXT", "line").ok());
  EXPECT_EQ(counter.calls(testing::Call::kAppendFile), 1);
  counter.Fail(testing::Call::kAppendFile, kErrDiskFull);
  EXPECT_EQ(AppendTextLine(counter, "C:\\L.TXT", "more").error, kErrDiskFull);
  EXPECT_EQ(world_.ReadFile("C:\\L.TXT"), "line\r\n");
  EXPECT_EQ(AppendTextLine(world_.platform(), "C:\\NO\\L.TXT", "x").error, kErrPathNotFound);
}

}  // namespace
}  // namespace zr
