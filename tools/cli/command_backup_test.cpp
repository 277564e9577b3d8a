// za-rirevo-cli backup CUSTOMER as a process: its exit code follows what the
// job really did, over a DAXOR2D installation built in a temporary world.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/installations.h"
#include "tests/test_world.h"

namespace zr {
namespace {

class CliBackupTest : public ::testing::Test {
 protected:
  CliBackupTest() {
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
    testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
    testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
    for (const char* name : {"L3030", "L4040", "P2020"}) {
      world_.WriteFile(std::string("C:\\ORVEL\\VER14\\MAC\\") + name + ".MAC",
                       "POST-PROCESSOR|PP|\r\n");
    }
    world_.WriteFile("C:\\ORVEL\\VER14\\PP1.TXT", "post");
  }

  void InstallArchiver() { world_.InstallArchiver("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE"); }

  int Cli(std::vector<std::string> args, std::string* out = nullptr) {
    std::string command =
        "ZARIREVO_TODAY=2003-06-05 ZARIREVO_DRIVES='" + world_.drive_map().DrivesVariable() + "' " +
        ZARIREVO_CLI + " --color never --cmdline '/Fc:\\kyconfig\\system'" + " --select " + select_;
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>&1";
    std::string text;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    const int status = pclose(pipe);
    if (out != nullptr) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  testing::TestWorld world_;
  std::string select_ = "Menu211,Menu212";  // the file items checked
};

TEST_F(CliBackupTest, ACompleteBackupExitsWithZero) {
  InstallArchiver();
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 0) << out;
  EXPECT_NE(out.find("Copia eseguita"), std::string::npos);
  EXPECT_NE(out.find("Zip eseguito"), std::string::npos);
  EXPECT_TRUE(world_.Exists("A:\\METAL_050603.ZIP"));
  EXPECT_TRUE(world_.Exists("A:\\METAL\\PP1.TXT"));
}

// A customer name with a blank, archived into its own folder: the folder
// reaches the archiver as one argument.
TEST_F(CliBackupTest, ACustomerNameWithABlankGetsItsArchive) {
  InstallArchiver();
  std::string out;
  EXPECT_EQ(Cli({"--zip", "0", "backup", "ROSSI MARIO"}, &out), 0) << out;
  EXPECT_NE(out.find("Zip eseguito"), std::string::npos);
  EXPECT_TRUE(world_.Exists("A:\\ROSSI MARIO\\ROSSI_MARIO_050603.ZIP"));
}

// An archiver that ends well without writing, over an archive of the same
// name from an earlier run: no "Zip eseguito", and the old archive stays.
TEST_F(CliBackupTest, AnOldArchiveOfTheSameNameIsNotTakenForTheNewOne) {
  world_.WriteFile("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE", "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(world_.Host("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE"),
                               std::filesystem::perms::owner_all);
  world_.WriteFile("A:\\METAL_050603.ZIP", "old");
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 1) << out;
  EXPECT_EQ(out.find("Zip eseguito"), std::string::npos) << out;
  EXPECT_EQ(world_.ReadFile("A:\\METAL_050603.ZIP"), "old");
}

TEST_F(CliBackupTest, NoArchiveWantedStillExitsWithZero) {
  EXPECT_EQ(Cli({"--zip", "2", "backup", "METAL"}), 0);
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
}

TEST_F(CliBackupTest, AMissingArchiverExitsWithOne) {
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 1) << out;
  EXPECT_NE(out.find("Copia eseguita"), std::string::npos);
  EXPECT_EQ(out.find("Zip eseguito"), std::string::npos);
}

TEST_F(CliBackupTest, StopExitsWithOneAndLeavesNothing) {
  InstallArchiver();
  std::string out;
  EXPECT_EQ(Cli({"--stop-after", "1", "backup", "METAL"}, &out), 1) << out;
  EXPECT_NE(out.find("! Copia fermata dall'utente"), std::string::npos);
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
}

TEST_F(CliBackupTest, ARefusedOrExistingNameExitsWithOne) {
  InstallArchiver();
  EXPECT_EQ(Cli({"backup", "A/B"}), 1);
  EXPECT_EQ(Cli({"backup", ""}), 1);
  world_.MakeFolder("A:\\METAL");
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 1);
  EXPECT_NE(out.find("[Folder Error]"), std::string::npos) << out;
}

// A machine-file reference that would lead the copy into the installation
// is reported and skipped, the rest is copied, and the closing says the copy
// is incomplete: the console exits with 1.
TEST_F(CliBackupTest, AReferenceLeadingOutOfTheBackupIsSkippedAndExitsWithOne) {
  world_.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", {"[PATH]", "BACKUPCLIENTE=C:\\BK\\"});
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P", {"[PATH]", "MAC=D:\\BEND\\MAC"});
  world_.WriteLines("D:\\BEND\\MAC\\M1.MAC",
                    {"[REFERENCES]", "FILENAME=D:\\NEW\\..\\..\\..\\Plovik\\DATA\\INT\\B1.INT",
                     "[INTERMEDIATE]", "FILENAME=D:\\BEND\\RIF\\A.RIF"});
  world_.WriteFile("C:\\Plovik\\DATA\\INT\\B1.INT", "installed");
  world_.WriteFile("D:\\Plovik\\DATA\\INT\\B1.INT", "from D:");
  world_.WriteFile("D:\\BEND\\RIF\\A.RIF", "rif");
  world_.MakeFolder("C:\\BK");
  select_ = "Menu213";
  std::string out;
  EXPECT_EQ(Cli({"--product", "PLOVIK", "--zip", "2", "backup", "METAL"}, &out), 1) << out;
  EXPECT_NE(out.find("D:\\NEW\\..\\..\\..\\Plovik\\DATA\\INT\\B1.INT non copiato"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("Copia non completata: 1 file non copiato"), std::string::npos);
  EXPECT_EQ(out.find("Copia eseguita"), std::string::npos);
  EXPECT_EQ(world_.ReadFile("C:\\Plovik\\DATA\\INT\\B1.INT"), "installed");
  EXPECT_EQ(world_.ReadFile("C:\\BK\\METAL\\RIF\\A.RIF"), "rif");
}

TEST_F(CliBackupTest, ADestinationInTheTemporaryFolderIsRefusedAndExitsWithOne) {
  InstallArchiver();
  world_.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI",
                    {"[PATH]", "BACKUPCLIENTE=C:\\ORVEL\\VER14\\~TMPZIP\\"});
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 1) << out;
  EXPECT_NE(out.find("cartella temporanea"), std::string::npos) << out;
  EXPECT_EQ(out.find("Copia eseguita"), std::string::npos);
  EXPECT_FALSE(world_.Exists("C:\\ORVEL\\VER14\\~TMPZIP"));
}

}  // namespace
}  // namespace zr
