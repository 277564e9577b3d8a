#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/products.h"
#include "app/settings.h"
#include "tests/installations.h"
#include "tests/test_world.h"

namespace zr {
namespace {

constexpr const char* kSystem = "/Fc:\\kyconfig\\system";

class StartupTest : public ::testing::Test {
 protected:
  std::string Ini(const std::string& file, const std::string& key) {
    return GetIniString(world_.platform(), "PATH", key, "<none>", file);
  }
  // Starts the program with C:\KYCONFIG\SYSTEM (made here) as its folder.
  void Load(const std::string& command_line = kSystem) {
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
    LoadSession(program_, command_line);
  }
  testing::TestWorld world_;
  Session& program_ = world_.program();
  ScriptedUi& ui_ = world_.ui();
  Platform& platform_ = world_.platform();
};

TEST_F(StartupTest, ProductIndexOfFolderByNamePrefix) {
  for (const auto& name : {"DAXOR1401", "daxor1401", "TRELUNX", "PLOVIK0102", "Dunra7",
                           "DAXOR3D0101", "ZAZOZODEDU01", "OTHER"}) {
    testing::RegisterProduct(world_, name, {"[SETTINGS]", "Installdir=C:\\X"});
  }
  const std::pair<const char*, const char*> cases[] = {{"DAXOR1401", "DAXOR2D"},
                                                       {"daxor1401", "DAXOR2D"},
                                                       {"TRELUNX", "TRELUN"},
                                                       {"PLOVIK0102", "PLOVIK"},
                                                       {"Dunra7", "DUNRA"},
                                                       {"DAXOR3D0101", ""},
                                                       {"OTHER", ""},
                                                       {"DAXOR9999", ""}};  // the last has no INI
  for (const auto& [name, product] : cases) {
    EXPECT_EQ(ProductIndexOfFolder(program_, "C:\\KYCONFIG\\", name, true), ProductRow(product))
        << name;
  }
  EXPECT_EQ(ProductIndexOfFolder(program_, "C:\\KYCONFIG\\", "ZAZOZODEDU01", false), -1);
  EXPECT_EQ(ProductIndexOfFolder(program_, "C:\\KYCONFIG\\", "DAXOR9999", false),
            ProductRow("DAXOR2D"));
}

TEST_F(StartupTest, ClassifyStartFolderLooksAtTheFirst11Characters) {
  EXPECT_TRUE(ClassifyStartFolder("C:\\KyConfig"));
  EXPECT_TRUE(ClassifyStartFolder("c:\\kyconfigX\\y"));
  EXPECT_FALSE(ClassifyStartFolder("c:\\kyconf"));
  EXPECT_FALSE(ClassifyStartFolder("D:\\kyconfig"));
}

TEST_F(StartupTest, FindProductConfigFolderSkipsThe3DVariant) {
  testing::RegisterProduct(world_, "DAXOR3D0101", {"[SETTINGS]", "Installdir=C:\\X"});
  testing::RegisterProduct(world_, "DAXOR4000", {"[SETTINGS]", "Installdir=C:\\X"});
  EXPECT_EQ(FindProductConfigFolder(program_, ProductRow("DAXOR2D")), "c:\\kyconfig\\DAXOR4000");
  EXPECT_EQ(FindProductConfigFolder(program_, ProductRow("PLOVIK")), "c:\\kyconfig\\");
  EXPECT_EQ(FindProductConfigFolder(program_, ProductRow("DAXOR_OLD")), "c:\\kyconfig\\");
}

TEST_F(StartupTest, FirstRunWithSystemFolderAndProduct) {
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
  world_.MakeFolder("C:\\KYCONFIG\\DAXOR3D0101");
  testing::RegisterProduct(world_, "ZAZOZODEDU01", {"[SETTINGS]", "Installdir=C:\\ORVEL\\VER14"});
  Load();

  const std::string file = "C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI";
  EXPECT_EQ(program_.SystemFolder, "c:\\kyconfig\\system");
  EXPECT_EQ(Ini(file, "KYSYSTEM"), "c:\\kyconfig\\system");
  EXPECT_EQ(Ini(file, "KYGENERALE"), "c:\\kyconfig");
  EXPECT_EQ(Ini(file, "ZIPFILE"), "c:\\kyconfig\\system\\PKZIP25");
  EXPECT_EQ(program_.ArchiverPath, "c:\\kyconfig\\system\\PKZIP25");
  EXPECT_EQ(program_.InstalledProducts, std::vector<int>{ProductRow("DAXOR2D")});
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR2D");
  EXPECT_EQ(program_.ProductFolder, "C:\\ORVEL\\VER14");
  EXPECT_EQ(program_.Language, "ITA");
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(StartupTest, FirstRunWithoutProductsUsesTheToolsArchiver) {
  testing::InstallDaxorFolder(world_, "C:\\KYCONFIG\\SYSTEM", "ENG");
  Load("/fc:\\kyconfig\\system");  // the letter may be lower case
  EXPECT_EQ(Ini("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", "ZIPFILE"),
            "c:\\kyconfig\\system\\tools\\PKZIP25");
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR_OLD");
  EXPECT_TRUE(program_.InstalledProducts.empty());
}

TEST_F(StartupTest, StartInAnOldDaxorFolderAsksNothing) {
  testing::InstallDaxorFolder(world_, "C:\\Orvel\\Ver14", "ITA");
  ASSERT_TRUE(platform_.ChangeFolder("C:\\Orvel\\Ver14").ok());
  LoadSession(program_, "");
  const std::string file = "C:\\Orvel\\Ver14\\ZA-RIREVO.INI";
  EXPECT_EQ(Ini(file, "KYSYSTEM"), "C:\\Orvel\\Ver14");
  EXPECT_EQ(Ini(file, "KYGENERALE"), "C:\\Orvel");
  EXPECT_EQ(Ini(file, "ZIPFILE"), "C:\\Orvel\\Ver14\\tools\\PKZIP25");
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR_OLD");
  EXPECT_EQ(program_.ProductFolder, "C:\\Orvel\\Ver14");
  EXPECT_EQ(program_.Language, "ITA");
  EXPECT_TRUE(ui_.prompts().empty());
  EXPECT_TRUE(ui_.boxes().empty());
  // The settings file made in the start folder is named once, with its host path.
  LoadSession(program_, "");
  EXPECT_EQ(ui_.notices(),
            std::vector<std::string>{"nessuna impostazione in C:\\Orvel\\Ver14: ZA-RIREVO.INI "
                                     "creato lì (" +
                                     world_.HostShown(file) + ")"});
}

TEST_F(StartupTest, AnotherOptionFirstChangesNoFolder) {
  testing::InstallDaxorFolder(world_, "C:\\Orvel\\Ver14");
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  ASSERT_TRUE(platform_.ChangeFolder("C:\\Orvel\\Ver14").ok());
  ParseCommandLine(program_, "/X /Fc:\\kyconfig\\system");
  EXPECT_EQ(platform_.CurrentFolder(), "C:\\Orvel\\Ver14");
  ParseCommandLine(program_, "");
  ParseCommandLine(program_, "no option");
  ParseCommandLine(program_, "/");
  EXPECT_EQ(platform_.CurrentFolder(), "C:\\Orvel\\Ver14");
  ParseCommandLine(program_, "  /F  c:\\kyconfig\\system  /Q");  // a further option is not folder
  EXPECT_EQ(platform_.CurrentFolder(), "c:\\kyconfig\\system");
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(StartupTest, UnusableFolderOptionKeepsTheStartFolderAndTellsSo) {
  testing::InstallDaxorFolder(world_, "C:\\Orvel\\Ver14");
  ASSERT_TRUE(platform_.ChangeFolder("C:\\Orvel\\Ver14").ok());
  LoadSession(program_, "/FQ:\\nowhere");
  ASSERT_FALSE(ui_.boxes().empty());
  EXPECT_NE(ui_.boxes()[0].request.text.find("Q:\\nowhere"), std::string::npos);
  EXPECT_EQ(program_.SystemFolder, "C:\\Orvel\\Ver14");
  EXPECT_TRUE(world_.Exists("C:\\Orvel\\Ver14\\ZA-RIREVO.INI"));
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR_OLD");
}

TEST_F(StartupTest, UnusableKySystemIsLeftAloneAndNothingIsWrittenThere) {
  testing::InstallDaxorFolder(world_, "C:\\KYCONFIG\\SYSTEM");
  const std::string file = "C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI";
  world_.WriteLines(file, {"[PATH]", "KYSYSTEM=D:\\GONE", "KYGENERALE=D:\\ALSO"});
  Load();
  EXPECT_EQ(program_.SystemFolder, "c:\\kyconfig\\system");
  EXPECT_EQ(Ini(file, "KYSYSTEM"), "D:\\GONE");  // the user's value is kept to be mended
  EXPECT_EQ(Ini(file, "KYGENERALE"), "D:\\ALSO");
  EXPECT_FALSE(world_.Exists("D:\\GONE"));
  EXPECT_EQ(ui_.boxes().size(), 2u);
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR_OLD");
}

TEST_F(StartupTest, KySystemElsewhereMovesTheSettingsFile) {
  testing::InstallDaxorFolder(world_, "D:\\SYS");
  world_.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", {"[PATH]", "KYSYSTEM=D:\\SYS"});
  Load();
  EXPECT_EQ(program_.SystemFolder, "D:\\SYS");
  EXPECT_EQ(Ini("D:\\SYS\\ZA-RIREVO.INI", "KYSYSTEM"), "D:\\SYS");
  EXPECT_EQ(Ini("D:\\SYS\\ZA-RIREVO.INI", "KYGENERALE"), "D:\\");
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(StartupTest, RelativeKySystemIsMadeFullOnceAgainstItsSettingsFolder) {
  struct Case {
    const char* value;
    const char* system;  // SystemFolder after the load
    const char* folder;  // the same, as the world spells it
    const char* tree;    // the files of C:\ then: the settings file written there only
  };
  for (const Case& c :
       {Case{"..\\SYS2", "c:\\kyconfig\\SYS2", "C:\\KYCONFIG\\SYS2",
             "KYCONFIG/SYS2/KY-GEN.CNF KYCONFIG/SYS2/ZA-RIREVO.INI KYCONFIG/SYSTEM/ZA-RIREVO.INI"},
        Case{"..", "c:\\kyconfig", "C:\\KYCONFIG",
             "KYCONFIG/KY-GEN.CNF KYCONFIG/SYSTEM/ZA-RIREVO.INI KYCONFIG/ZA-RIREVO.INI"}}) {
    SCOPED_TRACE(c.value);
    testing::TestWorld world;
    testing::InstallDaxorFolder(world, c.folder);
    world.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI",
                     {"[PATH]", "KYSYSTEM=" + std::string(c.value)});
    Session& program = world.program();
    world.ui().max_unanswered_repeats = 2;  // a question would come back unanswered
    LoadSession(program, kSystem);
    EXPECT_EQ(program.SystemFolder, c.system);
    EXPECT_EQ(program.ArchiverPath.rfind(std::string(c.system) + "\\", 0), 0u)
        << program.ArchiverPath;
    EXPECT_EQ(GetIniString(world.platform(), "PATH", "KYSYSTEM", "", program.SettingsFile()),
              c.system);
    EXPECT_EQ(world.Tree("C:\\"), testing::Words(c.tree));
    EXPECT_TRUE(world.ui().boxes().empty());
  }
}

TEST_F(StartupTest, FirstProductUnusableFallsBackToOldDaxorWithQuestion) {
  testing::RegisterProduct(world_, "DAXOR1401", {"[SETTINGS]", "Installdir=C:\\GONE"});
  testing::InstallProduct(world_, "TRELUN0102", "C:\\TRELUN");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ENG");
  ui_.QueuePick("C:\\ORVEL\\VER14");
  Load();
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR_OLD");
  EXPECT_TRUE(program_.InstalledProducts.empty());
  EXPECT_EQ(ui_.prompts().size(), 1u);
  EXPECT_EQ(program_.ProductFolder, "C:\\ORVEL\\VER14");
  EXPECT_EQ(Ini("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", "ZIPFILE"), "c:\\kyconfig\\system\\PKZIP25");
}

class CyclingTest : public StartupTest {
 protected:
  void SetUp() override {
    testing::InstallProduct(world_, "DAXOR1401", "C:\\D");
    testing::InstallDaxorFolder(world_, "C:\\D", "ITA");
    testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
    testing::InstallProduct(world_, "TRELUN0102", "C:\\T", {"[OPTION]", "LINGUA=1"});
    Load();
    ASSERT_EQ(
        program_.InstalledProducts,
        (std::vector<int>{ProductRow("DAXOR2D"), ProductRow("PLOVIK"), ProductRow("TRELUN")}));
  }
};

// An unknown name leads to the first position; a vanished installation is
// skipped; when none can be read the current name stays.
TEST_F(CyclingTest, NextSoftwareSkipsWhatCannotBeRead) {
  EXPECT_EQ(NextInstalledSoftware(program_, "DUNRA"), "DAXOR2D");
  for (const char* name : {"PLOVIK0102", "DAXOR1401", "TRELUN0102"}) {
    testing::RegisterProduct(world_, name, {"[SETTINGS]", "Installdir=C:\\VANISHED"});
    if (name[0] == 'P') {
      EXPECT_EQ(NextInstalledSoftware(program_, "DAXOR2D"), "TRELUN");
      EXPECT_EQ(program_.Language, "ITA");
    }
  }
  EXPECT_EQ(NextInstalledSoftware(program_, "PLOVIK"), "PLOVIK");
}

TEST_F(StartupTest, SoftwareButtonWithoutProductsKeepsTheName) {
  program_.InstalledProducts.clear();
  EXPECT_EQ(NextInstalledSoftware(program_, "DAXOR_OLD"), "DAXOR_OLD");
  program_.ProductTable[ProductRow("TRELUN")].Name = "TRELUN";
  program_.InstalledProducts = {ProductRow("TRELUN")};
  EXPECT_EQ(NextInstalledSoftware(program_, "TRELUN"), "TRELUN");
}

TEST_F(StartupTest, TwoFoldersOfOneFamilyDoNotHoldTheButton) {
  testing::InstallProduct(world_, "DAXOR1401", "C:\\D");
  testing::InstallProduct(world_, "DAXOR1500", "C:\\D");
  testing::InstallProduct(world_, ".DAXOR1600", "C:\\D");  // a dot entry is skipped
  testing::InstallProduct(world_, "TRELUN0102", "C:\\T");
  Load();
  ASSERT_EQ(program_.InstalledProducts,
            (std::vector<int>{ProductRow("DAXOR2D"), ProductRow("DAXOR2D"), ProductRow("TRELUN")}));
  EXPECT_EQ(NextInstalledSoftware(program_, "DAXOR2D"), "TRELUN");
  EXPECT_EQ(NextInstalledSoftware(program_, "TRELUN"), "DAXOR2D");
}

TEST_F(StartupTest, PrepareMainWindowSetsTheColoursAndReadsTheProduct) {
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
  Load();
  ASSERT_TRUE(platform_.ChangeFolder("C:\\").ok());
  PrepareMainWindow(program_);
  EXPECT_EQ(program_.ColorGray, Rgb(128, 128, 128));  // set: the copies write their lines
  EXPECT_EQ(program_.SelectedSoftware, "PLOVIK");
  EXPECT_EQ(platform_.CurrentFolder(), "C:\\P");
}

}  // namespace
}  // namespace zr
