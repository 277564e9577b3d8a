#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/server_copy.h"
#include "server/server_test_support.h"

namespace zr {
namespace {

using testing::ServerWorld;

void FillUnit(ServerWorld& world, const std::string& folder) {
  world.WriteFile(folder + "ALFA_050603.ZIP", "PK");
  world.WriteFile(folder + "BETA_050603.ZIP", "PK");
  world.WriteFile(folder + "ALFA\\MAC\\M1.MAC", "x");
  world.WriteFile(folder + "ALFA\\SOLA.LETTURA", "x");
  std::filesystem::permissions(world.Host(folder + "ALFA\\SOLA.LETTURA"),
                               std::filesystem::perms::owner_read);
}

TEST(FormattaFloppyClickTest, FloppyRootIsEmptiedAndStays) {
  ServerWorld world;
  FillUnit(world, "A:\\");
  const std::vector<std::string> before = world.Tree("A:\\");
  world.ui().QueueAnswer(Answer::kNo);  // No changes nothing
  EXPECT_FALSE(EraseFloppy(world.program(), world.program().BackupPath));
  EXPECT_EQ(world.Tree("A:\\"), before);
  EXPECT_TRUE(world.ui().lines().empty());
  EXPECT_EQ(world.ui().boxes().size(), 1u);

  world.ui().QueueAnswer(Answer::kYes);
  EXPECT_TRUE(EraseFloppy(world.program(), world.program().BackupPath));
  EXPECT_TRUE(std::filesystem::is_empty(world.Host("A:\\")));  // no file, no folder
  ASSERT_EQ(world.ui().boxes().size(), 3u);
  const MessageBoxRequest& question = world.ui().boxes()[1].request;
  const MessageBoxRequest& closing = world.ui().boxes()[2].request;
  EXPECT_EQ(question.title + "|" + question.text + "|" + closing.title + "|" + closing.text,
            "Question|Siete sicuri di voler cancellare il floppy A:\\ ?|Fine Esecuzione|"
            "Cancellazione Eseguita");
  EXPECT_EQ(question.buttons, Buttons::kYesNo);
  EXPECT_TRUE(question.default_no);  // Enter does not erase
  EXPECT_TRUE(question.no_icon && closing.no_icon);
  EXPECT_EQ(world.LineTexts(), (std::vector<std::string>{"Cancellazione del floppy A:\\ in corso.",
                                                         "Attendere prego......."}));
  EXPECT_EQ(world.ui().lines()[0].color, world.program().ColorBlack);
  // The unit now empty: the same lines and closing box again.
  world.ui().QueueAnswer(Answer::kYes);
  EXPECT_TRUE(EraseFloppy(world.program(), world.program().BackupPath));
  EXPECT_EQ(world.LineTexts().size(), 4u);
  EXPECT_EQ(world.ui().boxes().back().request.text, "Cancellazione Eseguita");
}

// A backup folder goes with its content (a path without drive is on C:); a
// share root is emptied and stays, as a drive root does. The path is kept.
TEST(FormattaFloppyClickTest, BackupFolderIsRemovedAndAShareRootEmptied) {
  struct Row {
    const char* path;
    const char* filled;
    bool stays;
  };
  for (const Row& row :
       {Row{"C:\\BACKUP\\", "C:\\BACKUP\\", false}, Row{"\\DATI\\", "C:\\DATI\\", false},
        Row{"\\\\SRV\\BK\\", "\\\\SRV\\BK\\", true}}) {
    SCOPED_TRACE(row.path);
    ServerWorld world;
    FillUnit(world, row.filled);
    world.WriteFile("C:\\BACKUPS.TXT", "stays");
    world.program().BackupPath = row.path;
    world.ui().QueueAnswer(Answer::kYes);
    EXPECT_TRUE(EraseFloppy(world.program(), world.program().BackupPath));
    EXPECT_EQ(world.Exists(row.filled), row.stays);
    EXPECT_TRUE(!row.stays || world.Tree(row.filled).empty());
    EXPECT_TRUE(world.Exists("C:\\BACKUPS.TXT"));
    EXPECT_EQ(world.program().BackupPath, row.path);
  }
}

TEST(FormattaFloppyClickTest, UnreadableUnitAsksAndCancelEndsTheProgram) {
  ServerWorld world;
  world.RemoveDrive('A');
  world.ui().QueueAnswer(Answer::kYes);
  EXPECT_THROW(EraseFloppy(world.program(), world.program().BackupPath), ProgramEnded);
}

TEST(FormattaFloppyClickTest, DeletionErrorIsShownAndTheClosingBoxSaysSo) {
  ServerWorld world;
  FillUnit(world, "A:\\");
  testing::FaultyProgram faulty(world);
  faulty.platform.Fail(testing::Call::kDeleteFile, kErrPermissionDenied, "BETA");
  world.ui().QueueAnswer(Answer::kYes);

  EXPECT_FALSE(EraseFloppy(faulty.program, faulty.program.BackupPath));
  EXPECT_TRUE(world.Exists("A:\\BETA_050603.ZIP"));
  const auto& boxes = world.ui().boxes();
  ASSERT_GE(boxes.size(), 3u);
  EXPECT_TRUE(std::any_of(boxes.begin() + 1, boxes.end() - 1, [](const auto& box) {
    return box.request.text.find("A:\\BETA_050603.ZIP") != std::string::npos;
  }));
  EXPECT_EQ(boxes.back().request.text, "Cancellazione non completata");
  EXPECT_EQ(boxes.back().request.title, "Fine Esecuzione");
}

// The unit holds a link to a host folder and a file whose host name would
// lead through it: the link goes as a link, the name is reported and left.
TEST(FormattaFloppyClickTest, NamesAndLinksOnTheUnitNeverReachOtherFolders) {
  ServerWorld world;
  world.WriteFile("C:\\VICTIM\\victim.txt", "keep");
  world.WriteFile("A:\\ALFA.ZIP", "PK");
  if (!world.MakeLink("C:\\VICTIM", "A:\\zz")) GTEST_SKIP() << "no symbolic links on this host";
  std::ofstream(world.root() + "/a/a\\..\\zz\\victim.txt") << "bait";
  world.ui().QueueAnswer(Answer::kYes);

  EXPECT_FALSE(EraseFloppy(world.program(), world.program().BackupPath));
  EXPECT_EQ(world.ReadFile("C:\\VICTIM\\victim.txt"), "keep");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(world.Host("A:\\zz"))));
  EXPECT_FALSE(world.Exists("A:\\ALFA.ZIP"));
  EXPECT_EQ(world.LineTexts().back(), "Nome non valido, non cancellato: A:\\a\\..\\zz\\victim.txt");
  EXPECT_EQ(world.ui().boxes().back().request.text, "Cancellazione non completata");
}

// Folders whose names Windows cannot open as listed are reported and left;
// the erase ends, not completed.
TEST(FormattaFloppyClickTest, FoldersThatCannotBeOpenedAreLeftAndTheEraseEnds) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows host cannot hold these names";
#endif
  ServerWorld world;
  for (const char* name : {"DOT.", "BLANK ", "BACK\\SLASH"}) {
    std::filesystem::create_directories(world.root() + "/a/" + name + "/SUB");
    std::ofstream(world.root() + "/a/" + name + "/SUB/F.TXT") << "x";
  }
  world.WriteFile("A:\\ALFA.ZIP", "PK");
  testing::FaultyProgram faulty(world);
  faulty.platform.Watchdog(testing::Call::kList, 500);
  world.ui().QueueAnswer(Answer::kYes);

  bool erased = true;
  EXPECT_NO_THROW(erased = EraseFloppy(faulty.program, faulty.program.BackupPath));
  EXPECT_FALSE(erased);
  EXPECT_LT(faulty.platform.calls(testing::Call::kList), 50);
  EXPECT_FALSE(world.Exists("A:\\ALFA.ZIP"));
  EXPECT_EQ(world.LineTexts().size(), 5u);
  EXPECT_EQ(world.ui().boxes().back().request.text, "Cancellazione non completata");
}

// What the erase cannot or may not remove is never taken as removed: a
// folder it cannot list, one beyond its depth limit, hidden or system files
// and folders in the root as below it (kept on purpose, each named). Each is
// in the report with its reason.
TEST(FormattaFloppyClickTest, WhatStaysIsReportedWithItsReason) {
  struct Row {
    const char* what;
    const char* kept_line;  // "" when none
    const char* closing;
    const char* record;  // outcome and reason of each record not done
  };
  const Row rows[] = {
      {"unlistable", "", "Cancellazione non completata", "2 cartella non leggibile (errore 70)"},
      {"deep", "", "Cancellazione non completata", "2 cartella troppo profonda"},
      {"hidden",
       "3 file nascosti o di sistema lasciati: A:\\HID\\, A:\\IO.SYS, A:\\SUB\\BOOT.SYS",
       "Cancellazione Eseguita",
       "4 cartella nascosta o di sistema;4 file nascosto o di sistema;4 file nascosto o di sistema;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ServerWorld world;
    world.WriteFile("A:\\ALFA.ZIP", "PK");
    testing::FaultyProgram faulty(world);
    std::string folder = "A:\\SUB\\";
    if (std::string(row.what) == "unlistable") {
      world.WriteFile(folder + "F.TXT", "x");
      faulty.platform.Fail(testing::Call::kList, kErrPermissionDenied, folder);
    } else if (std::string(row.what) == "deep") {
      for (int level = 0; level < 66; ++level) folder += "D\\";
      world.WriteFile(folder + "F.TXT", "x");
    } else {
      world.WriteFile(folder + "BOOT.SYS", "x");
      world.WriteFile(folder + "GO.TXT", "x");
      world.WriteFile("A:\\IO.SYS", "x");
      world.WriteFile("A:\\HID\\DATA.TXT", "x");
      Platform& platform = world.program().platform;
      ASSERT_TRUE(platform.SetAttributes(folder + "BOOT.SYS", kAttrHidden).ok());
      ASSERT_TRUE(platform.SetAttributes("A:\\IO.SYS", kAttrSystem).ok());
      ASSERT_TRUE(platform.SetAttributes("A:\\HID", kAttrHidden).ok());
    }
    world.ui().QueueAnswer(Answer::kYes);
    EraseFloppy(faulty.program, faulty.program.BackupPath);
    EXPECT_FALSE(world.Exists("A:\\ALFA.ZIP"));
    EXPECT_EQ(world.ui().boxes().back().request.text, row.closing);
    const OperationReport& report = faulty.program.run.report();
    const bool has_kept_line = *row.kept_line != '\0';
    std::string records;
    for (const FileRecord& file : report.files) {
      if (file.outcome != FileOutcome::kDone) {
        records += std::to_string(static_cast<int>(file.outcome)) + " " + file.reason +
                   (has_kept_line ? ";" : "");
      }
    }
    EXPECT_EQ(records, row.record);
    if (has_kept_line) {
      EXPECT_FALSE(world.Exists(folder + "GO.TXT"));
      EXPECT_TRUE(world.Exists(folder + "BOOT.SYS") && world.Exists("A:\\IO.SYS") &&
                  world.Exists("A:\\HID\\DATA.TXT"));
      EXPECT_NE(SummaryText(report).find("Files kept (hidden or system): 3\n"), std::string::npos);
    }
    EXPECT_EQ(world.LineTexts().back() == row.kept_line, has_kept_line) << world.LineTexts().back();
  }
}

class ErasureRefusalTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ErasureRefusalTest, ProtectedFolderOrAParentOfOneIsRefused) {
  ServerWorld world;
  world.program().CnfFolder = "C:\\ORVEL\\VER14";
  world.WriteFile("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI", "[PATH]\r\n");
  world.WriteFile("C:\\ORVEL\\VER14\\KY-GEN.CNF", "x");
  world.WriteFile("C:\\ORVEL\\VER14\\MAC\\M1.MAC", "x");
  world.WriteLines("C:\\KYCONFIG\\DAXOR1401\\DAXOR1401.ini",
                   {"[SETTINGS]", "Installdir=C:\\ORVEL\\VER14\\"});
  // Another product, not the selected one, and a server root on a share.
  world.WriteLines("C:\\KYCONFIG\\TRELUN01\\TRELUN01.ini",
                   {"[SETTINGS]", "Installdir=C:\\TRELUN\\"});
  world.WriteFile("C:\\TRELUN\\DATI\\T.DAT", "x");
  world.MakeFolder("\\\\SRV\\SHARE\\TRELUN");
  world.program().ProductTable[ProductRow("TRELUN")].ServerFolder = "\\\\SRV\\SHARE\\TRELUN\\";
  // Links on the unit to protected folders.
  if (!world.MakeLink("C:\\KYCONFIG", "A:\\LINK") || !world.MakeLink("C:\\", "A:\\TOP")) {
    if (std::string_view(GetParam()).starts_with("A:"))
      GTEST_SKIP() << "no symbolic links on this host";
  }
  const std::vector<std::string> before = world.Tree("C:\\");
  world.program().BackupPath = GetParam();
  world.ui().QueueAnswer(Answer::kYes);

  EXPECT_FALSE(EraseFloppy(world.program(), world.program().BackupPath));
  EXPECT_EQ(world.Tree("C:\\"), before);
  EXPECT_TRUE(world.ui().lines().empty());
  ASSERT_EQ(world.ui().boxes().size(), 2u);
  const MessageBoxRequest& box = world.ui().boxes()[1].request;
  EXPECT_EQ(box.title, "Cancellazione Rifiutata");
  EXPECT_EQ(
      box.text.rfind(std::string("Il percorso ") + GetParam() + " non viene cancellato:\r", 0), 0u)
      << box.text;
  // The direct call refuses as well.
  EXPECT_FALSE(EraseBackupUnit(world.program(), GetParam()));
  EXPECT_EQ(world.Tree("C:\\"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Refused, ErasureRefusalTest,
    ::testing::Values("C:\\", "C:", "", "c:\\kyconfig\\", "C:\\KYCONFIG", "\\KYCONFIG\\",
                      "KYCONFIG\\", "C:\\KYCONFIG\\SYSTEM\\", "C:\\ORVEL\\", "C:\\ORVEL\\VER14\\",
                      "c:\\windows\\", "C:\\TEMP\\..\\", "C:\\KYCONFIG\\SYSTEM\\..\\",
                      "C:/KyConfig/", "C:\\KYCONFIG.\\", "C:KYCONFIG",
                      "C:\\KYCONFIG\\SYSTEM\\VECCHI\\", "C:\\KYCONFIG\\DAXOR1401\\",
                      "C:\\ORVEL\\VER14\\MAC\\", "C:\\TRELUN\\", "C:\\TRELUN\\DATI\\",
                      "\\\\SRV\\SHARE\\", "\\\\SRV\\SHARE\\TRELUN\\OLD\\", "D:\\",
                      "D:\\SERVER\\DAXOR\\PP\\", "A:\\LINK\\", "A:\\LINK\\X\\", "A:\\TOP\\"));

TEST(ErasureRefusalTest, UnrelatedFoldersMayBeErased) {
  ServerWorld world;
  Session& program = world.program();
  for (const char* folder :
       {"A:\\", "A:", "D:\\BACKUP\\", "C:\\BACKUP\\", "C:\\KYCONFIG2\\", "C:\\ORVEL\\VER1\\",
        "C:\\WINDOWS\\TEMP\\", "\\\\SRV\\CAM\\BACKUP\\", "D:\\SERVER\\DAXOR2\\"}) {
    EXPECT_EQ(ErasureRefusal(program, folder), "") << folder;
  }
}

// The product folder is compared by the platform's one case rule, also for
// letters beyond ASCII.
TEST(ErasureRefusalTest, AccentedLettersMatchWithoutRegardToCase) {
  ServerWorld world;
  world.program().ProductFolder = "C:\\ORVEL\\VERÀ14";
  world.MakeFolder("C:\\ORVEL\\VERÀ14");
  EXPECT_NE(ErasureRefusal(world.program(), "C:\\ORVEL\\VERà14\\"), "");
  EXPECT_NE(ErasureRefusal(world.program(), "C:\\ORVEL\\VERà14\\MAC\\"), "");
}

TEST(ErasureRefusalTest, SaysWhichFolderWouldBeLost) {
  ServerWorld world;
  const std::string text = ErasureRefusal(world.program(), "C:\\");
  EXPECT_NE(text.find("contiene"), std::string::npos);
  EXPECT_EQ(ErasureRefusal(world.program(), "C:\\WINDOWS\\"),
            "Il percorso C:\\WINDOWS\\ non viene cancellato:\r\xC3\xA8 la cartella di Windows "
            "C:\\WINDOWS.");
  // The settings folder counts wherever it is, not only under c:\kyconfig.
  world.program().SystemFolder = "D:\\SYS";
  world.MakeFolder("D:\\SYS");
  EXPECT_NE(ErasureRefusal(world.program(), "D:\\SYS\\"), "");
}

}  // namespace
}  // namespace zr
