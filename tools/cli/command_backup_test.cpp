// za-rirevo-cli backup CUSTOMER as a process: its exit code follows what the
// job really did, over a DAXOR2D installation built in a temporary world.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/installations.h"
#include "tests/run_program.h"
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
    std::vector<std::string> argv = {ZARIREVO_CLI, "--color", "never", "--cmdline",
                                     "/Fc:\\kyconfig\\system"};
    if (!select_.empty()) argv.insert(argv.end(), {"--select", select_});
    argv.insert(argv.end(), args.begin(), args.end());
    testing::ProgramRun run =
        testing::RunProgram(argv, {{"ZARIREVO_TODAY", "2003-06-05"},
                                   {"ZARIREVO_DRIVES", world_.drive_map().DrivesVariable()}});
    if (out != nullptr) *out = std::move(run.out);
    return run.exit_code;
  }

  // The figure `key` of a --json summary, as its text.
  static std::string Figure(const std::string& out, const std::string& key) {
    const std::size_t at = out.find("\"" + key + "\":");
    if (at == std::string::npos) return "missing";
    const std::size_t start = at + key.size() + 3;
    return out.substr(start, out.find_first_of(",}", start) - start);
  }

  testing::TestWorld world_;
  std::string select_ = "Menu211,Menu212";  // the file items checked ("": none given)
};

// The items by their menu names, the archive in the customer folder, a
// destination for this run only; --json tells what was done.
TEST_F(CliBackupTest, TheUsersWordsAndTheJsonFigures) {
  InstallArchiver();
  world_.MakeFolder("C:\\BK");
  select_.clear();
  std::string out;
  ASSERT_EQ(Cli({"--json", "backup", "--items", "macchina, File_Configurazioni/POSTPROCESSOR",
                 "--archive", "folder", "--to", "C:\\BK", "METAL"},
                &out),
            0)
      << out;
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
  const std::string archive = "C:\\BK\\METAL\\METAL_050603.ZIP";
  ASSERT_TRUE(world_.Exists(archive));
  EXPECT_NE(world_.ReadFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI").find("BACKUPCLIENTE=A:\\\r\n"),
            std::string::npos);
  const std::size_t copied = world_.Tree("C:\\BK\\METAL").size() - 1;  // less the archive
  EXPECT_EQ(Figure(out, "files_copied"), std::to_string(copied)) << out;
  EXPECT_EQ(Figure(out, "files_failed"), "0");
  EXPECT_EQ(Figure(out, "archive"), "\"C:\\\\BK\\\\METAL\\\\METAL_050603.ZIP\"");
  EXPECT_EQ(Figure(out, "archive_bytes"), std::to_string(world_.ReadFile(archive).size()));
  EXPECT_EQ(out.find("Files copied:"), std::string::npos) << "--json replaces the summary";
  EXPECT_EQ(out.find("\x1b[K"), std::string::npos) << "no progress line off a terminal";

  // The same items by their old names: the same files, into the saved destination.
  select_ = "Menu211,Menu212";
  ASSERT_EQ(Cli({"backup", "--archive", "none", "METAL"}, &out), 0) << out;
  EXPECT_EQ(world_.Tree("A:\\METAL").size(), copied);
  EXPECT_NE(out.find("Files copied: " + std::to_string(copied)), std::string::npos) << out;
  EXPECT_NE(out.find("Archive: none"), std::string::npos) << out;
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
}

// On a terminal (a tmux pane) the progress line is drawn on standard error
// and its last state stays above the summary.
TEST_F(CliBackupTest, OnATerminalTheProgressLineIsFollowedByTheSummary) {
#ifdef _WIN32
  GTEST_SKIP() << "a terminal of a POSIX host (tmux)";
#endif
  if (std::system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
  InstallArchiver();
  const std::string script = world_.root() + "/run.sh";
  const std::string socket = world_.root() + "/tmux.socket";
  {
    std::ofstream run(script);
    run << "ZARIREVO_TODAY=2003-06-05 ZARIREVO_DRIVES='" << world_.drive_map().DrivesVariable()
        << "' " << ZARIREVO_CLI
        << " --color never --cmdline '/Fc:\\kyconfig\\system' --items all backup METAL\n"
        << "echo END-OF-RUN $?\nsleep 60\n";
  }
  const std::string tmux = "tmux -S '" + socket + "' ";
  ASSERT_EQ(std::system((tmux + "new-session -d -x 180 -y 60 sh '" + script + "'").c_str()), 0);
  std::string pane;
  for (int tries = 0; tries < 200 && pane.find("END-OF-RUN") == std::string::npos; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pane = testing::RunProgram({"tmux", "-S", socket, "capture-pane", "-p", "-J", "-S", "-"}).out;
  }
  EXPECT_EQ(std::system((tmux + "kill-server").c_str()), 0);
  EXPECT_NE(pane.find("END-OF-RUN 0"), std::string::npos) << pane;
  std::smatch progress;
  ASSERT_TRUE(
      std::regex_search(pane, progress, std::regex("\n(\\d+)/\\1 files, [0-9.]+ [KM]?B, 0:0\\d\n")))
      << pane;
  const std::size_t summary = pane.find("Files copied: ");
  EXPECT_NE(summary, std::string::npos) << pane;
  EXPECT_GT(summary, static_cast<std::size_t>(progress.position(0))) << pane;
  EXPECT_NE(pane.find("Archive: A:\\METAL_050603.ZIP ("), std::string::npos) << pane;
}

// An accented name comes in whole (on Windows through wide arguments) and
// goes out in UTF-8.
TEST_F(CliBackupTest, ACompleteBackupExitsWithZero) {
  InstallArchiver();
  std::string out;
  EXPECT_EQ(Cli({"--json", "--quiet", "backup", "CAFF\xC3\x88"}, &out), 0) << out;
  // Standard output is one JSON document (the lines went nowhere with --quiet),
  // after the line on standard error that names the settings file made.
  ASSERT_TRUE(out.starts_with("za-rirevo-cli: nessuna impostazione in c:\\kyconfig\\system")) << out;
  out.erase(0, out.find('\n') + 1);
  EXPECT_TRUE(out.starts_with("{\"command\":\"backup\",\"exit_code\":0,\"started\":\""));
  EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
  EXPECT_NE(out.find("\"archive_host\":\"" + world_.HostShown("A:\\CAFF\xC3\x88_050603.ZIP", true)),
            std::string::npos)
      << out;
  EXPECT_EQ(Figure(out, "archive"), "\"A:\\\\CAFF\xC3\x88_050603.ZIP\"") << out;
  EXPECT_TRUE(world_.Exists("A:\\CAFF\xC3\x88_050603.ZIP"));
  EXPECT_TRUE(world_.Exists("A:\\CAFF\xC3\x88\\PP1.TXT"));
}

// Without an archive the files meant for the archive alone are copied like
// the others, so the backup is whole, and no archive is claimed.
TEST_F(CliBackupTest, NoArchiveCopiesTheArchiveOnlyFilesAndClaimsNoArchive) {
  InstallArchiver();
  world_.WriteFile("C:\\ORVEL\\VER14\\PP.EXE", "post-processor");
  select_.clear();
  std::string with_archive, without;
  world_.MakeFolder("C:\\BK");
  ASSERT_EQ(Cli({"--json", "--quiet", "backup", "--items", "all", "--to", "C:\\BK", "METAL"},
                &with_archive),
            0)
      << with_archive;
  ASSERT_EQ(Cli({"--json", "--quiet", "--zip", "2", "backup", "--items", "all", "METAL"}, &without),
            0)
      << without;
  const int listed = std::stoi(Figure(with_archive, "files_archive_only"));
  ASSERT_GT(listed, 0) << with_archive;
  EXPECT_EQ(Figure(without, "files_archive_only"), "0") << without;
  EXPECT_EQ(std::stoi(Figure(without, "files_copied")),
            std::stoi(Figure(with_archive, "files_copied")) + listed);
  // Under its path below the drive root, as the archive would hold it.
  EXPECT_EQ(world_.ReadFile("A:\\METAL\\ORVEL\\VER14\\PP.EXE"), "post-processor");
  EXPECT_EQ(Figure(without, "archive"), "null");
  EXPECT_EQ(without.find("Zip eseguito"), std::string::npos);
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
}

// Ctrl-C, SIGTERM or SIGHUP while the archiver runs: the archiver is ended,
// its partial output, the customer folder and ~TMPZIP go, the summary is
// printed, and the exit code says how the backup was stopped.
TEST_F(CliBackupTest, ASignalDuringTheArchiveStopsTheBackupAndCleansUp) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX signals";
#endif
  for (const auto& [signal, code] : {std::pair{"INT", 130}, {"TERM", 143}, {"HUP", 130}}) {
    SCOPED_TRACE(signal);
    world_.WriteFile("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE",
                     "#!/bin/sh\necho partial > '" + world_.Host("A:\\") +
                         "/METAL_050603.ZIP.x1y2z3'\nkill -" + signal + " $PPID\nexec sleep 20\n");
    std::filesystem::permissions(world_.Host("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE"),
                                 std::filesystem::perms::owner_all);
    std::string out;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Cli({"backup", "METAL"}, &out), code) << out;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(world_.Tree("A:\\").empty()) << out;
    EXPECT_FALSE(world_.Exists("C:\\ORVEL\\VER14\\~TMPZIP"));
    EXPECT_NE(out.find("Outcome: cancelled"), std::string::npos) << out;
    EXPECT_EQ(out.find("Zip eseguito"), std::string::npos) << out;
  }
}

// A reader that went away (za-rirevo-cli backup ... | head) stops the backup
// as STOP does, instead of the process dying half-way.
TEST_F(CliBackupTest, AClosedOutputStopsTheBackupAndCleansUp) {
#ifdef _WIN32
  GTEST_SKIP() << "a POSIX pipe";
#endif
  InstallArchiver();
  const std::string script = std::string("'") + ZARIREVO_CLI +
                             "' --color never --cmdline '/Fc:\\kyconfig\\system' --select "
                             "Menu211,Menu212 backup METAL | true; echo rc=${PIPESTATUS[0]}";
  const testing::ProgramRun run = testing::RunProgram(
      {"bash", "-c", script},
      {{"ZARIREVO_TODAY", "2003-06-05"}, {"ZARIREVO_DRIVES", world_.drive_map().DrivesVariable()}});
  EXPECT_NE(run.out.find("rc=130"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("za-rirevo-cli: operazione interrotta"), std::string::npos) << run.out;
  EXPECT_TRUE(world_.Tree("A:\\").empty());
}

// What a killed run left in the product folder (~TMPZIP with an old list)
// neither blocks the next backup nor slips into its archive, and goes.
TEST_F(CliBackupTest, ATemporaryFolderLeftByAKilledRunIsTakenOverAndRemoved) {
  InstallArchiver();
  world_.WriteFile("C:\\OTHER\\STALE.BIN", "old");
  world_.WriteFile("C:\\ORVEL\\VER14\\~TMPZIP\\ZIPLISTTMP.TXT", "C:\\OTHER\\STALE.BIN\r\n");
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 0) << out;
  EXPECT_FALSE(world_.Exists("C:\\ORVEL\\VER14\\~TMPZIP"));
  for (const std::string& entry : testing::ArchiveEntries(world_.Host("A:\\METAL_050603.ZIP"))) {
    EXPECT_EQ(entry.find("STALE"), std::string::npos) << entry;
  }
}

TEST_F(CliBackupTest, AMissingArchiverExitsWithOne) {
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 1) << out;
  EXPECT_NE(out.find("Copia eseguita"), std::string::npos);
  EXPECT_EQ(out.find("Zip eseguito"), std::string::npos);
}

TEST_F(CliBackupTest, StopExitsWith130AndLeavesNothing) {
  InstallArchiver();
  std::string out;
  EXPECT_EQ(Cli({"--stop-after", "1", "backup", "METAL"}, &out), 130) << out;
  EXPECT_NE(out.find("! Copia fermata dall'utente"), std::string::npos);
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
}

TEST_F(CliBackupTest, ARefusedOrExistingNameExitsWithOne) {
  InstallArchiver();
  std::string why;
  EXPECT_EQ(Cli({"backup", "A/B"}, &why), 1);
  EXPECT_NE(why.find("za-rirevo-cli: Nome cliente non valido: il nome contiene il carattere /"),
            std::string::npos)
      << why;
#ifndef _WIN32  // a Windows command line is UTF-16: such bytes never reach the program there
  EXPECT_EQ(Cli({"backup", "A\xFF"}, &why), 1);
  EXPECT_NE(why.find("non è un testo valido"), std::string::npos) << why;
#endif
  EXPECT_EQ(Cli({"backup", ""}), 1);
  EXPECT_EQ(Cli({"--json", "-q", "backup", "Con.txt"}, &why), 1);
  EXPECT_NE(why.find("\"outcome\":\"refused\",\"reason\":\"Nome cliente non valido: il nome è "
                     "riservato"),
            std::string::npos)
      << why;
  world_.MakeFolder("A:\\METAL");
  std::string out;
  EXPECT_EQ(Cli({"backup", "METAL"}, &out), 1);
  EXPECT_NE(out.find("[Folder Error]"), std::string::npos) << out;
  EXPECT_FALSE(world_.Exists("C:\\ORVEL\\VER14\\~TMPZIP"));  // nothing of ours stays
}

// A file the copy leaves out (here a machine-file reference that would lead
// into the installation; the skipping is the collector's) makes the copy
// incomplete: the console exits with 1 and counts it.
TEST_F(CliBackupTest, AFileLeftOutExitsWithOne) {
  world_.WriteLines("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", {"[PATH]", "BACKUPCLIENTE=C:\\BK\\"});
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P", {"[PATH]", "MAC=D:\\BEND\\MAC"});
  world_.WriteLines("D:\\BEND\\MAC\\M1.MAC",
                    {"[REFERENCES]", "FILENAME=D:\\NEW\\..\\..\\..\\Plovik\\DATA\\INT\\B1.INT"});
  world_.WriteFile("D:\\Plovik\\DATA\\INT\\B1.INT", "from D:");
  world_.MakeFolder("C:\\BK");
  select_ = "Menu213";
  std::string out;
  EXPECT_EQ(Cli({"--product", "PLOVIK", "--zip", "2", "--json", "backup", "METAL"}, &out), 1)
      << out;
  EXPECT_EQ(Figure(out, "files_failed"), "1") << out;
  EXPECT_EQ(Figure(out, "exit_code"), "1");
}

}  // namespace
}  // namespace zr
