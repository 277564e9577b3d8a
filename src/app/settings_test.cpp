#include "app/settings.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/fault_platform.h"
#include "tests/installations.h"
#include "tests/test_world.h"

namespace zr {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { program_.SystemFolder = "C:\\KYCONFIG\\SYSTEM"; }
  std::string Ini(const std::string& section, const std::string& key, const std::string& file) {
    return GetIniString(platform_, section, key, "<none>", file);
  }
  testing::TestWorld world_;
  Session& program_ = world_.program();
  Platform& platform_ = world_.platform();
};

// Long values are cut to 255 characters; a missing file is not made, nor a
// missing folder by a write. (A write that makes the file: the start-up's
// KySystemElsewhereMovesTheSettingsFile; one that replaces a key:
// ServerFoldersRoundTripEachUnderItsOwnKey.)
TEST_F(SettingsTest, EveryReadLeavesAnEmptyApplicationKey) {
  const std::string file = "C:\\S.INI";
  world_.WriteLines(file, {"[PATH]", "KYSYSTEM=C:\\X", "LONG=" + std::string(300, 'x')});
  EXPECT_EQ(GetIniString(platform_, "PATH", "LONG", "", file), std::string(255, 'x'));
  EXPECT_EQ(GetIniString(platform_, "PATH", "KYSYSTEM", "", file), "C:\\X");
  EXPECT_EQ(Ini("CONFIGURA", "APPLICATION", file), "");
  EXPECT_NE(world_.ReadFile(file).find("[CONFIGURA]\r\nAPPLICATION=\r\n"), std::string::npos);
  EXPECT_EQ(GetIniString(platform_, "PATH", "MISSING", "def", file), "def");
  EXPECT_EQ(GetIniString(platform_, "PATH", "KYSYSTEM", "", "C:\\X.INI"), "");
  EXPECT_FALSE(world_.Exists("C:\\X.INI"));
  PutIniString(platform_, "PATH", "K", "v", "C:\\NOFOLDER\\S.INI");  // ignored, no crash
  EXPECT_FALSE(world_.Exists("C:\\NOFOLDER"));
}

TEST_F(SettingsTest, ReadOnAFullDiskGivesTheValueAndKeepsTheFile) {
  const std::string file = "C:\\KYCONFIG\\DAXOR1401\\DAXOR1401.ini";
  const std::string original =
      "[SETTINGS]\r\n;" + std::string(4061, '-') + "\r\nInstalldir=C:\\ORVEL\\VER14\\\r\n";
  world_.WriteFile(file, original);
  testing::FaultPlatform full(platform_);  // every write stores its first 4,096 bytes
  full.DiskFullAfter(4096);
  EXPECT_EQ(GetIniString(full, "SETTINGS", "Installdir", "", file), "C:\\ORVEL\\VER14\\");
  EXPECT_EQ(world_.ReadFile(file), original);
  EXPECT_EQ(GetIniString(full, "SETTINGS", "Installdir", "", file), "C:\\ORVEL\\VER14\\");
}

TEST_F(SettingsTest, ServerFoldersRoundTripEachUnderItsOwnKey) {
  LoadOrSaveSettings(program_, program_.SettingsFile(), true);  // no file: the defaults
  EXPECT_EQ(program_.BackupPath, "A:\\");
  for (const ProductRecord& record : program_.ProductTable) EXPECT_EQ(record.ServerFolder, "");
  world_.WriteLines(program_.SettingsFile(),
                    {"[PATH]", "BACKUPCLIENTE=D:\\BK\\", "SERVER_DUNRA=\\\\SRV\\DUNRA\\",
                     "SERVER_TRELUN=S:\\TR\\"});
  LoadOrSaveSettings(program_, program_.SettingsFile(), true);
  EXPECT_EQ(program_.BackupPath, "D:\\BK\\");
  EXPECT_EQ(program_.ProductTable[ProductRow("DUNRA")].Name, "DUNRA");
  EXPECT_EQ(program_.ProductTable[ProductRow("DUNRA")].ServerFolder, "\\\\SRV\\DUNRA\\");
  EXPECT_EQ(program_.ProductTable[ProductRow("DAXOR_OLD")].Name, "DAXOR_OLD");
  // DUNRA has no server item: its root is only ever read and written back.
  EXPECT_FALSE(KeepServerFolder(program_, ProductRow("DUNRA"), "S:\\"));

  program_.ProductTable[ProductRow("PLOVIK")].ServerFolder = "S:\\PL\\";
  program_.BackupPath = "A:\\";
  LoadOrSaveSettings(program_, program_.SettingsFile(), false);
  const std::string file = program_.SettingsFile();
  EXPECT_EQ(Ini("PATH", "SERVER_DUNRA", file), "\\\\SRV\\DUNRA\\");
  EXPECT_EQ(Ini("PATH", "SERVER_TRELUN", file), "S:\\TR\\");
  EXPECT_EQ(Ini("PATH", "SERVER_PLOVIK", file), "S:\\PL\\");
  EXPECT_EQ(Ini("PATH", "SERVER_DAXOR2D", file), "");
  EXPECT_EQ(Ini("PATH", "BACKUPCLIENTE", file), "A:\\");
}

// A backup destination or server folder is kept only as a Windows folder
// that exists, or one whose drive is not ready (with a warning); never a
// host path, a control character or more than a settings value holds.
TEST_F(SettingsTest, FoldersAreCheckedBeforeTheyAreKept) {
  world_.MakeFolder("D:\\BK");
  world_.MakeFolder("\\\\SRV\\SHARE\\CAM");
  world_.WriteFile("D:\\FILE", "x");
  world_.RemoveDrive('A');
  const char* form = "non è nella forma X:\\... o \\\\SERVER\\CONDIVISIONE\\...";
  const struct {
    std::string folder;
    const char* error;
    const char* warning;
  } cases[] = {
      {"D:\\BK", "", ""},
      {"d:\\bk\\", "", ""},
      {"\\\\srv\\share\\cam\\", "", ""},
      {"A:\\", "", "non è pronta"},
      {"A:\\CLIENTI", "", "non è pronta"},
      {"/srv/floppy", form, ""},
      {"BK", form, ""},
      {"D:BK", form, ""},
      {"D:\\BK/X", form, ""},
      {"\\\\SRV", form, ""},
      {"\\\\SRV\\\\X", form, ""},
      {"D:\\A\\..\\BK", form, ""},
      {"D:\\BK.", form, ""},
      {"D:\\B?K", form, ""},
      {"D:\\NO\\SUCH", "non esiste", ""},
      {"D:\\FILE", "non è una cartella", ""},
      {"D:\\B\r\nK", "\"D:\\B\\x0D\\x0AK\" contiene un a capo", ""},
      {"D:\\B\x01K", "carattere di controllo", ""},
      {"D:\\" + std::string(251, 'L'), "non esiste", ""},
      {"D:\\" + std::string(252, 'L'), "supera i 255 caratteri", ""},
  };
  for (const auto& c : cases) {
    const FolderCheck check = CheckSettingsFolder(platform_, c.folder);
    EXPECT_NE(check.error.find(c.error), std::string::npos) << c.folder << ": " << check.error;
    EXPECT_EQ(check.error.empty(), *c.error == '\0') << c.folder << ": " << check.error;
    EXPECT_NE(check.warning.find(c.warning), std::string::npos) << c.folder;
    EXPECT_EQ(check.warning.empty(), *c.warning == '\0') << c.folder;
  }
}

// The settings are saved in one rewrite and read back: a value the file
// cannot hold exactly (Windows-1252 has no omega) gives the reason and
// leaves the file as it was (a missing one missing). A read-only file or a
// full disk: tools/cli/cli_test.cpp (ConfigSavesOnlyWhatItKeeps).
TEST_F(SettingsTest, SaveSettingsSavesEveryValueOrNone) {
  const std::string file = program_.SettingsFile();
  const std::string original = "[PATH]\r\nBACKUPCLIENTE=A:\\\r\nSERVER_TRELUN=S:\\T\\\r\n";
  world_.WriteFile(file, original);
  LoadOrSaveSettings(program_, file, true);
  world_.WriteFile(file, original);
  program_.BackupPath = "D:\\BK\\";
  program_.ProductTable[ProductRow("PLOVIK")].ServerFolder = "S:\\\xCE\xA9\\";
  EXPECT_NE(SaveSettings(program_, file).find("SERVER_PLOVIK si rilegge \"S:\\?\\\""),
            std::string::npos);
  EXPECT_EQ(world_.ReadFile(file), original);
  EXPECT_NE(SaveSettings(program_, "C:\\KYCONFIG\\NEW.INI").find("si rilegge"), std::string::npos);
  EXPECT_FALSE(world_.Exists("C:\\KYCONFIG\\NEW.INI"));
  program_.ProductTable[ProductRow("PLOVIK")].ServerFolder = "S:\\P\\";
  EXPECT_EQ(SaveSettings(program_, file), "");
  EXPECT_EQ(Ini("PATH", "BACKUPCLIENTE", file), "D:\\BK\\");
  EXPECT_EQ(Ini("PATH", "SERVER_PLOVIK", file), "S:\\P\\");
  EXPECT_EQ(Ini("PATH", "SERVER_TRELUN", file), "S:\\T\\");
}

TEST_F(SettingsTest, HasInstallDirNeedsANonEmptyValue) {
  testing::RegisterProduct(world_, "DAXOR1401", {"[SETTINGS]", "Installdir=C:\\X"});
  testing::RegisterProduct(world_, "TRELUN0102", {"[SETTINGS]", "Installdir="});
  world_.MakeFolder("C:\\KYCONFIG\\PLOVIK0102");
  EXPECT_TRUE(HasInstallDir(program_, "C:\\KYCONFIG\\DAXOR1401"));
  EXPECT_FALSE(HasInstallDir(program_, "C:\\KYCONFIG\\TRELUN0102"));
  EXPECT_FALSE(HasInstallDir(program_, "C:\\KYCONFIG\\PLOVIK0102"));
}

TEST_F(SettingsTest, InstalldirWithTrailingBackslashIsUsedWithoutIt) {
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14\\");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ita");
  program_.DaxorIniFiles = {"junk"};  // made anew, not added to
  ASSERT_TRUE(LoadProductSettings(program_, ProductRow("DAXOR2D")));
  EXPECT_EQ(program_.ProductFolder, "C:\\ORVEL\\VER14");
  EXPECT_EQ(program_.ProductSettingsFile,
            (std::array<std::string, 2>{"c:\\kyconfig\\DAXOR1401", "DAXOR1401.ini"}));
  EXPECT_EQ(program_.Language, "ITA");
  EXPECT_EQ(program_.ErrorTexts[53], "Non esiste il file");
  EXPECT_EQ(platform_.CurrentFolder(), "C:\\ORVEL\\VER14");
  EXPECT_EQ(program_.BackupPath, "A:\\");
  EXPECT_EQ(program_.DaxorIniFiles.size(), 7u);
  // The product INI that was read carries the APPLICATION key.
  EXPECT_NE(world_.ReadFile("C:\\KYCONFIG\\DAXOR1401\\DAXOR1401.ini").find("[CONFIGURA]"),
            std::string::npos);
}

TEST_F(SettingsTest, TrelunLanguageFollowsLingua) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"LINGUA=1", "ITA"}, {"LINGUA=0", "ENG"}, {"LINGUA=ITA", "ENG"}, {"", "ENG"}};
  for (const auto& [line, language] : cases) {
    testing::InstallProduct(world_, "TRELUN0102", "C:\\TRELUN", {"[OPTION]", line});
    program_.Language.clear();
    ASSERT_TRUE(LoadProductSettings(program_, ProductRow("TRELUN")));
    EXPECT_EQ(program_.Language, language) << line;
  }
}

// A DAXOR without KY-GEN.CNF has no language.
TEST_F(SettingsTest, PlovikAndDunraAreEnglishAndZipModeIsReset) {
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\PLOVIK", {"[OPTION]", "LINGUA=1"});
  testing::InstallProduct(world_, "DUNRA01", "C:\\DUNRA");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
  program_.ZipMode = ZipTarget::kNone;
  ASSERT_TRUE(LoadProductSettings(program_, ProductRow("PLOVIK")));
  EXPECT_EQ(program_.Language, "ENG");
  EXPECT_EQ(program_.ZipMode, ZipTarget::kBackupPath);
  ASSERT_TRUE(LoadProductSettings(program_, ProductRow("DUNRA")));
  EXPECT_EQ(program_.Language, "ENG");
  ASSERT_TRUE(LoadProductSettings(program_, ProductRow("DAXOR2D")));
  EXPECT_EQ(program_.Language, "");
}

TEST_F(SettingsTest, BackupPathIsReadOnlyWhenEmpty) {
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\PLOVIK");
  world_.WriteLines(program_.SettingsFile(), {"[PATH]", "BACKUPCLIENTE=D:\\BK\\"});
  program_.BackupPath = "E:\\";
  ASSERT_TRUE(LoadProductSettings(program_, ProductRow("PLOVIK")));
  EXPECT_EQ(program_.BackupPath, "E:\\");
  program_.BackupPath.clear();
  ASSERT_TRUE(LoadProductSettings(program_, ProductRow("PLOVIK")));
  EXPECT_EQ(program_.BackupPath, "D:\\BK\\");
}

TEST_F(SettingsTest, MissingOrVanishedInstallationIsNotUsable) {
  testing::RegisterProduct(world_, "DAXOR1401", {"[SETTINGS]", "Installdir=C:\\GONE"});
  program_.Language = "ITA";
  EXPECT_FALSE(LoadProductSettings(program_, ProductRow("DAXOR2D")));
  EXPECT_EQ(program_.ProductFolder, "C:\\GONE");
  EXPECT_EQ(program_.Language, "ITA");
  EXPECT_EQ(platform_.CurrentFolder(), "C:\\");
  EXPECT_FALSE(LoadProductSettings(program_, ProductRow("TRELUN")));  // no folder for it at all
  EXPECT_FALSE(world_.Exists("C:\\KYCONFIG\\.ini"));
}

TEST_F(SettingsTest, OldDaxorTakesTheCurrentFolder) {
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ENG");
  world_.WriteLines(program_.SettingsFile(), {"[PATH]", "BACKUPCLIENTE=D:\\"});
  ASSERT_TRUE(platform_.ChangeFolder("C:\\ORVEL\\VER14").ok());
  LoadDaxorOldSettings(program_, false);
  EXPECT_TRUE(world_.ui().prompts().empty());
  EXPECT_EQ(program_.ProductFolder, "C:\\ORVEL\\VER14");
  EXPECT_EQ(program_.CnfFolder, "C:\\ORVEL\\VER14");
  EXPECT_EQ(program_.Language, "ENG");
  EXPECT_EQ(program_.BackupPath, "D:\\");
}

}  // namespace
}  // namespace zr
