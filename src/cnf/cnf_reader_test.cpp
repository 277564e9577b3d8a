#include "cnf/cnf_reader.h"

#include <gtest/gtest.h>

#include "tests/installations.h"
#include "tests/test_world.h"

namespace zr {
namespace {

using Fields = std::array<std::string, kMaxFields + 1>;

// Blanks after separators go, blanks before stay; stale fields are emptied;
// fields past twelve are ignored; a blank line has none.
TEST(SplitFieldsTest, FieldsOfALine) {
  std::string long_line = "K";
  for (int i = 2; i <= 15; ++i) long_line += "|v" + std::to_string(i);
  struct Case {
    std::string line;
    int count;
    std::vector<std::string> first;
  };
  for (const Case& c :
       {Case{"  KEY |  C:\\A   |B  ", 3, {"KEY ", "C:\\A   ", "B"}}, Case{"KEY|", 1, {"KEY", ""}},
        Case{"   ", 0, {}}, Case{long_line, 12, {"K", "v2"}}}) {
    Fields fields;
    fields[2] = "stale";
    std::int16_t count = 7;
    SplitFields(c.line, "|", fields, count);
    EXPECT_EQ(count, c.count) << c.line;
    for (std::size_t n = 0; n < c.first.size(); ++n) EXPECT_EQ(fields[n + 1], c.first[n]);
    if (c.count == 12) {
      EXPECT_EQ(fields[12], "v12");
    }
  }
}

TEST(StripCommentTest, CutsAtApostropheThenTabKeepingInnerBlanks) {
  EXPECT_EQ(StripComment("  C:\\X   ' comment"), "C:\\X   ");
  EXPECT_EQ(StripComment("C:\\X\tmore 'c"), "C:\\X");
  EXPECT_EQ(StripComment("'all comment"), "");
}

class CnfReaderTest : public ::testing::Test {
 protected:
  // The value, or "<missing>" when no line has the key.
  std::string Param(const std::string& key, std::int16_t number) {
    return GetCnfParameter(program_, "C:\\CNF\\MAC\\L1.MAC", key, number).value_or("<missing>");
  }
  void Lines(const std::vector<std::string>& lines) {
    world_.WriteLines("C:\\CNF\\MAC\\L1.MAC", lines);
  }
  testing::TestWorld world_;
  Session& program_ = world_.program();
  ScriptedUi& ui_ = world_.ui();
};

// The first line starting with the key wins (as typed: a leading blank or
// another case is no match); value 0 is the text before the first separator;
// blanks before a comment stay; numbers past the fields give an empty value.
TEST_F(CnfReaderTest, LookupsGiveTheExpectedValue) {
  struct Case {
    std::vector<std::string> lines;
    const char* key;
    std::int16_t number;
    const char* expected;
  };
  // clang-format off
  const Case cases[] = {
      {{"TAB-UT|x", "TAB|y"}, "TAB", 1, "x"},
      {{" REPORT-PATH|C:\\R"}, "REPORT-PATH", 1, "<missing>"},
      {{"OTHER|1", "REPORT-PATH|  C:\\REPORT   ' where reports go"}, "REPORT-PATH", 1, "C:\\REPORT   "},
      {{"POST-PROCESSOR  |PP.EXE"}, "POST-PROCESSOR", 0, "POST-PROCESSOR"},
      {{"POST-PROCESSOR  |PP.EXE"}, "POST-PROCESSOR", 1, "PP.EXE"}, {{"LASERTAB|"}, "LASERTAB", 1, ""},
      {{"K|a|b"}, "K", 5, ""}, {{"K|a|b"}, "K", 11, ""}, {{"K|a|b"}, "K", 12, ""}, {{"K|a|b"}, "K", -1, ""},
      {{"report-path|x"}, "REPORT-PATH", 1, "<missing>"},
  };
  // clang-format on
  for (const Case& c : cases) {
    Lines(c.lines);
    EXPECT_EQ(Param(c.key, c.number), c.expected) << c.lines[0] << " " << c.number;
  }
}

TEST_F(CnfReaderTest, EmptyFileOrMissingFolderGiveEmptyValueWithoutMessage) {
  world_.WriteFile("C:\\CNF\\MAC\\L1.MAC", "");
  EXPECT_EQ(Param("K", 1), "");
  EXPECT_EQ(GetCnfParameter(program_, "C:\\NONE\\L1.MAC", "K", 1), std::string());  // no folder
  EXPECT_TRUE(ui_.boxes().empty());
}

// A missing file shows a box, also when its path is shorter than the folder.
TEST_F(CnfReaderTest, MissingFileShowsFileNotFoundBox) {
  world_.MakeFolder("C:\\CNF\\MAC");
  program_.CnfFolder = "C:\\CNF";
  EXPECT_EQ(Param("K", 1), "");
  ASSERT_EQ(ui_.boxes().size(), 1u);
  EXPECT_EQ(ui_.boxes()[0].request.title, "File non trovato");
  EXPECT_EQ(ui_.boxes()[0].request.text,
            "Non esiste il file \\MAC\\L1.MAC\n\rTrovarlo e metterlo nella cartella C:\\CNF");
  EXPECT_EQ(ui_.boxes()[0].request.buttons, Buttons::kOk);
  program_.CnfFolder = "C:\\A\\VERY\\LONG\\FOLDER\\NAME\\THAT\\IS\\LONGER";
  EXPECT_EQ(GetCnfParameter(program_, "C:\\X.MAC", "K", 1), std::string());
  EXPECT_EQ(ui_.boxes().size(), 2u);
}

// Record 15 is the language; a missing file or record gives "" and makes nothing.
TEST_F(CnfReaderTest, Records) {
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
  ASSERT_TRUE(program_.platform.ChangeFolder("C:\\ORVEL\\VER14").ok());
  EXPECT_EQ(ReadCnfRecord(program_, 15), "ITA");
  EXPECT_EQ(ReadCnfRecord(program_, 1), "REC1");

  world_.MakeFolder("C:\\EMPTY");
  ASSERT_TRUE(program_.platform.ChangeFolder("C:\\EMPTY").ok());
  EXPECT_EQ(ReadCnfRecord(program_, 15), "");
  EXPECT_TRUE(world_.Tree("C:\\EMPTY").empty());
  world_.WriteFile("C:\\EMPTY\\KY-GEN.CNF", testing::CnfBytes("ITA", 10));
  EXPECT_EQ(ReadCnfRecord(program_, 15), "");
  EXPECT_EQ(ReadCnfRecord(program_, 0), "");
  EXPECT_EQ(ReadCnfRecord(program_, -4), "");
}

TEST_F(CnfReaderTest, RecordIsReadAsItsFirst80Characters) {
  std::string bytes;
  for (int n = 1; n <= 15; ++n) {
    std::string text = n == 15 ? std::string(80, ' ') + "ITA" : std::string(83, ' ');
    bytes += text + "\r\n";
  }
  world_.WriteFile("C:\\KY-GEN.CNF", bytes);
  EXPECT_EQ(ReadCnfRecord(program_, 15), "");  // "ITA" lies beyond the 80 characters
}

class LocateCnfTest : public CnfReaderTest {
 protected:
  void SetUp() override {
    testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14");
    world_.MakeFolder("C:\\WRONG");
    ASSERT_TRUE(program_.platform.ChangeFolder("C:\\WRONG").ok());
  }
};

// A current folder with the file needs no question; a forced question that
// is cancelled keeps it.
TEST_F(LocateCnfTest, CurrentFolderWithTheFile) {
  ASSERT_TRUE(program_.platform.ChangeFolder("C:\\ORVEL\\VER14").ok());
  EXPECT_EQ(LocateCnfFolder(program_, false), "C:\\ORVEL\\VER14");
  EXPECT_TRUE(ui_.prompts().empty());
  EXPECT_EQ(LocateCnfFolder(program_, true), "C:\\ORVEL\\VER14");
  EXPECT_EQ(ui_.prompts().size(), 1u);
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(LocateCnfTest, WrongFolderThenRightOne) {
  ui_.QueuePick("C:\\WRONG");
  ui_.QueueAnswer(Answer::kNo);
  ui_.QueuePick("C:\\ORVEL\\VER14");
  EXPECT_EQ(LocateCnfFolder(program_, false), "C:\\ORVEL\\VER14");
  ASSERT_EQ(ui_.prompts().size(), 2u);
  EXPECT_EQ(ui_.prompts()[0], "Selezionare la cartella dov'\xC3\xA8 installato Daxor:");
  ASSERT_EQ(ui_.boxes().size(), 1u);
  EXPECT_EQ(ui_.boxes()[0].request.text,
            "File Ky-gen.cnf non trovato\rVuoi chiudere l'applicazione ?");
  EXPECT_EQ(ui_.boxes()[0].request.title, "File not found");
  EXPECT_EQ(ui_.boxes()[0].request.buttons, Buttons::kYesNo);
}

// Yes after a cancelled picker ends the program without saving; a file in
// the drive root does not answer the cancel.
TEST_F(LocateCnfTest, YesEndsTheProgramWithoutSaving) {
  world_.WriteFile("C:\\KY-GEN.CNF", testing::CnfBytes("ENG"));
  ui_.QueueAnswer(Answer::kYes);  // the picker is cancelled
  try {
    LocateCnfFolder(program_, false);
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_FALSE(ended.settings_saved);
  }
}

}  // namespace
}  // namespace zr
