#include <gtest/gtest.h>

#include <filesystem>

#include "backup/collector_test_support.h"
#include "backup/collectors.h"
#include "backup/file_operations.h"
#include "tests/installations.h"

namespace zr {
namespace {

using testing::ArchiveList;
using testing::BoxTexts;
using testing::Words;
using Strings = std::vector<std::string>;

// A DAXOR installation in C:\DAXOR with two machines:
// L3030 names its report, turret and tool-table paths, a laser table and a
// post-processor; P2000 shares the report folder, has no turret path, a
// tool table on another drive, and a laser table that does not qualify.
class DaxorCollectorTest : public testing::ProductFixture {
 protected:
  DaxorCollectorTest() : ProductFixture("C:\\DAXOR", "A:\\METAL") {
    program_.CnfFolder = "C:\\DAXOR";
    program_.ProductSettingsFile = {"C:\\KYCONFIG\\DAXOR2D", "DAXOR2D.INI"};
    program_.DaxorIniFiles = {"KyCam.ini", "Daxor.ini", "Missing.ini"};
    std::string db_record = "  C:\\DAXOR\\DB  ";  // record 270
    db_record.resize(83, ' ');
    world_.WriteFile("C:\\DAXOR\\KY-GEN.CNF", testing::CnfBytes("ITA", 269) + db_record + "\r\n");
    world_.WriteLines(
        "C:\\DAXOR\\MAC\\L3030.MAC",
        {"REPORT-PATH|C:\\REPORTS\\STD", "TORRETTA-PATH|C:\\TORRETTE\\T1", "POST-PROCESSOR|PPL3030",
         "LASERTAB|1001", "NOME-TABELLE|LASER1", "TAB-UT|TOOLS.UT"});
    world_.WriteLines("C:\\DAXOR\\MAC\\P2000.MAC",
                      {"REPORT-PATH|C:\\REPORTS\\STD", "POST-PROCESSOR|PPP2000", "LASERTAB|0100",
                       "TAB-UT|D:\\UT\\P2000T.UT"});
    testing::WriteFiles(
        world_,
        "C:\\DAXOR\\A.TXT C:\\DAXOR\\CUSTOM.INI C:\\DAXOR\\X.PAU C:\\DAXOR\\GEN.DAT "
        "C:\\DAXOR\\CFG\\T.CFG C:\\DAXOR\\RSW\\T.RSW C:\\REPORTS\\STD\\R1.DAT "
        "C:\\REPORTS\\STD\\R2.DAT C:\\TORRETTE\\T1\\T1.TOR C:\\DAXOR\\D.TOR C:\\DAXOR\\TOOLS.UT "
        "C:\\DAXOR\\TOOLS.LBL D:\\UT\\P2000T.UT D:\\UT\\P2000T.LBL C:\\DAXOR\\PPL3030.EXE "
        "C:\\DAXOR\\PPP2000.EXE C:\\DAXOR\\DB\\LASER1.MDB C:\\DAXOR\\DB\\TABELLE.MDB "
        "C:\\DAXOR\\DB\\MATERIAL.MDB C:\\KYCONFIG\\DAXOR2D\\DAXOR2D.INI "
        "C:\\KYCONFIG\\DAXOR2D\\OTHER.INI C:\\WINDOWS\\KYCAM.INI C:\\WINDOWS\\Daxor.ini "
        "C:\\WINDOWS\\WIN.INI");
    EXPECT_TRUE(world_.platform().ChangeFolder("C:\\DAXOR").ok());
  }

  void Collect() { RunKeepingSources(CollectDaxorFiles); }
};

TEST_F(DaxorCollectorTest, EverythingGivesTheWholeLayoutAndList) {
  world_.WriteFile(program_.ArchiveListFile(), "C:\\OLD\\RUN.DAT\r\n");
  SetAllItems(true, true);
  Collect();
  EXPECT_EQ(
      ArchiveList(world_, program_),
      Words(
          "C:\\DAXOR\\MAC\\L3030.MAC C:\\DAXOR\\MAC\\P2000.MAC C:\\DAXOR\\A.TXT "
          "C:\\DAXOR\\CUSTOM.INI C:\\DAXOR\\X.PAU C:\\REPORTS\\STD\\R1.DAT "
          "C:\\REPORTS\\STD\\R2.DAT C:\\REPORTS\\STD\\R1.DAT C:\\REPORTS\\STD\\R2.DAT "
          "C:\\DAXOR\\KY-GEN.CNF C:\\KYCONFIG\\DAXOR2D\\DAXOR2D.INI "
          "C:\\KYCONFIG\\DAXOR2D\\OTHER.INI C:\\DAXOR\\GEN.DAT C:\\DAXOR\\CFG\\T.CFG "
          "C:\\DAXOR\\RSW\\T.RSW C:\\DAXOR\\PPL3030.EXE C:\\DAXOR\\PPP2000.EXE "
          "C:\\DAXOR\\DB\\LASER1.MDB C:\\DAXOR\\DB\\TABELLE.MDB C:\\DAXOR\\DB\\MATERIAL.MDB "
          "C:\\WINDOWS\\KyCam.ini C:\\WINDOWS\\Daxor.ini C:\\TORRETTE\\T1\\T1.TOR C:\\DAXOR\\D.TOR "
          "C:\\DAXOR\\TOOLS.UT C:\\DAXOR\\TOOLS.LBL D:\\UT\\P2000T.UT D:\\UT\\P2000T.LBL"));
  EXPECT_EQ(
      world_.Tree("A:\\METAL"),
      Words("A.TXT CUSTOM.INI DAXOR2D.INI GEN.DAT KY-GEN.CNF MAC/L3030.MAC MAC/P2000.MAC OTHER.INI "
            "P2000T.LBL P2000T.UT REPORT-PATH/STD/R1.DAT REPORT-PATH/STD/R2.DAT TOOLS.LBL TOOLS.UT "
            "TORRETTA-PATH/DAXORDIR/D.TOR TORRETTA-PATH/T1/T1.TOR TRASMISSIONI16/T.RSW "
            "TRASMISSIONI32/T.CFG WINDOWS/Daxor.ini WINDOWS/KyCam.ini X.PAU"));
  EXPECT_TRUE(ui_.boxes().empty()) << BoxTexts(ui_).front();
  // The list-only files carry the only-zip mark, in their colours.
  int only_zip = 0;
  for (const auto& line : ui_.lines()) {
    if (line.text.find("-only ZIP-") != std::string::npos) ++only_zip;
  }
  EXPECT_EQ(only_zip, 5);
}

TEST_F(DaxorCollectorTest, NothingCheckedOnlyDeletesTheListAndListsMachines) {
  world_.WriteFile(program_.ArchiveListFile(), "C:\\OLD\\RUN.DAT\r\n");
  SetAllItems(false, true);
  Collect();
  EXPECT_FALSE(world_.Exists(program_.ArchiveListFile()));
  EXPECT_TRUE(world_.Tree("A:\\METAL").empty());
  EXPECT_TRUE(ui_.lines().empty());
  EXPECT_EQ(ui_.input_count(), 2);  // the two machine files were listed
  SetAllItems(false, false);
  Collect();
  EXPECT_EQ(ui_.input_count(), 2);  // Menu241, Menu242 disabled: no listing
}

TEST_F(DaxorCollectorTest, ToolTablesOfEveryTabUtForm) {
  world_.WriteLines("C:\\DAXOR\\MAC\\Z9.MAC", {"REPORT-PATH|"});
  world_.WriteFile("C:\\DAXOR\\Z9.UT", "x");
  world_.WriteFile("C:\\DAXOR\\Z9.LBL", "x");
  Check({&BackupItems::dies});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            Words("C:\\DAXOR\\TOOLS.UT C:\\DAXOR\\TOOLS.LBL D:\\UT\\P2000T.UT D:\\UT\\P2000T.LBL "
                  "C:\\DAXOR\\Z9.UT C:\\DAXOR\\Z9.LBL"));
  EXPECT_EQ(world_.Tree("A:\\METAL"),
            Words("P2000T.LBL P2000T.UT TOOLS.LBL TOOLS.UT Z9.LBL Z9.UT"));
}

TEST_F(DaxorCollectorTest, ReportFoldersFallBackAndShareOneSubfolder) {
  // A third machine without REPORT-PATH, and a relative report folder.
  world_.WriteLines("C:\\DAXOR\\MAC\\Q1.MAC", {"REPORT-PATH|REPORT"});
  world_.WriteLines("C:\\DAXOR\\MAC\\Z9.MAC", {"POST-PROCESSOR|X"});
  world_.WriteFile("C:\\DAXOR\\REPORT\\Q.DAT", "x");
  Check({&BackupItems::reports});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            Words("C:\\REPORTS\\STD\\R1.DAT C:\\REPORTS\\STD\\R2.DAT C:\\REPORTS\\STD\\R1.DAT "
                  "C:\\REPORTS\\STD\\R2.DAT REPORT\\Q.DAT C:\\DAXOR\\GEN.DAT"));
  EXPECT_EQ(world_.Tree("A:\\METAL"),
            (Strings{"REPORT-PATH/DAXORDIR/GEN.DAT", "REPORT-PATH/REPORT/Q.DAT",
                     "REPORT-PATH/STD/R1.DAT", "REPORT-PATH/STD/R2.DAT"}));
}

TEST_F(DaxorCollectorTest, MissingPostProcessorIsReportedAndTheStepGoesOn) {
  world_.WriteLines("C:\\DAXOR\\MAC\\M0.MAC", {"LASERTAB|1002"});
  world_.WriteFile("C:\\DAXOR\\DB\\M0.MDB", "x");
  Check({&BackupItems::post_processor_exe, &BackupItems::laser_tables});
  Collect();
  EXPECT_EQ(BoxTexts(ui_),
            (Strings{"File not Found|File: \rC:\\DAXOR\\Parametro inesistente.EXE\rnon trovato "}));
  // Without NOME-TABELLE the table is named after the machine file.
  EXPECT_EQ(ArchiveList(world_, program_),
            (Strings{"C:\\DAXOR\\PPL3030.EXE", "C:\\DAXOR\\PPP2000.EXE",
                     "C:\\DAXOR\\DB\\LASER1.MDB", "C:\\DAXOR\\DB\\M0.MDB"}));
  EXPECT_TRUE(world_.Tree("A:\\METAL").empty());
}

TEST_F(DaxorCollectorTest, EmptyMachineFolderProcessesNoEntry) {
  std::filesystem::remove(world_.Host("C:\\DAXOR\\MAC\\L3030.MAC"));
  std::filesystem::remove(world_.Host("C:\\DAXOR\\MAC\\P2000.MAC"));
  Check({&BackupItems::reports, &BackupItems::dies, &BackupItems::tables_mdb});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\DAXOR\\DB\\TABELLE.MDB"}));
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(DaxorCollectorTest, StopAfterTheSecondFileEndsTheCollection) {
  world_.WriteLines("C:\\DAXOR\\MAC\\Z9.MAC", {"X|1"});
  SetAllItems(false, false);  // the machines are listed once
  items_.machines = true;
  items_.post_processor = true;
  items_.windows_files = true;
  ui_.OnNthInput(2, [&] { program_.run.Cancel(CancelCause::kUser); });
  Collect();
  EXPECT_EQ(world_.Tree("A:\\METAL"), (Strings{"MAC/L3030.MAC", "MAC/P2000.MAC"}));
  EXPECT_EQ(ArchiveList(world_, program_),
            (Strings{"C:\\DAXOR\\MAC\\L3030.MAC", "C:\\DAXOR\\MAC\\P2000.MAC"}));
  EXPECT_EQ(ui_.lines().size(), 2u);
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(DaxorCollectorTest, DiskFullLeavesThatFileOutAndTheCollectorGoesOn) {
  faulty_.Fail(testing::Call::kCopyFile, kErrDiskFull, {}, 3);
  Check({&BackupItems::machines, &BackupItems::post_processor, &BackupItems::customisations});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            (Strings{"C:\\DAXOR\\MAC\\L3030.MAC", "C:\\DAXOR\\MAC\\P2000.MAC",
                     "C:\\DAXOR\\CUSTOM.INI", "C:\\DAXOR\\X.PAU"}));
  EXPECT_EQ(world_.Tree("A:\\METAL"),
            (Strings{"CUSTOM.INI", "MAC/L3030.MAC", "MAC/P2000.MAC", "X.PAU"}));
  ASSERT_EQ(ui_.boxes().size(), 1u);
  EXPECT_EQ(ui_.boxes()[0].request.text.rfind("C:\\DAXOR\\A.TXT\r", 0), 0u);
  EXPECT_EQ(program_.run.report().NotHandled(), 1);
}

}  // namespace
}  // namespace zr
