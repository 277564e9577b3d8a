#include <gtest/gtest.h>

#include <filesystem>

#include "backup/collector_test_support.h"
#include "backup/collectors.h"
#include "backup/file_operations.h"

namespace zr {
namespace {

using testing::ArchiveList;
using testing::BoxTexts;
using testing::Words;
using Strings = std::vector<std::string>;

// A TRELUN installation in C:\TRELUN with its INI in C:\KYCONFIG\TRELUN, two
// machines (post-processors pp.exe and PP; one qualifying laser table) and
// the laser heads 4, 5 and 6, whose heads 4 and 6 share an INI name.
class TrelunCollectorTest : public testing::ProductFixture {
 protected:
  TrelunCollectorTest() : ProductFixture("C:\\TRELUN", "A:\\METAL") {
    program_.ProductSettingsFile = {"C:\\KYCONFIG\\TRELUN", "TRELUN.INI"};
    WriteIni({"DATABASE4=C:\\TRDB\\TABLES.MDB"});
    world_.WriteLines("C:\\TRELUN\\POST\\MAC\\L1.MAC",
                      {"POST-PROCESSOR|pp.exe", "LASERTAB|1001", "NOME-TABELLE|LT1"});
    world_.WriteLines("C:\\TRELUN\\POST\\MAC\\L2.MAC", {"POST-PROCESSOR|PP", "LASERTAB|0100"});
    testing::WriteFiles(
        world_,
        "C:\\TRELUN\\POST\\PP.EXE C:\\TRELUN\\POST\\A.TXT C:\\TRDB\\LT1.MDB C:\\TRDB\\TABELLE.MDB "
        "C:\\TRDB\\MATERIAL.MDB C:\\TRELUN\\OpenGL\\LASER\\4\\H4.INI "
        "C:\\TRELUN\\OpenGL\\LASER\\4\\H4.HED C:\\TRELUN\\OpenGL\\LASER\\4\\H4.B3D "
        "C:\\TRELUN\\OpenGL\\LASER\\5\\H5.INI C:\\TRELUN\\OpenGL\\LASER\\5\\H5.HED "
        "C:\\TRELUN\\OpenGL\\LASER\\5\\H5.B3D C:\\TRELUN\\OpenGL\\LASER\\6\\H6.HED "
        "C:\\TRELUN\\OpenGL\\LASER\\6\\H6.B3D");
    world_.WriteFile("C:\\TRELUN\\OpenGL\\LASER\\4\\COMMON.INI", "four");
    world_.WriteFile("C:\\TRELUN\\OpenGL\\LASER\\6\\COMMON.INI", "six");
  }

  void WriteIni(const Strings& database_lines) {
    Strings lines = {"[SETTINGS]", "Installdir=C:\\TRELUN", "[OPTION]", "LINGUA=ITA", "[DATABASE]"};
    lines.insert(lines.end(), database_lines.begin(), database_lines.end());
    world_.WriteLines("C:\\KYCONFIG\\TRELUN\\TRELUN.INI", lines);
  }

  void Collect() { RunKeepingSources(CollectTrelunFiles); }
};

TEST_F(TrelunCollectorTest, TuttiGivesTheWholeLayoutAndList) {
  SetAllItems(true, true);
  Collect();
  EXPECT_EQ(
      ArchiveList(world_, program_),
      Words("C:\\TRELUN\\POST\\MAC\\L1.MAC C:\\TRELUN\\POST\\MAC\\L2.MAC C:\\TRELUN\\POST\\A.TXT "
            "C:\\KYCONFIG\\TRELUN\\TRELUN.INI C:\\TRELUN\\POST\\pp.exe C:\\TRELUN\\POST\\PP.EXE "
            "C:\\TRDB\\LT1.MDB C:\\TRDB\\\\TABELLE.MDB C:\\TRDB\\\\MATERIAL.MDB "
            "C:\\TRELUN\\OpenGL\\LASER\\4\\COMMON.INI C:\\TRELUN\\OpenGL\\LASER\\4\\H4.INI "
            "C:\\TRELUN\\OpenGL\\LASER\\5\\H5.INI C:\\TRELUN\\OpenGL\\LASER\\6\\COMMON.INI "
            "C:\\TRELUN\\OpenGL\\LASER\\4\\H4.HED C:\\TRELUN\\OpenGL\\LASER\\4\\H4.B3D "
            "C:\\TRELUN\\OpenGL\\LASER\\5\\H5.HED C:\\TRELUN\\OpenGL\\LASER\\5\\H5.B3D "
            "C:\\TRELUN\\OpenGL\\LASER\\6\\H6.HED C:\\TRELUN\\OpenGL\\LASER\\6\\H6.B3D"));
  EXPECT_EQ(
      world_.Tree("A:\\METAL"),
      Words("COMMON.INI H4.INI H5.INI POST/A.TXT POST/MAC/L1.MAC POST/MAC/L2.MAC POST/TRELUN.INI"));
  EXPECT_EQ(world_.ReadFile("A:\\METAL\\COMMON.INI"), "six");  // the later head wins
  EXPECT_TRUE(ui_.boxes().empty()) << BoxTexts(ui_).front();
}

TEST_F(TrelunCollectorTest, DefaultSelectionTakesMachinesTextsAndSettings) {
  // As the window starts: the groups of the first file items chosen.
  Check({&BackupItems::machines, &BackupItems::post_processor, &BackupItems::customisations,
         &BackupItems::product_files, &BackupItems::transmissions, &BackupItems::windows_files});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            Words("C:\\TRELUN\\POST\\MAC\\L1.MAC C:\\TRELUN\\POST\\MAC\\L2.MAC "
                  "C:\\TRELUN\\POST\\A.TXT C:\\KYCONFIG\\TRELUN\\TRELUN.INI"));
  EXPECT_EQ(ui_.input_count(), 4);  // one per progress line: the machine files were not listed
}

TEST_F(TrelunCollectorTest, NothingCheckedStillCopiesTheSettingsFiles) {
  world_.WriteFile(program_.ArchiveListFile(), "C:\\OLD.DAT\r\n");
  Check({});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\KYCONFIG\\TRELUN\\TRELUN.INI"}));
  EXPECT_EQ(world_.Tree("A:\\METAL"), (Strings{"POST/TRELUN.INI"}));
}

TEST_F(TrelunCollectorTest, DatabaseFolderFallsBackToDatabase5ThenToTablas) {
  testing::WriteFiles(world_, "D:\\DB5\\MATERIAL.MDB C:\\TRELUN\\TABLAS\\MATERIAL.MDB");
  Check({&BackupItems::material_mdb});
  for (const auto& [ini, table] :
       {std::pair{Strings{"DATABASE4=", "DATABASE5=D:\\DB5\\X.MDB"}, "D:\\DB5\\\\MATERIAL.MDB"},
        {Strings{}, "C:\\TRELUN\\TABLAS\\\\MATERIAL.MDB"}}) {
    WriteIni(ini);
    Collect();
    EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\KYCONFIG\\TRELUN\\TRELUN.INI", table}));
  }
}

TEST_F(TrelunCollectorTest, Database4WithoutBackslashGivesBareNames) {
  WriteIni({"DATABASE4=TABLES.MDB"});
  world_.WriteFile("C:\\TABELLE.MDB", "x");  // the root of the current drive
  world_.WriteFile("C:\\LT1.MDB", "x");      // the current folder is C:\.
  Check({&BackupItems::laser_tables, &BackupItems::tables_mdb});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            (Strings{"C:\\KYCONFIG\\TRELUN\\TRELUN.INI", "LT1.MDB", "\\TABELLE.MDB"}));
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(TrelunCollectorTest, PostProcessorExeRuleIgnoresCaseAndNoMachineGivesNoEntry) {
  world_.WriteLines("C:\\TRELUN\\POST\\MAC\\L3.MAC", {"LASERTAB|1001"});
  Check({&BackupItems::post_processor_exe});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            (Strings{"C:\\KYCONFIG\\TRELUN\\TRELUN.INI", "C:\\TRELUN\\POST\\pp.exe",
                     "C:\\TRELUN\\POST\\PP.EXE"}));
  EXPECT_EQ(BoxTexts(ui_), (Strings{"File not Found|File: \rC:\\TRELUN\\POST\\Parametro "
                                    "inesistente.EXE\rnon trovato "}));
  std::filesystem::remove_all(world_.Host("C:\\TRELUN\\POST\\MAC"));  // no machine: no entry
  Check({&BackupItems::post_processor_exe, &BackupItems::laser_tables});
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\KYCONFIG\\TRELUN\\TRELUN.INI"}));
  EXPECT_EQ(ui_.boxes().size(), 1u);
}

TEST_F(TrelunCollectorTest, FlagsAreReadWhenTheirStepIsReached) {
  // Menu233 is ticked while the machine text files are being copied.
  Check({&BackupItems::post_processor});
  ui_.OnNthInput(1, [&] { items_.material_mdb = true; });
  Collect();
  EXPECT_EQ(ArchiveList(world_, program_),
            (Strings{"C:\\TRELUN\\POST\\A.TXT", "C:\\KYCONFIG\\TRELUN\\TRELUN.INI",
                     "C:\\TRDB\\\\MATERIAL.MDB"}));
}

}  // namespace
}  // namespace zr
