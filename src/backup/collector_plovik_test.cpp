#include <gtest/gtest.h>

#include <filesystem>

#include "backup/collector_support.h"
#include "backup/collector_test_support.h"
#include "backup/collectors.h"
#include "backup/dry_run.h"

namespace zr {
namespace {

using testing::ArchiveList;
using testing::BoxTexts;
using testing::Words;
using Strings = std::vector<std::string>;

TEST(MirroredSubfolderTest, DropsTheFirstTwoLevels) {
  EXPECT_EQ(MirroredSubfolder("C:\\Plovik\\DATA\\MAC\\"), "DATA\\MAC\\");
  EXPECT_EQ(MirroredSubfolder("D:\\X\\Y.RIF"), "Y.RIF");
  EXPECT_EQ(MirroredSubfolder("C:\\RIF.DAT"), "RIF.DAT");
  EXPECT_EQ(MirroredSubfolder("RIF.DAT"), "RIF.DAT");
}

// A PLOVIK installation: the product INI names the machine folder without
// its final "\" on D:, the databases on D:, the punches folder without its
// final "\", and leaves the dies folder to its default on C:.
class PlovikCollectorTest : public testing::ProductFixture {
 protected:
  PlovikCollectorTest() : ProductFixture("C:\\PLOVIK", "A:\\METAL") {
    program_.ProductSettingsFile = {"C:\\KYCONFIG\\PLOVIK", "PLOVIK.INI"};
    world_.WriteLines(kIni, {"[SETTINGS]", "Installdir=C:\\PLOVIK", "[PATH]", "MAC=D:\\BEND\\MAC",
                             "DB=D:\\BEND\\DB", "PUNCHES=D:\\BEND\\PUNCHES"});
    world_.WriteLines("D:\\BEND\\MAC\\M1.MAC", {"[REFERENCES]", "FILENAME=D:\\BEND\\RIF\\A.RIF",
                                                "[INTERMEDIATE]", "FILENAME=C:\\RIF.DAT"});
    world_.WriteLines("D:\\BEND\\MAC\\M2.MAC", {"[REFERENCES]", "FILENAME=   "});
    testing::WriteFiles(
        world_,
        "D:\\BEND\\MAC\\NOTES.TXT D:\\BEND\\RIF\\A.RIF C:\\RIF.DAT C:\\PLOVIK\\PLOVIKPPR.EXE "
        "D:\\BEND\\DB\\Piegatura.mdb D:\\BEND\\DB\\Localdb.mdb D:\\BEND\\DB\\Utensili.mdb "
        "D:\\BEND\\PUNCHES\\P1.PUN D:\\BEND\\PUNCHESX.PUN C:\\Plovik\\DATA\\MATR\\D1.MTR");
  }

  void Collect() { RunKeepingSources(CollectPlovikFiles); }

  static constexpr const char* kIni = "C:\\KYCONFIG\\PLOVIK\\PLOVIK.INI";
};

TEST_F(PlovikCollectorTest, TuttiGivesTheWholeLayoutAndList) {
  SetAllItems(true, true);
  Collect();
  EXPECT_EQ(
      ArchiveList(world_, program_),
      Words("D:\\BEND\\MAC\\M1.MAC D:\\BEND\\MAC\\M2.MAC D:\\BEND\\MAC\\NOTES.TXT "
            "D:\\BEND\\RIF\\A.RIF C:\\RIF.DAT C:\\KYCONFIG\\PLOVIK\\PLOVIK.INI "
            "C:\\PLOVIK\\PLOVIKPPR.EXE D:\\BEND\\DB\\Piegatura.mdb D:\\BEND\\DB\\Localdb.mdb "
            "D:\\BEND\\DB\\Utensili.mdb D:\\BEND\\PUNCHES\\P1.PUN C:\\Plovik\\DATA\\MATR\\D1.MTR"));
  // MAC without its "\" lands in MAC\; the one-level reference in the root.
  EXPECT_EQ(world_.Tree("A:\\METAL"), Words("DATA/MATR/D1.MTR MAC/M1.MAC MAC/M2.MAC MAC/NOTES.TXT "
                                            "PLOVIK.INI PUNCHES/P1.PUN RIF.DAT RIF/A.RIF"));
  EXPECT_TRUE(ui_.boxes().empty()) << BoxTexts(ui_).front();
  // A copy that nothing changed after keeps its sum for the archive's check.
  EXPECT_NE(program_.listed_sums.Find("d:\\bend\\rif\\a.rif"), nullptr);
}

// The product INI copied before its first read, under the spelling of its
// folder's listing: the mark that read leaves takes the copy's sum along,
// whatever the case of the name the read goes by (the fixture compares).
TEST_F(PlovikCollectorTest, TheProductIniMarkedAfterItsCopyKeepsNoSum) {
  program_.ProductSettingsFile[1] = "plovik.ini";
  Check({&BackupItems::product_files, &BackupItems::laser_tables});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            Words("C:\\KYCONFIG\\PLOVIK\\PLOVIK.INI D:\\BEND\\DB\\Piegatura.mdb"));
}

TEST_F(PlovikCollectorTest, IniWithoutPathSectionUsesTheDefaults) {
  world_.WriteLines(kIni, {"[SETTINGS]", "Installdir=C:\\PLOVIK"});
  world_.WriteFile("C:\\Plovik\\DATA\\MAC\\X.MAC", "x");
  world_.WriteFile("C:\\Plovik\\DATA\\PUNCHES\\P.PUN", "x");
  world_.WriteFile("C:\\Plovik\\DATA\\DB\\Piegatura.mdb", "x");
  Check({&BackupItems::machines, &BackupItems::laser_tables, &BackupItems::punches,
         &BackupItems::dies});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            Words("C:\\Plovik\\DATA\\MAC\\X.MAC C:\\Plovik\\DATA\\DB\\Piegatura.mdb "
                  "C:\\Plovik\\DATA\\PUNCHES\\P.PUN C:\\Plovik\\DATA\\MATR\\D1.MTR"));
  EXPECT_EQ(world_.Tree("A:\\METAL"),
            (Strings{"DATA/MAC/X.MAC", "DATA/MATR/D1.MTR", "DATA/PUNCHES/P.PUN"}));
}

// A missing reference is reported and the next one still copied.
TEST_F(PlovikCollectorTest, ReferencesWithoutMachineCopyAMissingOneReported) {
  Check({&BackupItems::customisations});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"D:\\BEND\\RIF\\A.RIF", "C:\\RIF.DAT"}));
  EXPECT_EQ(world_.Tree("A:\\METAL"), (Strings{"RIF.DAT", "RIF/A.RIF"}));
  EXPECT_TRUE(ui_.boxes().empty());
  world_.WriteLines("D:\\BEND\\MAC\\M1.MAC", {"[REFERENCES]", "FILENAME=D:\\GONE\\A.RIF",
                                              "[INTERMEDIATE]", "FILENAME=C:\\RIF.DAT"});
  Collect();
  EXPECT_EQ(BoxTexts(ui_), (Strings{"File not Found|File: \rD:\\GONE\\A.RIF\rnon trovato "}));
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\RIF.DAT"}));
}

TEST_F(PlovikCollectorTest, OnlyDiesTakesOnlyTheDiesFolder) {
  Check({&BackupItems::dies});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\Plovik\\DATA\\MATR\\D1.MTR"}));
  EXPECT_EQ(world_.Tree("A:\\METAL"), (Strings{"DATA/MATR/D1.MTR"}));
  EXPECT_EQ(ui_.input_count(), 1);  // no machine listing
}

TEST_F(PlovikCollectorTest, NothingCheckedOnlyDeletesTheList) {
  world_.WriteFile(program_.ArchiveListFile(), "C:\\OLD.DAT\r\n");
  Check({});
  Collect();
  EXPECT_FALSE(world_.Exists(program_.ArchiveListFile()));
  EXPECT_TRUE(world_.Tree("A:\\METAL").empty());
  EXPECT_EQ(ui_.input_count(), 0);
}

// The dry run reads the machine files as the backup does, and leaves not even
// the mark of a read in them.
TEST_F(PlovikCollectorTest, ADryRunLeavesTheMachineFilesAsTheyWere) {
  SetAllItems(true, true);
  program_.SelectedSoftware = "PLOVIK";
  const std::string before = world_.ReadFile("D:\\BEND\\MAC\\M1.MAC");
  BackupSelection selection;
  selection.items = [this] { return items_; };
  selection.customer = "METAL";
  selection.destination = "A:\\";
  const DryRunReport report = DryRunBackup(program_, selection, true);
  EXPECT_EQ(report.archive_list.size(), 12u) << report.refused;
  EXPECT_EQ(world_.ReadFile("D:\\BEND\\MAC\\M1.MAC"), before);
}

TEST_F(PlovikCollectorTest, EmptyMachineFolderProcessesNoEntry) {
  std::filesystem::remove(world_.Host("D:\\BEND\\MAC\\M1.MAC"));
  std::filesystem::remove(world_.Host("D:\\BEND\\MAC\\M2.MAC"));
  Check({&BackupItems::customisations});
  Collect();
  EXPECT_FALSE(world_.Exists(program_.ArchiveListFile()));
  EXPECT_TRUE(ui_.boxes().empty());
}

// An empty or blank MAC or PUNCHES value is skipped: as a folder it would be
// "\\", the root of the current drive.
TEST_F(PlovikCollectorTest, EmptyFolderValuesAreSkipped) {
  testing::WriteFiles(world_, "C:\\AUTOEXEC.BAT C:\\ROOT.PUN");
  world_.WriteLines("C:\\ROOT.MAC", {"[REFERENCES]", "FILENAME=C:\\RIF.DAT"});
  for (const char* value : {"MAC=", "MAC=  ", "PUNCHES=  "}) {
    SCOPED_TRACE(value);
    world_.WriteLines(kIni, {"[PATH]", value});
    if (value[0] == 'M') Check({&BackupItems::machines, &BackupItems::customisations});
    if (value[0] == 'P') Check({&BackupItems::punches});
    Collect();
    EXPECT_FALSE(world_.Exists(program_.ArchiveListFile()));
    EXPECT_TRUE(world_.Tree("A:\\METAL").empty());
    EXPECT_TRUE(ui_.boxes().empty());
  }
}

// Values of machine files that would lead a copy out of the customer folder
// (here C:\BK\METAL\, on the drive of the installation) are reported and
// skipped; the installation stays byte for byte as it was.
TEST_F(PlovikCollectorTest, ReferencesLeadingOutOfTheCustomerFolderAreSkipped) {
  program_.CustomerFolder = "C:\\BK\\METAL\\";
  world_.MakeFolder("C:\\BK\\METAL");
  world_.WriteFile("C:\\Plovik\\DATA\\INT\\B1.INT", "installed");
  world_.WriteFile("D:\\Plovik\\DATA\\INT\\B1.INT", "from D:");
  world_.WriteFile("D:\\STRAY.RIF", "stray");
  world_.WriteFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", "[PATH]\r\nZIPFILE=C:\\OK\r\n");
  world_.WriteFile("C:\\PLOVIK\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", "ZIPFILE=C:\\PLOVIK\\EVIL\r\n");
  for (const char* value :
       {"D:\\NEW\\..\\..\\..\\Plovik\\DATA\\INT\\B1.INT", "D:\\Plovik\\..\\..\\..\\..\\STRAY.RIF",
        "C:/PLOVIK/DATA/EVIL\\X\\..\\..\\..\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI"}) {
    SCOPED_TRACE(value);
    world_.WriteLines("D:\\BEND\\MAC\\M1.MAC", {"[REFERENCES]", std::string("FILENAME=") + value});
    program_.run.Begin(Operation::kBackup, Stage::kCollecting);
    Check({&BackupItems::customisations});
    Collect();  // checks C: and D: outside C:\BK\METAL\ byte for byte
    EXPECT_FALSE(world_.Exists("C:\\STRAY.RIF"));
    EXPECT_TRUE(world_.Tree("C:\\BK\\METAL").empty());
    EXPECT_EQ(program_.run.report().NotHandled(), 1);
    EXPECT_EQ(ui_.lines().back().text.rfind(std::string("File ") + value + " non copiato: ", 0), 0u)
        << ui_.lines().back().text;
    EXPECT_FALSE(world_.Exists(program_.ArchiveListFile()));
  }
  EXPECT_EQ(world_.ReadFile("C:\\Plovik\\DATA\\INT\\B1.INT"), "installed");
}

}  // namespace
}  // namespace zr
