// za-rirevo-cli server-copy and erase as processes over a DAXOR2D
// installation built in a temporary world: exit codes follow the closing
// boxes, and the erase needs an explicit "--answer yes".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "server/server_test_support.h"
#include "tests/installations.h"
#include "tests/run_program.h"
#include "tests/test_world.h"

namespace zr {
namespace {

class CliServerTest : public ::testing::Test {
 protected:
  CliServerTest() {
    testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
    testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
    world_.InstallArchiver("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE");
    world_.InstallArchiver("C:\\ORVEL\\VER14\\TOOLS\\PkZip25.EXE");
    world_.MakeFolder("D:\\SERVER");
    Settings("A:\\");
  }

  void Settings(const std::string& backup_path) {
    world_.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI",
                      {"[PATH]", "BACKUPCLIENTE=" + backup_path, "SERVER_DAXOR2D=D:\\SERVER\\"});
  }

  int Cli(const std::vector<std::string>& args, std::string* out) {
    std::vector<std::string> argv = {ZARIREVO_CLI, "--color", "never", "--cmdline",
                                     "/Fc:\\kyconfig\\system"};
    argv.insert(argv.end(), args.begin(), args.end());
    testing::ProgramRun run =
        testing::RunProgram(argv, {{"ZARIREVO_DRIVES", world_.drive_map().DrivesVariable()}});
    *out = std::move(run.out);
    return run.exit_code;
  }

  testing::TestWorld world_;
};

// A backup archive with the product's folder and one machine file.
void MakeBackupArchive(testing::TestWorld& world) {
  testing::WriteStoredZip(world, "A:\\METAL.V2.ZIP",
                          {{"KyConfig/DAXOR1401/DAXOR1401.ini", "[S]\r\n"},
                           {"ORVEL/VER14/MAC/M1.MAC", "POST-PROCESSOR|PPNAME.EXE|\r\n"}});
}

TEST_F(CliServerTest, ServerCopyFilesTheArchiveAndExitsWithZero) {
  MakeBackupArchive(world_);
  std::string out;
  ASSERT_EQ(Cli({"server-copy", "--json"}, &out), 0) << out;
  EXPECT_NE(out.find("\"files_filed\":1,"), std::string::npos) << out;
  EXPECT_NE(out.find("Copia Eseguita"), std::string::npos);
  EXPECT_EQ(world_.Tree("D:\\SERVER"), std::vector<std::string>{"PPNAME/M1/METAL-V2.ZIP"});
}

// An archive that does not unpack whole is not filed and the run fails; the
// archiver is found where the settings name it.
TEST_F(CliServerTest, ServerCopyWithAnArchiveNotFiledExitsWithOne) {
  std::filesystem::remove(world_.Host("C:\\ORVEL\\VER14\\TOOLS\\PkZip25.EXE"));
  MakeBackupArchive(world_);
  world_.WriteFile("A:\\BROKEN.ZIP", "PK\x03\x04 truncated");
  std::string out;
  EXPECT_EQ(Cli({"server-copy", "--json"}, &out), 1) << out;
  EXPECT_NE(out.find("Copia terminata con errori: 1 archivio non copiato."), std::string::npos)
      << out;
  EXPECT_NE(out.find("\"files_failed\":1,"), std::string::npos) << out;
  EXPECT_EQ(out.find("Copia Eseguita"), std::string::npos);
  EXPECT_EQ(world_.Tree("D:\\SERVER"), std::vector<std::string>{"PPNAME/M1/METAL-V2.ZIP"});
}

TEST_F(CliServerTest, ServerCopyWithoutArchivesExitsWithOne) {
  std::string out;
  EXPECT_EQ(Cli({"server-copy"}, &out), 1) << out;
  EXPECT_NE(out.find("Copia Bloccata dall'utente"), std::string::npos);
  EXPECT_NE(out.find("za-rirevo-cli: nessun archivio nell'unità di backup A:\\\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(Cli({"--json", "-q", "server-copy"}, &out), 1);
  EXPECT_NE(out.find("\"outcome\":\"refused\",\"reason\":\"nessun archivio"), std::string::npos)
      << out;
}

TEST_F(CliServerTest, EraseNeedsAnExplicitYes) {
  world_.WriteFile("A:\\ALFA.ZIP", "PK");
  std::string out;
  EXPECT_EQ(Cli({"erase"}, &out), 1) << out;
  EXPECT_TRUE(world_.Exists("A:\\ALFA.ZIP"));

  EXPECT_EQ(Cli({"erase", "--yes"}, &out), 0) << out;
  EXPECT_NE(out.find("Cancellazione Eseguita"), std::string::npos);
  EXPECT_NE(out.find("Files erased: 1 (2 B)"), std::string::npos) << out;
  EXPECT_TRUE(world_.Tree("A:\\").empty());

  world_.WriteFile("A:\\BETA.ZIP", "PK");
  EXPECT_EQ(Cli({"--json", "--quiet", "--answer", "yes", "erase"}, &out), 0) << out;
  EXPECT_TRUE(world_.Tree("A:\\").empty());
  EXPECT_TRUE(out.starts_with("{\"command\":\"erase\",\"exit_code\":0,")) << out;
  EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
  EXPECT_NE(out.find("\"files_erased\":1,"), std::string::npos) << out;
}

// Which folders are protected is the erase's own test; here the console's
// refusal and its exit code.
TEST_F(CliServerTest, EraseOfAProtectedFolderIsRefused) {
  world_.WriteFile("C:\\ORVEL\\VER14\\MAC\\M1.MAC", "x");
  Settings("C:\\ORVEL\\VER14\\MAC\\");
  std::string out;
  EXPECT_EQ(Cli({"--answer", "yes", "erase"}, &out), 1) << out;
  EXPECT_NE(out.find("[Cancellazione Rifiutata]"), std::string::npos) << out;
  EXPECT_TRUE(world_.Exists("C:\\ORVEL\\VER14\\MAC\\M1.MAC"));
}

}  // namespace
}  // namespace zr
