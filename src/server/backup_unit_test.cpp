#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "server/server_copy.h"
#include "server/server_test_support.h"

namespace zr {
namespace {

using testing::ServerWorld;

constexpr const char* kTemp = "C:\\ORVEL\\VER14\\~TMPCOPYZIP\\";

// A program whose unit A: is taken out once its archives are listed.
struct DiskTakenOut : testing::FaultyProgram {
  explicit DiskTakenOut(ServerWorld& world) : FaultyProgram(world) {
    platform.After(testing::Call::kList, "A:\\*.ZIP", [this](auto&) { platform.DriveGone('A'); });
  }
};

TEST(ExtractBackupUnitTest, ThreeArchivesGiveThreeRowsEvenWhenOneIsDamaged) {
  ServerWorld world;  // the extraction starts from an empty temporary folder
  world.WriteFile(std::string(kTemp) + "EXTRACT_OLD\\LEFTOVER.MAC", "x");
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PP1.EXE"}});
  world.WriteFile("A:\\BETA.ZIP", "PK\x03\x04 this is no archive at all");
  world.DaxorArchive("METAL.V2.ZIP", {{"M2.MAC", "PP2.EXE"}});
  world.WriteFile("A:\\NOTES.TXT", "not an archive");

  const UnitExtraction unit = ExtractBackupUnit(world.program());
  ASSERT_TRUE(unit.found);
  std::vector<std::string> rows;
  for (const auto& row : unit.table)
    rows.push_back(row.folder.substr(strlen(kTemp)) + "|" + row.server_name);
  EXPECT_EQ(rows, (std::vector<std::string>{"EXTRACT_ALFA\\|ALFA.ZIP", "EXTRACT_BETA\\|BETA.ZIP",
                                            "EXTRACT_METAL.V2\\|METAL-V2.ZIP"}));
  EXPECT_TRUE(world.Exists(std::string(kTemp) + "EXTRACT_ALFA\\ORVEL\\VER14\\MAC\\M1.MAC"));
  EXPECT_TRUE(world.Exists(std::string(kTemp) + "EXTRACT_BETA"));
  EXPECT_TRUE(world.Tree(std::string(kTemp) + "EXTRACT_BETA").empty());
  EXPECT_TRUE(
      world.Exists(std::string(kTemp) + "EXTRACT_METAL.V2\\KyConfig\\DAXOR1401\\DAXOR.INI"));
  EXPECT_TRUE(world.ui().boxes().empty());
  EXPECT_FALSE(world.Exists(std::string(kTemp) + "EXTRACT_OLD"));
}

TEST(ExtractBackupUnitTest, HostileEntriesNeverLeaveTheExtractionFolder) {
  ServerWorld world;
  testing::WriteStoredZip(world, "A:\\EVIL.ZIP",
                          {{"../../evil", "owned"},
                           {"KyConfig/DAXOR1401/DAXOR.INI", "[S]\r\n"},
                           {"MAC/../../../evil2", "owned"}});
  const UnitExtraction unit = ExtractBackupUnit(world.program());
  ASSERT_TRUE(unit.found);
  ASSERT_EQ(unit.table.size(), 1u);

  EXPECT_FALSE(world.Exists("C:\\ORVEL\\VER14\\evil"));
  EXPECT_FALSE(world.Exists("C:\\ORVEL\\VER14\\~TMPCOPYZIP\\evil"));
  for (const std::string& file : world.Tree("C:\\")) {
    EXPECT_EQ(file.find("evil"), std::string::npos) << file;
  }
  EXPECT_EQ(world.Tree("A:\\"), std::vector<std::string>{"EVIL.ZIP"});
}

TEST(ExtractBackupUnitTest, MissingDiskIsAskedForUntilItIsBack) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PP1.EXE"}});
  DiskTakenOut disk(world);

  int asked = 0;
  world.ui().on_box = [&](const MessageBoxRequest& box, Answer) {
    if (box.title == "File Error\"" && ++asked == 2) disk.platform.DriveBack('A');
  };
  world.ui().QueueAnswer(Answer::kOk);
  world.ui().QueueAnswer(Answer::kOk);

  const UnitExtraction unit = ExtractBackupUnit(disk.program);
  ASSERT_TRUE(unit.found);
  ASSERT_EQ(world.ui().boxes().size(), 2u);
  const MessageBoxRequest& box = world.ui().boxes()[0].request;
  EXPECT_EQ(box.text,
            "Attenzione l'Unita di Backup A:\\non contiene il file:\rALFA.ZIP Inserire i floppy "
            "giusto");
  EXPECT_EQ(box.title.size(), 11u);
  EXPECT_EQ(box.buttons, Buttons::kOkCancel);
  EXPECT_TRUE(box.no_icon);
  EXPECT_TRUE(world.Exists(std::string(kTemp) + "EXTRACT_ALFA\\ORVEL\\VER14\\MAC\\M1.MAC"));
}

TEST(ExtractBackupUnitTest, CancelSkipsTheMissingArchiveAndKeepsItsRow) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PP1.EXE"}});
  world.DaxorArchive("BETA.ZIP", {{"M2.MAC", "PP2.EXE"}});
  DiskTakenOut disk(world);

  // No scripted answer: every box is cancelled.
  const UnitExtraction unit = ExtractBackupUnit(disk.program);
  ASSERT_TRUE(unit.found);
  const ExtractedArchives& table = unit.table;
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(world.ui().boxes().size(), 2u);
  EXPECT_TRUE(world.Exists(table[0].folder.substr(0, table[0].folder.size() - 1)));
  EXPECT_TRUE(world.Tree(std::string(kTemp) + "EXTRACT_ALFA").empty());
  EXPECT_TRUE(world.Tree(std::string(kTemp) + "EXTRACT_BETA").empty());
}

}  // namespace
}  // namespace zr
