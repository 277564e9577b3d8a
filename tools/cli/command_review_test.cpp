// za-rirevo-cli verify, list, restore, diff and backup --dry-run as
// processes over a DAXOR2D installation in a temporary world, after a real
// backup made by the built archiver.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/installations.h"
#include "tests/run_program.h"
#include "tests/test_world.h"

namespace zr {
namespace {

constexpr const char* kArchive = "A:\\METAL_050603.ZIP";

class CliReviewTest : public ::testing::Test {
 protected:
  CliReviewTest() {
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
    testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
    testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
    for (const char* name : {"L3030", "L4040", "P2020"}) {
      world_.WriteFile(std::string("C:\\ORVEL\\VER14\\MAC\\") + name + ".MAC",
                       std::string("POST-PROCESSOR|PP|\r\n") + name);
    }
    world_.WriteFile("C:\\ORVEL\\VER14\\PP1.TXT", "post");
    world_.InstallArchiver("C:\\KYCONFIG\\SYSTEM\\PKZIP25.EXE");
  }

  // Runs the console; with `quiet`, standard error is left out of `out`.
  int Cli(std::vector<std::string> args, std::string* out = nullptr, bool quiet = false) {
    std::vector<std::string> argv = {
        ZARIREVO_CLI, "--color",        "never", "--cmdline", "/Fc:\\kyconfig\\system",
        "--select",   "Menu211,Menu212"};
    argv.insert(argv.end(), args.begin(), args.end());
    testing::ProgramRun run =
        testing::RunProgram(argv,
                            {{"ZARIREVO_TODAY", "2003-06-05"},
                             {"ZARIREVO_DRIVES", world_.drive_map().DrivesVariable()},
                             {"ZARIREVO_UNC", world_.root() + "/unc"}},
                            "", !quiet);
    if (out != nullptr) *out = std::move(run.out);
    return run.exit_code;
  }

  void Backup() {
    std::string out;
    ASSERT_EQ(Cli({"backup", "--archive", "root", "METAL"}, &out), 0) << out;
    ASSERT_NE(out.find("Archivio verificato: 4 file"), std::string::npos) << out;
  }

  // Every file of the drives with a hash of its bytes.
  std::map<std::string, std::size_t> Drives() const {
    std::map<std::string, std::size_t> files;
    for (const char* drive : {"A:\\", "C:\\", "D:\\"}) {
      for (const std::string& file : world_.Tree(drive)) {
        std::string path = drive + file;
        for (char& c : path) c = c == '/' ? '\\' : c;
        files[path] = std::hash<std::string>()(world_.ReadFile(path));
      }
    }
    return files;
  }

  static bool Has(const std::string& out, const std::string& part) {
    return out.find(part) != std::string::npos;
  }

  testing::TestWorld world_;
};

TEST_F(CliReviewTest, VerifyCatchesAFlippedByteAndNamesItsEntry) {
  std::string out;
  EXPECT_EQ(Cli({"verify"}, &out), 1) << "nothing verified: " << out;
  Backup();
  EXPECT_EQ(Cli({"verify"}, &out), 0) << out;
  EXPECT_TRUE(Has(out, std::string("OK    ") + kArchive + ": 4 files")) << out;
  ASSERT_TRUE(testing::FlipEntryByte(world_.Host(kArchive), "ORVEL/VER14/PP1.TXT"));
  EXPECT_EQ(Cli({"verify", "METAL_050603.ZIP"}, &out), 1) << out;
  // The reader's reason in the program's words, with its number.
  EXPECT_TRUE(Has(out, std::string(kArchive) +
                           ": ORVEL/VER14/PP1.TXT: damaged (errore di decompressione, errore zip 13)"))
      << out;
  EXPECT_EQ(Cli({"--json", "verify"}, &out, true), 1);
  EXPECT_TRUE(out.starts_with("{\"command\":\"verify\",\"exit_code\":1,\"started\":\"") &&
              out.ends_with("}\n") && out.find('\n') == out.size() - 1 &&
              Has(out, "\"outcome\":\"failed\",\"reason\":\"archivi non integri: A:\\\\METAL") &&
              Has(out, "\"archive_host\":\"" + world_.HostShown(kArchive, true) + "\"") &&
              Has(out, "{\"entry\":\"ORVEL/VER14/PP1.TXT\",\"problem\":\"damaged\""))
      << out;
  // With --json too, what is not whole is named on standard error.
  EXPECT_EQ(Cli({"--json", "verify", "NONE.ZIP"}, &out), 1) << out;
  EXPECT_TRUE(Has(out, "za-rirevo-cli: archivi non integri: A:\\NONE.ZIP\n") &&
              Has(out, "\"error\":\"archivio A:\\\\NONE.ZIP illeggibile (errore 53: file non trovato)\""))
      << out;
}

TEST_F(CliReviewTest, ListShowsTheUnitAndTheServerNewestFirst) {
  Backup();
  testing::WriteArchive(world_.Host("A:\\OLD\\OLD_311299.ZIP"), {{"X.TXT", "x"}});
  std::string out;
  ASSERT_EQ(Cli({"--json", "list"}, &out, true), 0);
  const std::size_t metal = out.find(
      "\"name\":\"METAL_050603.ZIP\",\"customer\":\"METAL\","
      "\"date\":\"2003-06-05\"");
  const std::size_t old = out.find(
      "\"name\":\"OLD_311299.ZIP\",\"customer\":\"OLD\","
      "\"date\":\"1999-12-31\",\"size\":");
  EXPECT_TRUE(out.starts_with("{\"command\":\"list\",\"exit_code\":0,\"started\":\"") &&
              Has(out, "\"outcome\":\"completed\",\"reason\":null,\"archives\":[{\"archive\":\"A:"
                       "\\\\METAL_050603.ZIP\",\"archive_host\":\"" +
                           world_.HostShown(kArchive, true) + "\"") &&
              metal != std::string::npos && old != std::string::npos && metal < old)
      << out;
  ASSERT_EQ(Cli({"list", "--customer", "old"}, &out), 0);
  EXPECT_TRUE(Has(out, "1999-12-31  A:\\OLD\\OLD_311299.ZIP  OLD") && !Has(out, "METAL_")) << out;

  world_.MakeFolder("D:\\SRV");
  ASSERT_EQ(Cli({"config", "--server", "DAXOR2D=D:\\SRV"}, &out), 0) << out;
  ASSERT_EQ(Cli({"--answer", "ok", "server-copy"}, &out), 0) << out;
  // A link back up is walked once.
  const bool linked = world_.MakeLink("D:\\SRV", "D:\\SRV\\PP\\BACK");
  ASSERT_EQ(Cli({"--json", "list", "--server"}, &out, true), 0);
  std::size_t filed = 0;
  for (std::size_t at = 0;
       (at = out.find("\"name\":\"METAL_050603.ZIP\"", at)) != std::string::npos; ++at) {
    ++filed;
  }
  EXPECT_EQ(filed, 3u) << "linked: " << linked << out;
  EXPECT_TRUE(Has(out, "\"archive\":\"D:\\\\SRV\\\\PP\\\\L3030\\\\METAL_050603.ZIP\"") &&
              Has(out, "\"product\":\"DAXOR2D\",\"post_processor\":\"PP\",\"machine\":\"L3030\""))
      << out;
}

TEST_F(CliReviewTest, RestoreGivesBackTheSameBytesOnlyBelowItsFolder) {
  Backup();
  std::string out;
  ASSERT_EQ(Cli({"restore", "METAL", "--to", "D:\\BACK\\HERE"}, &out), 0) << out;
  for (const char* file : {"ORVEL\\VER14\\PP1.TXT", "ORVEL\\VER14\\MAC\\L4040.MAC"}) {
    EXPECT_EQ(world_.ReadFile(std::string("D:\\BACK\\HERE\\") + file),
              world_.ReadFile(std::string("C:\\") + file));
  }
  ASSERT_EQ(Cli({"restore", kArchive, "--to", "D:\\ONE", "--only", "l4*.mac"}, &out), 0) << out;
  EXPECT_EQ(world_.Tree("D:\\ONE"), (std::vector<std::string>{"ORVEL/VER14/MAC/L4040.MAC"}));

  // Into (or above) the installation, the settings folder or the temporary
  // folder, or a drive root: refused.
  const auto before = Drives();
  for (const char* place : {"C:\\ORVEL\\VER14\\OLD", "c:\\kyconfig\\system", "C:\\ORVEL",
                            "C:\\ORVEL\\VER14\\~TMPZIP", "D:\\"}) {
    EXPECT_EQ(Cli({"restore", kArchive, "--to", place, "--json"}, &out), 1) << place;
    EXPECT_TRUE(Has(out, "za-rirevo-cli: ripristino in ") && Has(out, " rifiutato: ") &&
                Has(out, "{\"command\":\"restore\",\"exit_code\":1,\"started\":\"") &&
                Has(out, "\"outcome\":\"refused\",\"reason\":\"ripristino in ") &&
                Has(out, ",\"refused\":\"ripristino in "))
        << out;
  }
  EXPECT_EQ(Drives(), before);

  // Names that would leave the folder, links, and a way out through a link
  // already there are not restored; the rest is.
  world_.WriteFile("D:\\ELSEWHERE\\P.TXT", "keep");
  world_.MakeFolder("D:\\BAD\\IN\\TRAP");
  const bool linked =
      world_.MakeLink("D:\\ELSEWHERE", "D:\\BAD\\IN\\OUT") &&
      world_.MakeLink("D:\\ELSEWHERE\\P.TXT", "D:\\BAD\\IN\\TRAP\\T.TXT.~restoring");
  testing::WriteArchive(world_.Host("A:\\BAD.ZIP"), {{"../UP.TXT", "x"},
                                                     {"/ROOT.TXT", "x"},
                                                     {"C:/DRIVE.TXT", "x"},
                                                     {"A/../../UP2.TXT", "x"},
                                                     {"link:LINK", "/etc"},
                                                     {"OUT/SUB/X.TXT", "x"},
                                                     {"TRAP/T.TXT", "x"},
                                                     {"OK/FINE.TXT", "fine"}});
  EXPECT_EQ(Cli({"restore", "A:\\BAD.ZIP", "--to", "D:\\BAD\\IN"}, &out), 1);
  EXPECT_EQ(world_.Tree("D:\\BAD\\IN\\OK"), (std::vector<std::string>{"FINE.TXT"})) << out;
  EXPECT_EQ(world_.Tree("D:\\ELSEWHERE"), (std::vector<std::string>{"P.TXT"}));
  EXPECT_EQ(world_.ReadFile("D:\\ELSEWHERE\\P.TXT"), "keep");
  EXPECT_FALSE(world_.Exists("D:\\ELSEWHERE\\SUB"));
  EXPECT_FALSE(world_.Exists("D:\\BAD\\IN\\LINK") || world_.Exists("D:\\BAD\\UP2.TXT"));
  EXPECT_TRUE(
      Has(out, "SKIPPED  ../UP.TXT: \"..\" nel nome") && Has(out, "SKIPPED  /ROOT.TXT: nome assoluto") &&
      Has(out, "SKIPPED  C:/DRIVE.TXT: unità") && Has(out, "SKIPPED  LINK: è un collegamento") &&
      Has(out, linked ? "za-rirevo-cli: 7 voci non ripristinate" : "za-rirevo-cli: 5 voci") &&
      (!linked || (Has(out, "SKIPPED  OUT/SUB/X.TXT") && Has(out, "SKIPPED  TRAP/T.TXT"))) &&
      Has(out, linked ? "7 not" : "5 not"))
      << out;
}

TEST_F(CliReviewTest, DiffNamesChangedGoneAndNewFiles) {
  Backup();
  std::string out;
  EXPECT_EQ(Cli({"diff", kArchive}, &out), 0) << out;
  EXPECT_TRUE(Has(out, "4 files compared, 0 differences")) << out;
  world_.WriteFile("C:\\ORVEL\\VER14\\MAC\\L3030.MAC", "POST-PROCESSOR|PP|\r\nL3031");
  std::filesystem::remove(world_.Host("C:\\ORVEL\\VER14\\MAC\\P2020.MAC"));
  world_.WriteFile("C:\\ORVEL\\VER14\\MAC\\L5050.MAC", "POST-PROCESSOR|PP|\r\n");
  EXPECT_EQ(Cli({"diff", kArchive}, &out), 1) << out;
  EXPECT_TRUE(Has(out, "changed C:\\ORVEL\\VER14\\MAC\\L3030.MAC  (stessa dimensione, contenuto "
                       "diverso)") &&
              Has(out, "gone    C:\\ORVEL\\VER14\\MAC\\P2020.MAC") &&
              Has(out, "new     C:\\ORVEL\\VER14\\MAC\\L5050.MAC"))
      << out;
  EXPECT_EQ(Cli({"--json", "diff", "A:\\NONE.ZIP"}, &out), 2) << out;
  EXPECT_TRUE(Has(out, "za-rirevo-cli: archivio A:\\NONE.ZIP illeggibile (errore 53") &&
              Has(out, "{\"command\":\"diff\",\"exit_code\":2,\"started\":\"") &&
              Has(out, "\"outcome\":\"failed\",\"reason\":\"archivio A:\\\\NONE.ZIP"))
      << out;
}

// Every start of the program writes its settings and the empty key that
// reading an INI leaves; after those, a dry run changes nothing.
TEST_F(CliReviewTest, ADryRunLeavesEveryDriveUntouched) {
  std::string out;
  ASSERT_EQ(Cli({"show"}, &out), 0) << out;
  const auto before = Drives();
  EXPECT_EQ(Cli({"backup", "--dry-run", "METAL"}, &out), 0) << out;
  EXPECT_EQ(Drives(), before);
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
  EXPECT_TRUE(Has(out, "copy    C:\\ORVEL\\VER14\\MAC\\L3030.MAC") && Has(out, "fits: ")) << out;
  ASSERT_EQ(Cli({"--json", "backup", "--dry-run", "METAL"}, &out, true), 0);
  EXPECT_TRUE(out.starts_with("{\"command\":\"backup --dry-run\",\"exit_code\":0,\"started\":\"") &&
              Has(out, "\"customer_folder\":\"A:\\\\METAL\\\\\",\"customer_folder_host\":\"") &&
              Has(out, "\"fits\":true"))
      << out;
  EXPECT_EQ(Drives(), before);
}

}  // namespace
}  // namespace zr
