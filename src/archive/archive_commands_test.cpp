#include "archive/archive_commands.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/fault_platform.h"
#include "tests/test_world.h"

namespace zr {
namespace {

using testing::TestWorld;

class ArchiveCommandsTest : public ::testing::Test {
 protected:
  ArchiveCommandsTest() : recorder_(world_.platform()), program_(recorder_, world_.ui()) {
    Archiver(0);
  }

  // Every command line is recorded instead of run; the "archiver" answers
  // with `exit_code` (or cannot start) and, when it answers 0 and `writes`,
  // writes the archive an "-add" line names.
  void Archiver(int exit_code, int start_error = kErrNone, bool writes = true) {
    recorder_.FakeRun(exit_code, start_error, [this, exit_code, writes](const std::string& line) {
      const std::size_t option = line.find(" -path=");
      if (!writes || exit_code != 0 || option == std::string::npos) return;
      const std::size_t from = line.find(' ', option + 1) + 1;
      IgnoreStatus(world_.platform().WriteFile(
                       line.substr(from, line.find(' ', from) - from) + ".ZIP", "new"),
                   "an archive into a missing folder is simply not written");
    });
  }

  // The command lines run to add list L to archive A:\N with the archiver
  // path left empty, so that the archiver is searched for.
  std::vector<std::string> SearchAndAdd() {
    (void)CreateZipArchive(program_, "N", "A:\\", "L", true, "");
    return recorder_.commands();
  }

  TestWorld world_;
  testing::FaultPlatform recorder_;
  Session program_;
};

// The add returns the cleaned name it used; the recursive form keeps the
// double backslash, a bare drive gets none; the extraction adds the
// folder's backslash and keeps the dots of the archive's name.
TEST_F(ArchiveCommandsTest, CommandLines) {
  const ZipResult zip = CreateZipArchive(program_, "METAL 2.0_050603", "A:\\",
                                         "C:\\ORVEL\\VER14\\~TMPZIP\\ZIPLISTTMP.TXT", true,
                                         "C:\\KYCONFIG\\SYSTEM\\PkZip25");
  EXPECT_EQ(zip.outcome, ArchiveOutcome::kDone);
  EXPECT_EQ(zip.name, "METAL_2-0_050603");
  const std::string folder = "C:\\T\\EXTRACT_METAL_2-0_050603\\";
  (void)CreateZipArchive(program_, "METAL_2-0_050603", folder, folder + "\\*.*", false, "P");
  (void)CreateZipArchive(program_, "X", "A:", "L.TXT", true, "P");
  world_.MakeFolder("C:\\ORVEL\\VER14");
  ASSERT_TRUE(program_.platform.ChangeFolder("C:\\ORVEL\\VER14").ok());
  EXPECT_EQ(ExtractZipArchive(program_, "METAL_2.0_050603.ZIP", "A:",
                              "C:\\ORVEL\\VER14\\~TMPCOPYZIP\\EXTRACT_METAL_2-0_050603\\", ""),
            ArchiveOutcome::kDone);
  EXPECT_EQ(recorder_.commands(),
            (std::vector<std::string>{
                "C:\\KYCONFIG\\SYSTEM\\PkZip25 -add -path=full A:\\METAL_2-0_050603 "
                "@C:\\ORVEL\\VER14\\~TMPZIP\\ZIPLISTTMP.TXT",
                "P -add -rec -path=relative C:\\T\\EXTRACT_METAL_2-0_050603\\METAL_2-0_050603 "
                "C:\\T\\EXTRACT_METAL_2-0_050603\\\\*.*",
                "P -add -path=full A:X @L.TXT",
                "C:\\ORVEL\\VER14\\TOOLS\\PkZip25 -extract -dir A:\\METAL_2.0_050603.ZIP "
                "C:\\ORVEL\\VER14\\~TMPCOPYZIP\\EXTRACT_METAL_2-0_050603\\"}));
  EXPECT_TRUE(world_.ui().boxes().empty());
}

// The extraction takes the archiver path when that program is there, else
// the search of an empty path, else the tools folder of the current drive.
TEST_F(ArchiveCommandsTest, ExtractFindsTheArchiverAsTheBackupDoes) {
  world_.MakeFolder("D:\\WORK");
  ASSERT_TRUE(program_.platform.ChangeFolder("D:\\WORK").ok());
  const struct {
    const char* install;  // "" for none
    const char* archiver_path;
    const char* expected;
  } cases[] = {
      {"", "", "D:\\ORVEL\\VER14\\TOOLS\\PkZip25"},
      {"", "C:\\NOWHERE\\PkZip25", "D:\\ORVEL\\VER14\\TOOLS\\PkZip25"},
      {"D:\\KYCONFIG\\SYSTEM\\PkZip25.EXE", "C:\\NOWHERE\\PkZip25",
       "D:\\KYCONFIG\\SYSTEM\\PkZip25"},
      {"C:\\ZIP\\PKZIP25.EXE", "C:\\ZIP\\PKZIP25", "C:\\ZIP\\PKZIP25"},
      {"C:\\ZIP\\ARC.COM", "C:\\ZIP\\ARC.COM", "C:\\ZIP\\ARC.COM"},
  };
  for (const auto& c : cases) {
    if (*c.install != 0) world_.WriteFile(c.install, "x");
    recorder_.commands().clear();
    ExtractZipArchive(program_, "A.ZIP", "A:\\", "D:\\OUT\\", c.archiver_path);
    ASSERT_EQ(recorder_.commands().size(), 1u);
    EXPECT_EQ(recorder_.commands()[0],
              std::string(c.expected) + " -extract -dir A:\\A.ZIP D:\\OUT\\")
        << c.archiver_path;
  }
  EXPECT_TRUE(world_.ui().boxes().empty());
}

// Every path argument that holds a blank stays one word; backslashes before
// a closing quote are doubled, the program word is only grouped.
TEST_F(ArchiveCommandsTest, PathArgumentsWithBlanksAreQuoted) {
  world_.WriteFile("C:\\PROGRAMMI\\ZIP 25\\PkZip25.EXE", "x");
  const std::string name =
      CreateZipArchive(program_, "ROSSI MARIO_050603", "A:\\ROSSI MARIO\\",
                       "C:\\ORVEL\\VER 14\\~TMPZIP\\L.TXT", true, "C:\\PROGRAMMI\\ZIP 25\\PkZip25")
          .name;
  (void)CreateZipArchive(program_, name, "C:\\T\\EXTRACT_CUST ONE\\",
                         "C:\\T\\EXTRACT_CUST ONE\\\\*.*", false, "P");
  ExtractZipArchive(program_, "CUST ONE.ZIP", "A:\\", "C:\\T\\EXTRACT_CUST ONE\\",
                    "C:\\PROGRAMMI\\ZIP 25\\PkZip25");
  EXPECT_EQ(recorder_.commands(),
            (std::vector<std::string>{
                "\"C:\\PROGRAMMI\\ZIP 25\\PkZip25\" -add -path=full \"A:\\ROSSI "
                "MARIO\\ROSSI_MARIO_050603\" "
                "\"@C:\\ORVEL\\VER 14\\~TMPZIP\\L.TXT\"",
                "P -add -rec -path=relative \"C:\\T\\EXTRACT_CUST ONE\\ROSSI_MARIO_050603\" "
                "\"C:\\T\\EXTRACT_CUST ONE\\\\*.*\"",
                "\"C:\\PROGRAMMI\\ZIP 25\\PkZip25\" -extract -dir \"A:\\CUST ONE.ZIP\" "
                "\"C:\\T\\EXTRACT_CUST ONE\\\\\"",
            }));
}

// An archiver that exits with 0 without writing, over an archive of the
// same name from an earlier run: no success, and the old archive stays.
TEST_F(ArchiveCommandsTest, OnlyAnArchiveWrittenByThisRunCounts) {
  world_.WriteFile("A:\\DEMO_050603.ZIP", "old");
  Archiver(0, kErrNone, false);
  const std::string name = "DEMO_050603";
  EXPECT_EQ(CreateZipArchive(program_, name, "A:\\", "L", true, "P").outcome,
            ArchiveOutcome::kNotWritten);
  EXPECT_EQ(world_.ReadFile("A:\\DEMO_050603.ZIP"), "old");
  Archiver(1);
  EXPECT_EQ(CreateZipArchive(program_, name, "A:\\", "L", true, "P").outcome,
            ArchiveOutcome::kFailed);
  EXPECT_EQ(world_.ReadFile("A:\\DEMO_050603.ZIP"), "old");

  Archiver(0);
  EXPECT_EQ(CreateZipArchive(program_, name, "A:\\", "L", true, "P").outcome,
            ArchiveOutcome::kDone);
  EXPECT_EQ(world_.ReadFile("A:\\DEMO_050603.ZIP"), "new");
  EXPECT_EQ(world_.Tree("A:\\"), std::vector<std::string>{"DEMO_050603.ZIP"});
}

// The search of an empty archiver path: the tools folder of the current
// drive first, then its system folder; hidden files do not count.
TEST_F(ArchiveCommandsTest, SearchLooksOnTheCurrentDriveToolsFolderFirst) {
  world_.WriteFile("C:\\ORVEL\\VER14\\TOOLS\\PkZip25.EXE", "x");
  world_.WriteFile("C:\\KYCONFIG\\SYSTEM\\PkZip25.EXE", "x");
  world_.WriteFile("D:\\KYCONFIG\\SYSTEM\\PkZip25.EXE", "x");
  EXPECT_EQ(SearchAndAdd().back(), "C:\\ORVEL\\VER14\\TOOLS\\PkZip25 -add -path=full A:\\N @L");
  ASSERT_TRUE(
      program_.platform.SetAttributes("C:\\ORVEL\\VER14\\TOOLS\\PkZip25.EXE", kAttrHidden).ok());
  EXPECT_EQ(SearchAndAdd().back(), "C:\\KYCONFIG\\SYSTEM\\PkZip25 -add -path=full A:\\N @L");
  world_.MakeFolder("D:\\WORK");
  ASSERT_TRUE(program_.platform.ChangeFolder("D:\\WORK").ok());
  EXPECT_EQ(SearchAndAdd(),
            (std::vector<std::string>{"C:\\ORVEL\\VER14\\TOOLS\\PkZip25 -add -path=full A:\\N @L",
                                      "C:\\KYCONFIG\\SYSTEM\\PkZip25 -add -path=full A:\\N @L",
                                      "D:\\KYCONFIG\\SYSTEM\\PkZip25 -add -path=full A:\\N @L"}));
}

TEST_F(ArchiveCommandsTest, NoArchiverFoundShowsOneBoxRunsNothingAndKeepsTheName) {
  const ZipResult zip = CreateZipArchive(program_, "METAL 2.0_050603", "A:\\", "L", true, "");
  EXPECT_EQ(zip.outcome, ArchiveOutcome::kArchiverNotFound);
  EXPECT_EQ(zip.name, "METAL 2.0_050603");
  EXPECT_TRUE(recorder_.commands().empty());
  const auto& boxes = world_.ui().boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].request.text, "File PkZip25 not found in KY folder\rI don't create Zip File.");
  EXPECT_EQ(boxes[0].request.title, "File Not Found");
  EXPECT_EQ(boxes[0].request.buttons, Buttons::kOk);
  EXPECT_TRUE(boxes[0].request.no_icon);
}

TEST_F(ArchiveCommandsTest, AGivenArchiverPathIsNotCheckedNorSearchedFor) {
  Archiver(0, kErrFileNotFound);
  EXPECT_EQ(CreateZipArchive(program_, "N", "A:\\", "L", true, "C:\\NOWHERE\\PkZip25").outcome,
            ArchiveOutcome::kFailed);
  ASSERT_EQ(recorder_.commands().size(), 1u);
  EXPECT_EQ(recorder_.commands()[0], "C:\\NOWHERE\\PkZip25 -add -path=full A:\\N @L");
  EXPECT_TRUE(world_.ui().boxes().empty());
}

TEST_F(ArchiveCommandsTest, RunAndWaitIsOkOnlyForAStartedProgramThatExitedWithZero) {
  EXPECT_TRUE(RunAndWait(recorder_, "P").ok());
  Archiver(18);
  EXPECT_FALSE(RunAndWait(recorder_, "P").ok());
  EXPECT_EQ(ExtractZipArchive(program_, "N.ZIP", "A:\\", "D:\\", "P"), ArchiveOutcome::kFailed);
  Archiver(0, kErrFileNotFound);
  const RunResult not_started = RunAndWait(recorder_, "P");
  EXPECT_FALSE(not_started.ok());
  EXPECT_EQ(not_started.start.error, kErrFileNotFound);
  EXPECT_TRUE(world_.ui().boxes().empty());
}

// Real programs through the host platform.
class RunAndWaitHostTest : public ::testing::Test {
 protected:
  TestWorld world_;
};

// The archiver itself, in folders and with names that hold blanks: what is
// packed comes back whole.
TEST_F(RunAndWaitHostTest, TheArchiverPacksAndUnpacksThroughFoldersWithBlanks) {
  world_.InstallArchiver("C:\\ZIP 25\\PkZip25.EXE");
  world_.WriteFile("C:\\DATI UNO\\EXTRACT_A\\MAC\\M 1.MAC", "macchina");
  world_.MakeFolder("A:\\ROSSI MARIO");
  Session program(world_.platform(), world_.ui());
  ASSERT_EQ(CreateZipArchive(program, "CUST ONE", "A:\\ROSSI MARIO\\",
                             "C:\\DATI UNO\\EXTRACT_A\\\\*.*", false, "C:\\ZIP 25\\PkZip25")
                .outcome,
            ArchiveOutcome::kDone);
  ASSERT_TRUE(world_.Exists("A:\\ROSSI MARIO\\CUST_ONE.ZIP"));
  ASSERT_EQ(ExtractZipArchive(program, "CUST_ONE.ZIP", "A:\\ROSSI MARIO", "D:\\OUT 1\\",
                              "C:\\ZIP 25\\PkZip25"),
            ArchiveOutcome::kDone);
  EXPECT_EQ(world_.ReadFile("D:\\OUT 1\\MAC\\M 1.MAC"), "macchina");
}

}  // namespace
}  // namespace zr
