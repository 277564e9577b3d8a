// za-rirevo-cli as a process: its output, exit codes and the settings it
// leaves, over worlds built in temporary folders.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/startup.h"
#include "platform/profile.h"
#include "tests/installations.h"
#include "tests/run_program.h"
#include "tests/ui_test_world.h"
#include "ui/base_form.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace zr {
namespace {

struct CliRun {
  int code = -1;
  std::string out;
};

class CliTest : public ::testing::Test {
 protected:
  // Runs the program in the host folder of `start` (Windows form) with the
  // world's drive map.
  CliRun Cli(const std::vector<std::string>& args, const std::string& start = "C:\\",
            bool keep_errors = true) {
    std::vector<std::string> argv = {ZARIREVO_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    const testing::ProgramRun run =
        testing::RunProgram(argv,
                            {{"ZARIREVO_TODAY", "2024-03-07"},
                             {"ZARIREVO_DRIVES", world_.drive_map().DrivesVariable()},
                             {"ZARIREVO_UNC", world_.drive_map().unc_root}},
                            world_.Host(start), keep_errors);
    return {run.exit_code, run.out};
  }
  static bool Has(const CliRun& run, const std::string& text) {
    return run.out.find(text) != std::string::npos;
  }
  // Every one of `lines` (each ended with "\n" here) is in the output.
  static void ExpectLines(const CliRun& run, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) EXPECT_TRUE(Has(run, line + "\n")) << line << run.out;
  }
  testing::UiTestWorld world_;
};

TEST_F(CliTest, ShowPrintsTheStateAndSavesTheSettings) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
  testing::InstallProduct(world_, "TRELUN0102", "C:\\TRELUN");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "show"});
  EXPECT_EQ(run.code, 0) << run.out;
  ExpectLines(run, {"SelectedSoftware=DAXOR2D", "InstalledProducts=DAXOR2D,TRELUN",
                    "SystemFolder=c:\\kyconfig\\system",
                    "ArchiverPath=c:\\kyconfig\\system\\PKZIP25", "Language=ITA", "ZipMode=1",
                    "ServerFolder.DUNRA=", "Menu211=&Macchina|1|1", "Menu3324=Dunra: |0|0"});
  EXPECT_NE(world_.ReadFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI").find("SERVER_DUNRA="),
            std::string::npos);
  // With --json the same values are one JSON document, each Windows path
  // with its host path beside it.
  const CliRun json = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "--json", "show"});
  EXPECT_EQ(json.code, 0) << json.out;
  EXPECT_TRUE(std::regex_search(
      json.out, std::regex(R"(^\{"command":"show","exit_code":0,"started":"\d{4}-\d\d-\d\dT)"
                           R"(\d\d:\d\d:\d\dZ",)")))
      << json.out;
  EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << json.out;
  for (const std::string& part :
       {std::string("\"outcome\":\"completed\",\"reason\":null,"),
        std::string("\"SelectedSoftware\":\"DAXOR2D\""),
        "\"SystemFolder_host\":\"" + world_.HostShown("c:\\kyconfig\\system", true) + "\""}) {
    EXPECT_NE(json.out.find(part), std::string::npos) << part << json.out;
  }
}

TEST_F(CliTest, ProductSelectAndZipGoThroughTheHandlers) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\D");
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "--product", "PLOVIK", "--select",
                          "Menu211,Menu241", "--zip", "0", "show"});
  EXPECT_EQ(run.code, 0) << run.out;
  ExpectLines(
      run, {"SelectedSoftware=PLOVIK", "Menu215=PLOVIK|1|0", "Menu241=Punzoni|1|1", "ZipMode=0"});

  const CliRun all = Cli(
      {"--cmdline", "/Fc:\\kyconfig\\system", "--product", "PLOVIK", "--select", "all", "show"});
  ExpectLines(all, {"Menu233=DataBase Utensili|1|1", "Menu212=&PostProcessor|0|0"});
}

// Bad command lines exit with 2 and one Italian line that says why, and
// neither they nor any help name a control of the windows. With --json,
// anywhere on the line, standard output is one document with that reason.
TEST_F(CliTest, UsageErrorsExitWithTwoAndHelpSpeaksTheUsersWords) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "PLOVIK0102", "C:\\P");
  const std::string system = "/Fc:\\kyconfig\\system";
  const std::regex widget("Menu[0-9]|OK_B|NomeCliente|Software_B|EsciB|StopB");
  const struct {
    std::vector<std::string> args;
    const char* says;
  } bad[] = {
      {{"--zip", "5", "show"}, "--zip: 5 non \u00e8 un valore ammesso (0|1|2)"},
      {{"--stop-after", "x", "show"}, "--stop-after: x non \u00e8 un valore ammesso"},
      {{"nothing"}, "nothing non \u00e8 un comando; i comandi sono show, backup,"},
      {{}, "nessun comando indicato"},
      {{"--answer=maybe", "show"}, "--answer: maybe non \u00e8"},
      {{"show", "--bogus"}, "opzione sconosciuta: --bogus"},
      {{"--cmdline", system, "--product", "TRELUN", "show"}, "TRELUN non \u00e8 installato"},
      {{"--cmdline", system, "--select", "Menu216", "show"}, "Trasmissioni non \u00e8 disponibile"},
      {{"--cmdline", system, "backup", "--items", "trasmissioni", "X"}, "non \u00e8 disponibile"},
      {{"--cmdline", system, "backup", "--items", "Bogus", "X"}, "/Macchina, "},
      {{"--cmdline", system, "--items", "Macchina", "--select", "Menu211", "show"}, "uno solo"},
      {{"backup"}, "manca CUSTOMER"},
      {{"restore", "X.ZIP"}, "manca --to"},
      {{"diff", "A", "B"}, "ARCHIVE: troppi valori"},
      {{"list", "--customer"}, "--customer: manca il valore"},
      {{"backup", "--archive", "zip", "X"}, "--archive: zip non \u00e8 un valore ammesso"},
      {{"backup", "--to", "A:\\X Y", "X"}, "contiene uno spazio"},
      {{"config", "--server", "DUNRA=C:\\S"}, "PRODUCT uno tra DAXOR2D, TRELUN, PLOVIK"},
      {{"config", "--backup-folder", "C:\\A B"}, "contiene uno spazio"},
      {{"erase", "--yes", "now"}, "argomento non previsto: now"},
  };
  Cli({"--cmdline", system, "show"});  // the settings made once, with their notice
  bool first = true;
  for (const auto& c : bad) {
    SCOPED_TRACE(c.says);
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.code, 2) << run.out;
    // One line, the reason in the program's words.
    EXPECT_TRUE(run.out.starts_with(std::string("za-rirevo-cli: ")) && Has(run, c.says) &&
                run.out.find('\n') == run.out.size() - 1)
        << run.out;
    EXPECT_FALSE(std::regex_search(run.out, widget)) << run.out;
    std::vector<std::string> args = c.args;
    args.insert(first ? args.begin() : args.end(), "--json");
    first = !first;
    const CliRun json = Cli(args, "C:\\", false);
    EXPECT_EQ(json.code, 2);
    EXPECT_TRUE(json.out.starts_with("{\"command\":") &&
                Has(json, "\"exit_code\":2,\"started\":\"") &&
                Has(json, "\"outcome\":\"refused\",\"reason\":\"") && Has(json, c.says) &&
                json.out.find('\n') == json.out.size() - 1)
        << json.out;
  }
  // "PostProcessor" is in two menus; for PLOVIK only one of them is available.
  EXPECT_TRUE(Has(Cli({"--cmdline", system, "--items", "postprocessor", "show"}),
                  "Item.Eseguibili/PostProcessor=selected\n"));
  for (const char* command : {"", "show", "backup", "server-copy", "erase", "config"}) {
    const CliRun help = Cli(*command ? std::vector<std::string>{command, "--help"}
                                     : std::vector<std::string>{"--help"});
    EXPECT_EQ(help.code, 0) << command;
    EXPECT_TRUE(Has(help, "3  the program ended itself")) << command;
    EXPECT_FALSE(std::regex_search(help.out, widget)) << help.out;
  }
  EXPECT_TRUE(Has(Cli({"--version"}), "za-rirevo-cli 6.8.1\n"));
}

// config changes the settings through the Configurazione menu and saves
// them as ESCI does (the settings' round trip is tested with the settings).
TEST_F(CliTest, ConfigSavesWhatTheNextRunShows) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
  for (const char* folder : {"C:\\BK", "D:\\SRV\\T"}) world_.MakeFolder(folder);
  const std::string system = "/Fc:\\kyconfig\\system";
  EXPECT_EQ(Cli({"--cmdline", system, "config", "--backup-folder", "C:\\BK", "--server",
                 "trelun=D:\\SRV\\T", "--server", "DAXOR2D=D:\\SRV"})
                .code,
            0);
  const CliRun shown = Cli({"--cmdline", system, "config"});
  EXPECT_EQ(shown.code, 0) << shown.out;
  for (const char* line : {"BackupFolder=C:\\BK\\\n", "Server.DAXOR2D=D:\\SRV\\\n",
                           "Server.TRELUN=D:\\SRV\\T\\\n", "Server.PLOVIK=\n", "Archive=root\n"}) {
    EXPECT_TRUE(Has(shown, line)) << line << shown.out;
  }
  const CliRun json = Cli({"--cmdline", system, "--json", "config"});
  EXPECT_TRUE(Has(json, "\"outcome\":\"completed\",\"reason\":null,") &&
              Has(json, "\"BackupFolder_host\":\"" + world_.HostShown("C:\\BK\\", true) + "\""))
      << json.out;
}

// config says saved only when it is: a folder the settings refuse (each
// reason is tested with the settings), and a settings file that does not
// take the change (read-only, a full disk), exit 1 with the reason and
// leave the settings as they were. A drive that is not ready is
// accepted with a warning; a folder where the old temporary file went is
// no obstacle. backup --to and --server follow the same rules.
TEST_F(CliTest, ConfigSavesOnlyWhatItKeeps) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  testing::InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\VER14");
  testing::InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
  world_.MakeFolder("D:\\BK");
  const std::string system = "/Fc:\\kyconfig\\system";
  const std::string ini = "C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI";
  ASSERT_EQ(Cli({"--cmdline", system, "show"}).code, 0);
  const std::string saved = world_.ReadFile(ini);
  enum Fault { kNone, kReadOnly, kDiskFull };
  const struct {
    std::vector<std::string> args;
    const char* says;
    Fault fault;
  } refused[] = {
      {{"config", "--backup-folder", "/srv/floppy"}, "non è nella forma X:\\", kNone},
      {{"config", "--server", "TRELUN=D:\\BK\r\nZIPFILE=X"}, "--server TRELUN: la", kNone},
      {{"config", "--backup-folder", "D:\\BK"}, "protetto in scrittura", kReadOnly},
      {{"config", "--backup-folder", "D:\\BK"}, "il disco è pieno", kDiskFull},
      {{"backup", "--to", "/srv/floppy", "X"}, "--to: la cartella", kNone},
  };
  for (const auto& c : refused) {
    std::vector<std::string> args = {"--cmdline", system};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (c.fault == kReadOnly) {
      ASSERT_TRUE(world_.platform().SetAttributes(ini, kAttrReadOnly).ok());
    }
    CliRun run;
    if (c.fault == kDiskFull) {
#ifdef _WIN32
      continue;
#else
      // The file size limit, which the program inherits, stands for a full disk.
      struct rlimit unlimited;
      ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
      struct rlimit limit = unlimited;
      limit.rlim_cur = saved.size();
      auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
      run = Cli(args);
      setrlimit(RLIMIT_FSIZE, &unlimited);
      std::signal(SIGXFSZ, old_handler);
#endif
    } else {
      run = Cli(args);
    }
    ASSERT_TRUE(world_.platform().SetAttributes(ini, kAttrNormal).ok());
    EXPECT_EQ(run.code, 1) << run.out;
    EXPECT_TRUE(Has(run, c.says)) << c.says << run.out;
    EXPECT_EQ(world_.ReadFile(ini), saved) << c.says;
  }
  // With --json the refusal is the document's reason.
  const CliRun json =
      Cli({"--cmdline", system, "--json", "config", "--backup-folder", "C:\\NO"}, "C:\\", false);
  EXPECT_EQ(json.code, 1);
  EXPECT_TRUE(Has(json, "\"outcome\":\"failed\",\"reason\":\"--backup-folder: ") &&
              json.out.find('\n') == json.out.size() - 1)
      << json.out;
  world_.MakeFolder(ini + ".~zr");
  world_.RemoveDrive('A');
  const CliRun run = Cli({"--cmdline", system, "config", "--backup-folder", "A:\\CLIENTI"});
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_TRUE(Has(run, "--backup-folder: l'unità di \"A:\\CLIENTI\" non è pronta")) << run.out;
  EXPECT_TRUE(Has(Cli({"--cmdline", system, "config"}), "BackupFolder=A:\\CLIENTI\\\n"));
}

TEST_F(CliTest, YesToTheMissingKyGenQuestionEndsWithThree) {
  world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  const CliRun run = Cli({"--cmdline", "/Fc:\\kyconfig\\system", "--answer", "yes", "show"});
  EXPECT_EQ(run.code, 3) << run.out;
  EXPECT_TRUE(Has(run,
                  "[File not found]\nFile Ky-gen.cnf non trovato\n"
                  "Vuoi chiudere l'applicazione ?\n-> YES\n"));
  EXPECT_FALSE(Has(run, "SelectedSoftware="));
  EXPECT_TRUE(Has(run, "za-rirevo-cli: programma terminato: File Ky-gen.cnf non trovato"));
  EXPECT_EQ(GetIniString(world_.platform(), "PATH", "ZIPFILE", "<none>",
                         "C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI"),
            "<none>");  // ended without saving
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
  ExpectLines(run,
              {"SelectedSoftware=DAXOR_OLD", "ProductFolder=C:\\ORVEL\\VER14", "Language=ENG"});
  EXPECT_TRUE(Has(run, "SystemFolder=C:\\START\n")) << run.out;
}

}  // namespace
}  // namespace zr
