// za-rirevo-cli as a process: its output, exit codes and the settings it
// leaves, over worlds built in temporary folders.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/installations.h"
#include "tests/test_world.h"

namespace zr {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
};

class CliTest : public ::testing::Test {
 protected:
  // Runs the program in the host folder of `start` (Windows form) with the
  // world's drive map; arguments are single-quoted for the shell.
  CliRun Cli(const std::vector<std::string>& args, const std::string& start = "C:\\") {
    std::string command = "cd '" + world_.Host(start) + "' && ZARIREVO_TODAY=2024-03-07 " +
                          "ZARIREVO_DRIVES='" + world_.drive_map().DrivesVariable() + "' " +
                          "ZARIREVO_UNC='" + world_.drive_map().unc_root + "' " + ZARIREVO_CLI;
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>&1";
    CliRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  static bool Has(const CliRun& run, const std::string& text) {
    return run.out.find(text) != std::string::npos;
  }
  testing::TestWorld world_;
};

TEST_F(CliTest, ShowPrintsTheStateAndSavesTheSettings) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
  testing::InstallProduct(world_, "TRELUN0102", "C:\\TRELUN");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "show"});
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "SelectedSoftware=DAXOR2D\n"));
  EXPECT_TRUE(Has(run, "InstalledProducts=DAXOR2D,TRELUN\n"));
  EXPECT_TRUE(Has(run, "SystemFolder=c:\\kyconfig\\system\n"));
  EXPECT_TRUE(Has(run, "ArchiverPath=c:\\kyconfig\\system\\PKZIP25\n"));
  EXPECT_TRUE(Has(run, "Language=ITA\n"));
  EXPECT_TRUE(Has(run, "ZipMode=1\n"));
  EXPECT_TRUE(Has(run, "ServerFolder.DUNRA=\n"));
  EXPECT_TRUE(Has(run, "Menu211=&Macchina|1|1\n"));
  EXPECT_TRUE(Has(run, "Menu3324=Dunra: |0|0\n"));
  EXPECT_NE(world_.ReadFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI").find("SERVER_DUNRA="),
            std::string::npos);
}

TEST_F(CliTest, ProductSelectAndZipGoThroughTheHandlers) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\D");
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "--product", "PLOVIK", "--select",
                          "Menu211,Menu241", "--zip", "0", "show"});
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "SelectedSoftware=PLOVIK\n"));
  EXPECT_TRUE(Has(run, "Menu215=PLOVIK|1|0\n"));
  EXPECT_TRUE(Has(run, "Menu241=Punzoni|1|1\n"));
  EXPECT_TRUE(Has(run, "ZipMode=0\n"));

  const CliRun all = Cli(
      {"--cmdline", "/Fc:\\kyconfig\\system", "--product", "PLOVIK", "--select", "all", "show"});
  EXPECT_TRUE(Has(all, "Menu233=DataBase Utensili|1|1\n"));
  EXPECT_TRUE(Has(all, "Menu212=&PostProcessor|0|0\n"));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
  const std::string system = "/Fc:\\kyconfig\\system";
  EXPECT_EQ(Cli({"--zip", "5", "show"}).code, 2);
  EXPECT_EQ(Cli({"nothing"}).code, 2);
  EXPECT_EQ(Cli({}).code, 2);
  EXPECT_EQ(Cli({"--answer", "maybe", "show"}).code, 2);
  EXPECT_EQ(Cli({"--cmdline", system, "--product", "TRELUN", "show"}).code, 2);
  const CliRun disabled = Cli({"--cmdline", system, "--select", "Menu216", "show"});
  EXPECT_EQ(disabled.code, 2);
  EXPECT_TRUE(Has(disabled, "Menu216"));
  const CliRun help = Cli({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Has(help, "za-rirevo-cli [OPTIONS] COMMAND [ARGS]"));
  EXPECT_TRUE(Has(help, "--stop-after N"));
}

TEST_F(CliTest, YesToTheMissingKyGenQuestionEndsWithThree) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "--answer", "yes", "show"});
  EXPECT_EQ(run.code, 3) << run.out;
  EXPECT_TRUE(Has(run,
                  "[File not found]\nFile Ky-gen.cnf non trovato\n"
                  "Vuoi chiudere l'applicazione ?\n-> YES\n"));
  EXPECT_FALSE(Has(run, "SelectedSoftware="));
}

TEST_F(CliTest, UnansweredRepeatedBoxEndsWithFour) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "show"});
  EXPECT_EQ(run.code, 4) << run.out;
  std::size_t boxes = 0;
  for (std::size_t at = run.out.find("-> NO"); at != std::string::npos;
       at = run.out.find("-> NO", at + 1)) {
    ++boxes;
  }
  EXPECT_EQ(boxes, 6u);
}

TEST_F(CliTest, PickedFolderAnswersTheKyGenQuestion) {
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ENG");
  world_.MakeFolder("C:\\START");
  const CliRun run = Cli({"--pick", "C:\\ORVEL\\VER14", "show"}, "C:\\START");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "SelectedSoftware=DAXOR_OLD\n"));
  EXPECT_TRUE(Has(run, "ProductFolder=C:\\ORVEL\\VER14\n"));
  EXPECT_TRUE(Has(run, "Language=ENG\n"));
  EXPECT_TRUE(Has(run, "SystemFolder=C:\\START\n"));
}

}  // namespace
}  // namespace zr
