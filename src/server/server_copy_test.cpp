#include "server/server_copy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "backup/backup_job.h"
#include "server/server_test_support.h"

namespace zr {
namespace {

using testing::ServerWorld;

bool IsZip(const std::string& bytes) { return bytes.rfind("PK\x03\x04", 0) == 0; }

std::vector<std::string> Alarms(ServerWorld& world) {
  std::vector<std::string> alarms;
  for (const auto& line : world.ui().lines()) {
    if (line.background == kBackgroundAlarm) alarms.push_back(line.text);
  }
  return alarms;
}

// A file on the unit under a host name Windows could not hold.
void WriteHostFile(ServerWorld& world, const std::string& host_name, const std::string& bytes) {
  std::ofstream(world.root() + "/a/" + host_name, std::ios::binary) << bytes;
}

// Runs the copy (over `over`, else the world's program) and checks its result
// and the end of every run: closing box, temporary folder, STOP state.
void Copy(ServerWorld& world, bool ok, const std::string& closing = "Copia Eseguita",
          Session* over = nullptr) {
  Session& program = over ? *over : world.program();
  EXPECT_EQ(CopyConfigurationsToServer(program), ok);
  ASSERT_FALSE(world.ui().boxes().empty());
  const MessageBoxRequest& box = world.ui().boxes().back().request;
  EXPECT_EQ(box.text, closing);
  EXPECT_EQ(box.title, "");
  EXPECT_EQ(box.buttons, Buttons::kOk);
  EXPECT_TRUE(box.no_icon);
  EXPECT_FALSE(world.Exists("C:\\ORVEL\\VER14\\~TMPCOPYZIP"));
  EXPECT_FALSE(program.run.active());
}

TEST(CopyConfigurationsToServerTest, TwoMachinesNamingOnePostProcessorGiveTwoCopies) {
  ServerWorld world;
  world.DaxorArchive("METAL_2-0_050603.ZIP", {{"M1.MAC", "PPNAME.EXE"}, {"M2.MAC", "PPNAME.EXE"}});

  Copy(world, true);
  EXPECT_EQ(
      world.LineTexts(),
      (std::vector<std::string>{"Copia delle configurazioni sul server.", "Da A:\\",
                                "a D:\\SERVER\\DAXOR\\, D:\\SERVER\\PLOVIK\\, D:\\SERVER\\TRELUN\\",
                                "\\PPNAME\\M1.MAC\\METAL_2-0_050603.ZIP",
                                "\\PPNAME\\M2.MAC\\METAL_2-0_050603.ZIP"}));
  EXPECT_EQ(world.ui().lines()[3].color, world.program().ColorBlue);
  EXPECT_EQ(world.ui().beeps(), 0);

  EXPECT_EQ(world.Tree("D:\\SERVER"),
            (std::vector<std::string>{"DAXOR/PPNAME/M1/METAL_2-0_050603.ZIP",
                                      "DAXOR/PPNAME/M2/METAL_2-0_050603.ZIP"}));
  const std::string filed = world.ReadFile("D:\\SERVER\\DAXOR\\PPNAME\\M1\\METAL_2-0_050603.ZIP");
  // Re-packed with the paths below the extraction folder, not inside itself.
  EXPECT_NE(filed.find("ORVEL/VER14/MAC/M1.MAC"), std::string::npos);
  EXPECT_EQ(filed.find("EXTRACT_"), std::string::npos);
  EXPECT_EQ(filed.find("METAL_2-0_050603.ZIP"), std::string::npos);
  EXPECT_EQ(world.ui().boxes().size(), 1u);
}

// Where an archive is filed: below the root of its product (an unknown one
// as DAXOR, an empty root below C:\, a share as a drive), in the folders of
// post-processor and machine; names from the archive never climb above the
// root, and names of dots or nothing are a level of their own.
TEST(CopyConfigurationsToServerTest, WhereEachArchiveIsFiled) {
  const auto mac = testing::MachineFile;
  const std::pair<std::string, std::string> daxor = {"KyConfig/DAXOR1401/D.INI", "[S]\r\n"};
  struct Case {
    testing::ZipEntries entries;
    std::string daxor_root, tree_root;
    std::vector<std::string> filed;
  };
  // clang-format off
  const Case cases[] = {
      {{{"KyConfig/PLOVIK0102/PLOVIK.INI", "[PATH]\r\n"}, {"PLOVIK/MACCHINE/P1.MAC", mac("OTHER")}},
       "D:\\SERVER\\DAXOR\\", "D:\\SERVER", {"PLOVIK/DERUveda/P1/X.ZIP"}},
      {{{"KyConfig/ZAZOZODEDU01/Z.INI", "[S]\r\n"}, {"MAC/M1.MAC", mac("PPNAME.EXE")}}, "",
       "C:\\PPNAME", {"M1/X.ZIP"}},
      {{daxor, {"MAC/M1.MAC", "MACCHINA|L3030|\r\n"}}, "D:\\SERVER\\DAXOR\\", "D:\\SERVER",
       {"DAXOR/Parametro inesistente/M1/X.ZIP"}},
      {{daxor, {"MAC/M1.MAC", mac("PPNAME.EXE")}}, "\\\\SRV\\CAM\\DAXOR\\", "\\\\SRV\\CAM\\DAXOR",
       {"PPNAME/M1/X.ZIP"}},
      {{daxor, {"MAC/M1.MAC", mac("..\\..\\..\\EVIL")}, {"MAC/M2.MAC", mac("C:\\WINDOWS\\PP")}},
       "D:\\SERVER\\DAXOR\\", "D:\\",
       {"SERVER/DAXOR/.._.._/M1/X.ZIP", "SERVER/DAXOR/C__WINDOWS_PP/M2/X.ZIP"}},
      {{daxor, {"MAC/M1.MAC", mac("..")}, {"MAC/M2.MAC", mac("")}, {"MAC/M3.MAC", mac(". .")},
        {"MAC/...MAC", mac("PP")}}, "D:\\SERVER\\DAXOR\\", "D:\\",
       {"SERVER/DAXOR/PP/_/X.ZIP", "SERVER/DAXOR/_/M1/X.ZIP", "SERVER/DAXOR/_/M2/X.ZIP",
        "SERVER/DAXOR/_/M3/X.ZIP"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries[1].second);
    ServerWorld world;
    if (c.daxor_root.starts_with("\\\\")) world.MakeFolder(c.daxor_root);
    world.program().ProductTable[ProductRow("DAXOR2D")].ServerFolder = c.daxor_root;
    testing::WriteStoredZip(world, "A:\\X.ZIP", c.entries);
    Copy(world, true);
    EXPECT_EQ(world.Tree(c.tree_root), c.filed);
    for (const std::string& file : c.filed) {
      EXPECT_TRUE(IsZip(world.ReadFile(c.tree_root + "\\" + file))) << file;
    }
    EXPECT_TRUE(world.Tree("C:\\WINDOWS").empty());
  }
}

TEST(CopyConfigurationsToServerTest, DotsInTheNameAndRunsAgainTakeTheNextFreeName) {
  ServerWorld world;
  world.DaxorArchive("METAL.V2.ZIP", {{"M1.MAC", "PP.EXE"}});

  Copy(world, true);
  EXPECT_EQ(world.Tree("D:\\SERVER"), std::vector<std::string>{"DAXOR/PP/M1/METAL-V2.ZIP"});
  EXPECT_EQ(world.ui().beeps(), 0);

  Copy(world, true);
  Copy(world, true);
  EXPECT_EQ(world.Tree("D:\\SERVER"),
            (std::vector<std::string>{"DAXOR/PP/M1/METAL-V2.ZIP", "DAXOR/PP/M1/METAL-V2_1.ZIP",
                                      "DAXOR/PP/M1/METAL-V2_2.ZIP"}));
  EXPECT_EQ(Alarms(world),
            (std::vector<std::string>{"\\PP\\M1.MAC\\METAL-V2_1", "\\PP\\M1.MAC\\METAL-V2_2"}));
  EXPECT_EQ(world.ui().beeps(), 2);
}

// An archive not unpacked whole is never filed in part: an alarm line says
// so and the closing box counts it. A name with a blank is unpacked as any.
TEST(CopyConfigurationsToServerTest, ArchiveNotUnpackedWholeIsReportedAndNotFiled) {
  ServerWorld world;
  world.WriteFile("A:\\BROKEN.ZIP", "PK\x03\x04 truncated");
  testing::WriteStoredZip(world, "A:\\DAMAGED.ZIP",
                          {{"KyConfig/DAXOR1401/D.INI", "[S]\r\n"},
                           {"MAC/M1.MAC", testing::MachineFile("PP.EXE")},
                           {"MAC/M2.MAC", testing::MachineFile("PP.EXE")}});
  // M1.MAC no longer matches its CRC.
  ASSERT_TRUE(testing::FlipEntryByte(world.Host("A:\\DAMAGED.ZIP"), "MAC/M1.MAC"));
  world.DaxorArchive("CUST ONE.ZIP", {{"M1.MAC", "PP.EXE"}});
  world.DaxorArchive("GOOD.ZIP", {{"M1.MAC", "PP.EXE"}});

  Copy(world, false, "Copia terminata con errori: 2 archivi non copiati.");
  EXPECT_EQ(world.Tree("D:\\SERVER"),
            (std::vector<std::string>{"DAXOR/PP/M1/CUST ONE.ZIP", "DAXOR/PP/M1/GOOD.ZIP"}));
  EXPECT_EQ(Alarms(world),
            (std::vector<std::string>{
                "Archivio A:\\BROKEN.ZIP non integro (non è un archivio zip, errore zip 19): non "
                "copiato sul server.",
                "Archivio A:\\DAMAGED.ZIP non integro (MAC/M1.MAC è danneggiato (CRC errato, errore "
                "zip 7)): non copiato sul server."}));
}

// The archiver is found as the backup finds it (one the settings name, with
// no DAXOR tools folder: tools/cli/command_server_test.cpp); a named
// archiver that is not there makes nothing, which is reported.
TEST(CopyConfigurationsToServerTest, ANamedArchiverThatIsNotThereIsReported) {
  ServerWorld world;
  world.program().ArchiverPath = "C:\\KYCONFIG\\SYSTEM\\PKZIP25";  // not there
  world.DaxorArchive("GOOD.ZIP", {{"M1.MAC", "PP.EXE"}});
  Copy(world, false, "Copia terminata con errori: 1 archivio non copiato.");
  EXPECT_TRUE(world.Tree("D:\\SERVER").empty());
  EXPECT_EQ(Alarms(world),
            std::vector<std::string>{"Archivio GOOD.ZIP non ricompresso: non copiato sul server."});
}

// Names on the unit that would name another place or split the command line
// are reported and skipped: nothing lands outside the server roots.
TEST(CopyConfigurationsToServerTest, HostileNamesOnTheUnitAreReportedAndSkipped) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows host cannot hold these names";
#endif
  ServerWorld world;
  world.WriteFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", "[PATH]\r\n");
  const std::vector<std::string> settings_before = world.Tree("C:\\KYCONFIG");
  const testing::ZipEntries payload = {{"ZA-RIREVO.INI", "[PATH]\r\nZIPFILE=C:\\EVIL\r\n"},
                                       {"KyConfig/DAXOR1401/D.INI", "[S]\r\n"},
                                       {"MAC/M1.MAC", testing::MachineFile("PP.EXE")}};
  testing::WriteStoredZip(world, "A:\\KYCONFIG\\SYSTEM.zip", payload);
  WriteHostFile(world, "..\\..\\..\\..\\..\\KYCONFIG\\SYSTEM.zip", "");
  testing::WriteStoredZip(world, "A:\\p.zip", payload);
  WriteHostFile(world, "p.zip\tD:\"q.ZIP", "");

  Copy(world, false, "Copia terminata con errori: 2 archivi non copiati.");
  EXPECT_EQ(world.Tree("C:\\KYCONFIG"), settings_before);
  EXPECT_EQ(world.ReadFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI"), "[PATH]\r\n");
  EXPECT_EQ(world.Tree("D:\\"), std::vector<std::string>{"SERVER/DAXOR/PP/M1/p.ZIP"});
  EXPECT_EQ(Alarms(world),
            (std::vector<std::string>{
                "Nome non valido, archivio ignorato: A:\\..\\..\\..\\..\\..\\KYCONFIG\\SYSTEM.zip",
                "Nome non valido, archivio ignorato: A:\\p.zip?D:\"q.ZIP"}));
}

// A server level that is a link to another place is not filed into.
TEST(CopyConfigurationsToServerTest, ServerFolderLinkedOutsideTheRootIsRefused) {
  ServerWorld world;
  world.MakeFolder("D:\\ELSEWHERE");
  if (!world.MakeLink("D:\\ELSEWHERE", "D:\\SERVER\\DAXOR\\PP"))
    GTEST_SKIP() << "no symbolic links on this host";
  world.DaxorArchive("GOOD.ZIP", {{"M1.MAC", "PP.EXE"}});

  Copy(world, false, "Copia terminata con errori: 1 copia non riuscita.");
  EXPECT_TRUE(world.Tree("D:\\ELSEWHERE").empty());
  const std::vector<std::string> alarms = Alarms(world);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_NE(alarms[0].find("PP\\M1\\"), std::string::npos) << alarms[0];
}

TEST(CopyConfigurationsToServerTest, TemporaryFolderThatCannotBeMadeIsNamedInTheClosing) {
  ServerWorld world;
  world.DaxorArchive("GOOD.ZIP", {{"M1.MAC", "PP.EXE"}});
  testing::FaultyProgram faulty(world);
  faulty.platform.Fail(testing::Call::kCreateFolder, kErrPermissionDenied, "~TMPCOPYZIP");

  Copy(world, false,
       "Copia non eseguita: cartella temporanea C:\\ORVEL\\VER14\\~TMPCOPYZIP\\ non creata "
       "(errore 70).",
       &faulty.program);
  EXPECT_TRUE(world.Tree("D:\\SERVER").empty());
}

// A unit (here a bare drive, taken as its root) without archives: a box
// says so and nothing is filed.
TEST(CopyConfigurationsToServerTest, NoArchiveOnTheUnit) {
  ServerWorld world;
  world.WriteFile("A:\\NOTES.TXT", "x");
  world.program().BackupPath = "A:";

  Copy(world, false, "Copia Bloccata dall'utente");
  EXPECT_EQ(world.program().BackupPath, "A:\\");
  ASSERT_EQ(world.ui().boxes().size(), 2u);
  const MessageBoxRequest& box = world.ui().boxes()[0].request;
  EXPECT_EQ(box.title + "|" + box.text,
            "File Error|Attenzione nell'Unit\xC3\xA0 A:\\\r"
            "non ci sono Configurazioni Cam corrette.");
  EXPECT_TRUE(box.buttons == Buttons::kOk && box.no_icon);
  EXPECT_TRUE(world.Tree("D:\\").empty());
  // Nobody stopped it: the report says why nothing was filed.
  EXPECT_EQ(world.program().run.report().outcome, RunOutcome::kRefused);
  EXPECT_FALSE(world.program().run.cancelled());
}

TEST(CopyConfigurationsToServerTest, StopWhileTheFirstMachinesAreListed) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PPNAME.EXE"}});
  world.DaxorArchive("BETA.ZIP", {{"M2.MAC", "PPNAME.EXE"}});
  testing::FaultyProgram faulty(world);
  bool armed = false;
  faulty.platform.Before(testing::Call::kList, "*.MAC", [&](auto&) {
    if (!armed) world.ui().OnNthInput(1, [&] { faulty.program.run.Cancel(CancelCause::kUser); });
    armed = true;
  });
  int repacks = 0;
  faulty.platform.Before(testing::Call::kRun, " -add ", [&](auto&) { ++repacks; });

  Copy(world, false, "Copia Bloccata dall'utente", &faulty.program);
  EXPECT_EQ(repacks, 1);
  EXPECT_TRUE(world.Exists("D:\\SERVER\\DAXOR\\PPNAME\\M1"));
  EXPECT_TRUE(world.Tree("D:\\SERVER").empty());
  EXPECT_EQ(world.LineTexts().back(), "\\PPNAME\\M1.MAC\\ALFA.ZIP");
}

TEST(CopyConfigurationsToServerTest, StopWhileTheUnitIsUnpackedEndsTheCopy) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PPNAME.EXE"}});
  world.ui().OnNthInput(1, [&] { world.program().run.Cancel(CancelCause::kUser); });

  Copy(world, false, "Copia Bloccata dall'utente");
  EXPECT_TRUE(world.Tree("D:\\").empty());
}

// STOP while an archive is re-packed ends the archiver and the copy: the
// archive is stopped, not failed.
TEST(CopyConfigurationsToServerTest, StopWhileAnArchiveIsRepackedEndsTheCopy) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PPNAME.EXE"}});
  testing::FaultyProgram faulty(world);
  faulty.platform.Before(testing::Call::kRun, " -add ",
                         [&](auto&) { StopBackup(faulty.program); });

  Copy(world, false, "Copia Bloccata dall'utente", &faulty.program);
  EXPECT_TRUE(world.Tree("D:\\").empty());
  EXPECT_EQ(faulty.program.run.report().NotHandled(), 0);
  EXPECT_EQ(faulty.program.run.report().outcome, RunOutcome::kCancelled);
}

// A failed copy is reported and the run goes on; a server root that cannot
// be reached counts every copy.
TEST(CopyConfigurationsToServerTest, FailedCopiesAreReportedAndCounted) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PPNAME.EXE"}, {"M2.MAC", "PPNAME.EXE"}});
  testing::FaultyProgram faulty(world);
  faulty.platform.Fail(testing::Call::kCopyFile, kErrDiskFull, "\\M1\\");

  Copy(world, false, "Copia terminata con errori: 1 copia non riuscita.", &faulty.program);
  EXPECT_EQ(world.Tree("D:\\SERVER"), std::vector<std::string>{"DAXOR/PPNAME/M2/ALFA.ZIP"});
  const std::vector<std::string> alarms = Alarms(world);
  ASSERT_EQ(alarms.size(), 1u);
  EXPECT_NE(alarms[0].find("D:\\SERVER\\DAXOR\\PPNAME\\M1\\ALFA.ZIP"), std::string::npos);
  EXPECT_NE(alarms[0].find("errore 61"), std::string::npos);

  world.program().ProductTable[ProductRow("DAXOR2D")].ServerFolder = "\\\\NOSRV\\NOSHARE\\DAXOR\\";
  Copy(world, false, "Copia terminata con errori: 2 copie non riuscite.");
}

// An archive whose re-packed copy is not whole is not filed; a filed copy
// that is not byte for byte the re-packed archive counts as a failed copy.
TEST(CopyConfigurationsToServerTest, WhatIsFiledIsReadBackFirst) {
  ServerWorld world;
  world.DaxorArchive("ALFA.ZIP", {{"M1.MAC", "PPNAME.EXE"}});
  world.DaxorArchive("BETA.ZIP", {{"M2.MAC", "PPNAME.EXE"}});
  testing::FaultyProgram faulty(world);
  faulty.platform.After(testing::Call::kRun, "-add", [&](const std::string& line) {
    if (line.find("BETA") == std::string::npos) return;
    EXPECT_TRUE(
        testing::FlipEntryByte(world.Host("C:\\ORVEL\\VER14\\~TMPCOPYZIP\\EXTRACT_BETA\\BETA.ZIP"),
                               "ORVEL/VER14/MAC/M2.MAC"));
  });
  faulty.platform.After(testing::Call::kCopyFile, "", [&](const std::string&) {
    std::ofstream(world.Host("D:\\SERVER\\DAXOR\\PPNAME\\M1\\ALFA.ZIP"), std::ios::app) << "x";
  });
  Copy(world, false, "Copia terminata con errori: 1 copia non riuscita, 1 archivio non copiato.",
       &faulty.program);
  const std::vector<std::string> alarms = Alarms(world);
  ASSERT_EQ(alarms.size(), 2u);
  EXPECT_NE(alarms[0].find("D:\\SERVER\\DAXOR\\PPNAME\\M1\\ALFA.ZIP (errore 57"), std::string::npos)
      << alarms[0];
  EXPECT_EQ(alarms[1], "Archivio BETA.ZIP ricompresso danneggiato: non copiato sul server.");
}

}  // namespace
}  // namespace zr
