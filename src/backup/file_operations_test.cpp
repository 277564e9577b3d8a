#include "backup/file_operations.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "backup/collector_test_support.h"

namespace zr {
namespace {

using testing::ArchiveList;
using testing::BoxTexts;
using testing::LineTexts;
using testing::Words;
using Strings = std::vector<std::string>;

Strings Paths(const FileListing& listing) {
  Strings paths;
  for (const auto& entry : listing) paths.push_back(entry.folder + entry.name);
  return paths;
}

class FileOperationsTest : public testing::ProductFixture {
 protected:
  FileOperationsTest() : ProductFixture("C:\\PROD", "A:\\CUST") {}
};

TEST(PathTextTest, PathBelowRootStripExtensionAndParentFolder) {
  EXPECT_EQ(PathBelowRoot("C:\\PROG\\DAT", true), "PROG\\DAT\\");
  EXPECT_EQ(PathBelowRoot("\\\\SRV\\DATA\\", false), "SRV\\DATA");
  EXPECT_EQ(PathBelowRoot("C:\\WINDOWS", true), "WINDOWS\\");
  EXPECT_EQ(PathBelowRoot("X:", false), "");
  EXPECT_EQ(PathBelowRoot("X:", true), "\\");
  EXPECT_EQ(PathBelowRoot("REL\\DIR", true), "REL\\DIR\\");
  // StripExtension cuts at the last dot; ParentFolder with and without "\".
  EXPECT_EQ(StripExtension("TOOLS.MDB"), "TOOLS");
  EXPECT_EQ(StripExtension("TOOLS"), "TOOLS");
  EXPECT_EQ(StripExtension("D:\\UT.V2\\TOOLS"), "D:\\UT");
  EXPECT_EQ(ParentFolder("C:\\DB\\T.MDB", true), "C:\\DB\\");
  EXPECT_EQ(ParentFolder("C:\\DB\\T.MDB", false), "C:\\DB");
  EXPECT_EQ(ParentFolder("T.MDB", true), "");
}

constexpr PathCheck kAsk = PathCheck::kAsk;
constexpr PathCheck kQuiet = PathCheck::kQuiet;

// Roots, empty folders, files and drive-less forms exist; a missing path is
// no error (no question), and a drive that is not ready is quiet in kQuiet.
TEST_F(FileOperationsTest, MakePathExistenceAndCreation) {
  world_.MakeFolder("C:\\DATI");
  world_.MakeFolder("C:\\EMPTY");
  world_.WriteFile("C:\\F.TXT", "x");
  world_.RemoveDrive('A');
  world_.RestoreDrive('A');
  for (const char* given : {"\\DATI\\", "DATI\\", ":\\DATI\\", "A:\\", "C:\\EMPTY\\", "C:\\F.TXT"})
    EXPECT_TRUE(MakePath(program_, given, kQuiet, false)) << given;
  EXPECT_FALSE(MakePath(program_, "C:\\NOPE\\DEEP\\", kAsk, false));
  world_.RemoveDrive('A');
  EXPECT_FALSE(MakePath(program_, "A:\\", kQuiet, false));
  EXPECT_FALSE(MakePath(program_, "A:\\X\\", kQuiet, true));
  EXPECT_TRUE((ui_.boxes()).empty());
  // With creation the missing levels are made, not on a missing server.
  world_.MakeFolder("C:\\A");
  EXPECT_TRUE(MakePath(program_, "C:\\A\\B\\C\\", kQuiet, true));
  EXPECT_TRUE(std::filesystem::is_directory(world_.Host("C:\\A\\B\\C")));
  EXPECT_TRUE(MakePath(program_, "C:\\A\\X\\Y", kQuiet, true));
  EXPECT_TRUE(std::filesystem::is_directory(world_.Host("C:\\A\\X\\Y")));
  EXPECT_FALSE(MakePath(program_, "\\\\SRV\\NEW\\DIR\\", kQuiet, true));
  EXPECT_FALSE(world_.Exists("\\\\SRV\\NEW"));
}

TEST_F(FileOperationsTest, MakePathAskAsksUntilTheDiskIsBack) {
  world_.RemoveDrive('A');
  ui_.on_box = [&](const MessageBoxRequest&, Answer) { world_.RestoreDrive('A'); };
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_TRUE(MakePath(program_, "A:\\", kAsk, false));
  ASSERT_EQ(ui_.boxes().size(), 1u);
  const MessageBoxRequest& box = ui_.boxes()[0].request;
  EXPECT_EQ(box.buttons, Buttons::kOkCancel);
  EXPECT_EQ(box.text,
            "A:\\\r\rnon è accessibile \r"
            "Premere OK se sistemato ,altrimenti CANCEL per uscire\r");
  world_.RemoveDrive('A');
  ui_.QueueAnswer(Answer::kCancel);
  ui_.on_box = nullptr;
  EXPECT_THROW(MakePath(program_, "A:\\", kAsk, false), ProgramEnded);
  // A retry counts as missing below the root.
  ui_.on_box = [&](const MessageBoxRequest&, Answer) {
    world_.RestoreDrive('A');
    world_.MakeFolder("A:\\X");
  };
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_FALSE(MakePath(program_, "A:\\X\\", kAsk, false));
  // With creation the levels are then tested one by one.
  world_.RemoveDrive('A');
  ui_.QueueAnswer(Answer::kOk);
  EXPECT_TRUE(MakePath(program_, "A:\\Y\\Z\\", kAsk, true));
  EXPECT_TRUE(std::filesystem::is_directory(world_.Host("A:\\Y\\Z")));
}

TEST_F(FileOperationsTest, ListFilesOfOneFolder) {
  testing::WriteFiles(world_, "C:\\ONE\\B.MAC C:\\ONE\\A.TXT");
  world_.MakeFolder("C:\\ONE\\SUB.MAC");
  EXPECT_EQ(Paths(ListFiles(program_, "C:\\ONE", "", false)),
            Words("C:\\ONE\\A.TXT C:\\ONE\\B.MAC"));
  EXPECT_EQ(Paths(ListFiles(program_, "C:\\ONE\\", "MAC", false)), Strings{"C:\\ONE\\B.MAC"});
  EXPECT_EQ(ui_.input_count(), 3);
}

TEST_F(FileOperationsTest, ListFilesRecursesBreadthOfEachFolderFirst) {
  testing::WriteFiles(world_, "C:\\T\\R.ZIP C:\\T\\A\\A1\\X.ZIP C:\\T\\A\\Y.ZIP C:\\T\\B\\Z.ZIP");
  std::vector<std::string> folders;
  EXPECT_TRUE(ListSubfolders(program_, "C:\\T\\", folders, Depth::kAll));
  EXPECT_EQ(folders, (Strings{"C:\\T\\A", "C:\\T\\B", "C:\\T\\A\\A1"}));
  EXPECT_EQ(Paths(ListFiles(program_, "C:\\T\\", "ZIP", true)),
            Words("C:\\T\\R.ZIP C:\\T\\A\\Y.ZIP C:\\T\\B\\Z.ZIP C:\\T\\A\\A1\\X.ZIP"));
  std::vector<std::string> none;
  EXPECT_FALSE(ListSubfolders(program_, "C:\\T\\B\\", none, Depth::kAll));
}

// Read-only files and subfolders go; a link goes as a link, never followed.
TEST_F(FileOperationsTest, DeleteFolderTreeRemovesReadOnlyFilesSubfoldersAndLinks) {
  testing::WriteFiles(world_, "C:\\DEL\\F.TXT C:\\DEL\\SUB\\DEEP\\G.TXT C:\\KEEP\\PRECIOUS.DAT");
  ASSERT_TRUE(program_.platform.SetAttributes("C:\\DEL\\SUB\\DEEP\\G.TXT", kAttrReadOnly).ok());
  if (!world_.MakeLink("C:\\KEEP", "C:\\DEL\\LINK"))
    GTEST_SKIP() << "no symbolic links on this host";
  DeleteFolderTree(program_, "C:\\DEL");
  EXPECT_FALSE(world_.Exists("C:\\DEL"));
  EXPECT_TRUE(world_.Exists("C:\\KEEP\\PRECIOUS.DAT"));
  EXPECT_TRUE((ui_.boxes()).empty());
}

TEST_F(FileOperationsTest, DeleteFolderTreeEmptiesADriveRootAndSkipsWhatItCannotRemove) {
  testing::WriteFiles(world_, "A:\\OLD.ZIP A:\\CUST\\F.MAC");
  DeleteFolderTree(program_, "A:\\");
  EXPECT_TRUE((world_.Tree("A:\\")).empty());
  EXPECT_FALSE(world_.Exists("A:\\CUST"));
  EXPECT_TRUE(std::filesystem::is_directory(world_.Host("A:\\")));
  // A folder it cannot remove is skipped, the rest goes.
  testing::WriteFiles(world_, "C:\\DEL\\A\\SECRET.SYS C:\\DEL\\B\\F.TXT C:\\DEL\\Z.TXT");
  ASSERT_TRUE(program_.platform.SetAttributes("C:\\DEL\\A\\SECRET.SYS", kAttrHidden).ok());
  // ... and one the host cannot name (a path too long) as well.
  testing::WriteFiles(world_, "C:\\DEL\\LONG\\F.TXT");
  faulty_.Fail(testing::Call::kRemoveFolder, kErrPathFileAccess, "LONG");
  faulty_.Fail(testing::Call::kGetAttributes, kErrPathFileAccess, "LONG");
  faulty_.Watchdog(testing::Call::kList, 50);
  DeleteFolderTree(program_, "C:\\DEL\\");  // ends although A and LONG stay
  EXPECT_TRUE(world_.Exists("C:\\DEL\\A\\SECRET.SYS"));
  EXPECT_FALSE(world_.Exists("C:\\DEL\\B"));
  EXPECT_FALSE(world_.Exists("C:\\DEL\\Z.TXT"));
}

TEST_F(FileOperationsTest, DeleteFolderTreeReportsAFileItCannotDeleteAndStops) {
  testing::WriteFiles(world_, "C:\\DEL\\A.TXT C:\\DEL\\LOCKED.TXT C:\\DEL\\Z.TXT");
  faulty_.Fail(testing::Call::kDeleteFile, kErrPermissionDenied, "LOCKED");
  DeleteFolderTree(program_, "C:\\DEL\\");
  EXPECT_EQ(BoxTexts(ui_), (Strings{"ERRORE SUI FILE|C:\\DEL\\LOCKED.TXT\r"
                                    "Attiva protezione in scrittura\r"}));
  EXPECT_FALSE(world_.Exists("C:\\DEL\\A.TXT"));
  EXPECT_TRUE(world_.Exists("C:\\DEL\\Z.TXT"));
}

TEST_F(FileOperationsTest, CopyFolderModeWritesLineThenCopiesThenLists) {
  testing::WriteFiles(world_, "C:\\SRC\\A.MAC C:\\SRC\\B.MAC C:\\SRC\\C.TXT");
  bool copied_at_line = true;
  std::size_t listed_at_line = 99;
  ui_.OnNthInput(1, [&] {
    copied_at_line = world_.Exists("A:\\CUST\\MAC\\A.MAC");
    listed_at_line = ArchiveList(world_, program_).size();
  });
  CopyFilesByExtension(program_, "C:\\SRC\\", "A:\\CUST\\MAC\\", "MAC", 1, true);
  EXPECT_FALSE(copied_at_line);
  EXPECT_EQ(listed_at_line, 0u);
  EXPECT_EQ(world_.Tree("A:\\CUST"), (Strings{"MAC/A.MAC", "MAC/B.MAC"}));
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\SRC\\A.MAC", "C:\\SRC\\B.MAC"}));
  ASSERT_EQ(LineTexts(ui_), ArchiveList(world_, program_));
  EXPECT_EQ(ui_.lines()[0].color, 1u);
}

TEST_F(FileOperationsTest, CopySingleFileCopiesThenListsThenWritesLine) {
  world_.WriteFile("C:\\SRC\\A.UT", "a");
  bool copied_at_line = false;
  std::size_t listed_at_line = 0;
  ui_.OnNthInput(1, [&] {
    copied_at_line = world_.Exists("A:\\CUST\\A.UT");
    listed_at_line = ArchiveList(world_, program_).size();
  });
  CopyFilesByExtension(program_, "C:\\SRC\\A.UT", "A:\\CUST\\", "", 3, true);
  EXPECT_TRUE(copied_at_line);
  EXPECT_EQ(listed_at_line, 1u);
  EXPECT_EQ(world_.ReadFile("A:\\CUST\\A.UT"), "a");
}

// A colour field of the session is 0 until the main window is prepared: a copy
// made before then writes no line; once set, the line takes its colour.
TEST_F(FileOperationsTest, CopyWithoutDestinationListsOnlyWithTheOnlyZipMark) {
  testing::WriteFiles(world_, "C:\\SRC\\P.EXE C:\\SRC\\H.HED");
  program_.ColorGray = 0;  // as before PrepareMainWindow
  CopyFilesByExtension(program_, "C:\\SRC\\P.EXE", "", "", LineColour(program_.ColorGray), true);
  EXPECT_TRUE(ui_.lines().empty());
  program_.ColorGray = 0x808080;
  CopyFilesByExtension(program_, "C:\\SRC\\P.EXE", "", "", LineColour(program_.ColorGray), true);
  CopyFilesByExtension(program_, "C:\\SRC\\", "", "HED", 12, true);
  CopyFilesByExtension(program_, "C:\\SRC\\", "", "HED", std::nullopt, true);  // no line
  EXPECT_TRUE((world_.Tree("A:\\CUST")).empty());
  EXPECT_EQ(ArchiveList(world_, program_),
            Words("C:\\SRC\\P.EXE C:\\SRC\\P.EXE C:\\SRC\\H.HED C:\\SRC\\H.HED"));
  ASSERT_EQ(LineTexts(ui_),
            (Strings{"C:\\SRC\\P.EXE     -only ZIP-", "C:\\SRC\\H.HED     -only ZIP-"}));
  EXPECT_EQ(ui_.lines()[0].color, 0x808080u);
  EXPECT_EQ(ui_.lines()[1].background, kBackgroundZipOnly);
}

// The run's report holds every file the copy finds, and what became of it:
// copied (with its bytes), entered in the archive list only, or not copied
// with the reason.
TEST_F(FileOperationsTest, CopyReportsEachFile) {
  testing::WriteFiles(world_, "C:\\SRC\\A.MAC C:\\SRC\\B.MAC C:\\SRC\\P.EXE");
  CopyFilesByExtension(program_, "C:\\SRC\\", "A:\\CUST\\MAC\\", "MAC", 1, true);
  CopyFilesByExtension(program_, "C:\\SRC\\P.EXE", "", "", 6, true);
  CopyFilesByExtension(program_, "C:\\SRC\\", "C:\\ELSEWHERE\\", "MAC", 1, true);
  EXPECT_EQ(program_.run.known(), 5);
  Strings records;
  for (const FileRecord& file : program_.run.report().files) {
    records.push_back(file.path + " " + std::to_string(static_cast<int>(file.outcome)) + " " +
                      std::to_string(file.bytes) + (file.reason.empty() ? "" : " why"));
  }
  const std::string size = std::to_string(world_.ReadFile("C:\\SRC\\A.MAC").size());
  EXPECT_EQ(records,
            (Strings{"C:\\SRC\\A.MAC 0 " + size, "C:\\SRC\\B.MAC 0 " + size, "C:\\SRC\\P.EXE 1 0",
                     "C:\\SRC\\*.MAC 2 0 why", "C:\\SRC\\*.MAC 2 0 why"}));
}

TEST_F(FileOperationsTest, CopyShowsItsThreeBoxesAndGoesOn) {
  world_.MakeFolder("C:\\EMPTY");
  world_.WriteFile("C:\\SRC\\HIDDEN.UT", "x");
  ASSERT_TRUE(program_.platform.SetAttributes("C:\\SRC\\HIDDEN.UT", kAttrHidden).ok());
  world_.WriteFile("A:\\CUST\\F", "a file where a folder should be");
  CopyFilesByExtension(program_, "C:\\EMPTY\\", "A:\\CUST\\X\\", "TOR", 7, true);
  CopyFilesByExtension(program_, "C:\\SRC\\HIDDEN.UT", "A:\\CUST\\", "", 3, true);
  CopyFilesByExtension(program_, "C:\\SRC\\", "A:\\CUST\\F\\OUT\\", "UT", 3, true);
  EXPECT_EQ(BoxTexts(ui_), (Strings{"Folder Empty|Nel percorso: \rC:\\EMPTY\\\r"
                                    "non ci sono file con estensione TOR",
                                    "File not Found|File: \rC:\\SRC\\HIDDEN.UT\rnon trovato ",
                                    "Folder Empty|Il percorso: \rA:\\CUST\\F\\OUT\\\r"
                                    "non esiste e non è possibile crearlo. UT"}));
  for (const auto& box : ui_.boxes()) EXPECT_EQ(box.request.buttons, Buttons::kOk);
  EXPECT_TRUE((ArchiveList(world_, program_)).empty());
}

// A source folder that is there but cannot be listed is a failure with its
// reason, never an empty folder.
TEST_F(FileOperationsTest, AnUnreadableSourceFolderIsAFailure) {
  testing::WriteFiles(world_, "C:\\SRC\\A.MAC");
  program_.run.Begin(Operation::kBackup, Stage::kCollecting);
  faulty_.Fail(testing::Call::kList, kErrPermissionDenied, "C:\\SRC\\");
  CopyFilesByExtension(program_, "C:\\SRC\\", "A:\\CUST\\", "MAC", 1, true);
  ASSERT_EQ(program_.run.report().NotHandled(), 1);
  EXPECT_EQ(program_.run.report().files[0].reason.rfind("cartella non leggibile (errore 70", 0),
            0u);
  EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(FileOperationsTest, CopyIntoTheCustomerFolderNeverCreatesIt) {
  world_.WriteFile("C:\\SRC\\A.UT", "a");
  program_.CustomerFolder = "A:\\GONE\\";
  CopyFilesByExtension(program_, "C:\\SRC\\A.UT", "A:\\GONE\\", "", 3, true);
  EXPECT_FALSE(world_.Exists("A:\\GONE"));
  EXPECT_EQ(program_.run.report().NotHandled(), 1);
}

TEST_F(FileOperationsTest, StopEndsTheLoopAfterTheFileInHand) {
  testing::WriteFiles(world_, "C:\\SRC\\A.DAT C:\\SRC\\B.DAT C:\\SRC\\C.DAT");
  ui_.OnNthInput(2, [&] { program_.run.Cancel(CancelCause::kUser); });
  CopyFilesByExtension(program_, "C:\\SRC\\", "A:\\CUST\\", "DAT", 7, true);
  EXPECT_EQ(world_.Tree("A:\\CUST"), (Strings{"A.DAT", "B.DAT"}));
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\SRC\\A.DAT", "C:\\SRC\\B.DAT"}));
  CopyFilesByExtension(program_, "C:\\SRC\\C.DAT", "A:\\CUST\\", "", 7, true);
  CopyFilesByExtension(program_, "C:\\NONE\\", "A:\\CUST\\", "DAT", 7, true);
  EXPECT_EQ(world_.Tree("A:\\CUST"), (Strings{"A.DAT", "B.DAT"}));
  EXPECT_TRUE((ui_.boxes()).empty());
}

// A failed copy is shown and counted, is not listed, and the next file follows
// (a full disk half-way through a whole job: ui/ok_button_backup_test.cpp).
TEST_F(FileOperationsTest, AFailedCopyIsReportedAndTheNextFileFollows) {
  testing::WriteFiles(world_, "C:\\SRC\\A.INI C:\\SRC\\B.INI C:\\SRC\\C.INI");
  world_.WriteFile("A:\\CUST\\B.INI", "old");
  ASSERT_TRUE(program_.platform.SetAttributes("A:\\CUST\\B.INI", kAttrReadOnly).ok());
  CopyFilesByExtension(program_, "C:\\SRC\\", "A:\\CUST\\", "INI", 3, true);
  EXPECT_EQ(world_.ReadFile("A:\\CUST\\B.INI"), "old");
  EXPECT_EQ(world_.ReadFile("A:\\CUST\\C.INI"), "x");
  EXPECT_EQ(ArchiveList(world_, program_), (Strings{"C:\\SRC\\A.INI", "C:\\SRC\\C.INI"}));
  EXPECT_EQ(BoxTexts(ui_), (Strings{"ERRORE SUI FILE|C:\\SRC\\B.INI\r"
                                    "Attiva protezione in scrittura\r"}));
  EXPECT_EQ(ui_.lines()[2].text,
            "File C:\\SRC\\B.INI non copiato: errore 70 (Attiva protezione in scrittura)");
  EXPECT_EQ(ui_.lines()[2].color, program_.ColorStop);
  EXPECT_EQ(program_.run.report().NotHandled(), 1);
}

// Every copy lands strictly below the customer folder, by where the path
// really lies: "..", "/" and links in a destination or a listed name are
// resolved first. A destination that leaves it is skipped with an alarm line
// naming the source, and nothing is written outside the customer folder.
TEST_F(FileOperationsTest, ACopyNeverLandsOutsideTheCustomerFolder) {
  struct Row {
    const char* source;
    const char* destination;
    const char* extension;
    int not_copied;
  };
  const Row rows[] = {
      {"C:\\SRC\\A.DAT", "A:\\CUST\\..\\", "", 1},
      {"C:\\SRC\\A.DAT", "A:\\CUST\\X\\..\\..\\OUT\\", "", 1},
      {"C:\\SRC\\A.DAT", "A:\\CUST/../OUT\\", "", 1},
      {"C:\\SRC\\", "A:\\CUST\\NEW\\..\\..\\..\\C\\PROD\\", "DAT", 3},
      {"C:\\SRC\\", "A:\\CUST\\LINK\\", "DAT", 3},  // a link to C:\PROD
      {"C:\\SRC\\A.DAT", "A:\\CUST\\LINK\\", "", 1},
      {"C:\\SRC\\L.DAT", "A:\\CUST\\", "", 1},  // A:\CUST\L.DAT is a link to C:\PROD\P.DAT
      {"A:\\CUST\\SELF.DAT", "A:\\CUST\\X\\..\\", "", 1},  // onto its own source
  };
  world_.WriteFile("C:\\SRC\\A.DAT", "a");
  world_.WriteFile("C:\\SRC\\B.DAT", "b");
  world_.WriteFile("C:\\PROD\\P.DAT", "product");
  world_.WriteFile("A:\\CUST\\SELF.DAT", "self");
  world_.WriteFile("C:\\SRC\\L.DAT", "l");
  if (!world_.MakeLink("C:\\PROD", "A:\\CUST\\LINK") ||
      !world_.MakeLink("C:\\PROD\\P.DAT", "A:\\CUST\\L.DAT")) {
    GTEST_SKIP() << "no symbolic links on this host";
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.source) + " -> " + row.destination);
    const auto before = testing::FilesOf(world_, {"A:\\", "C:\\"}, {});
    const std::size_t lines = ui_.lines().size();
    program_.run.Begin(Operation::kBackup, Stage::kCollecting);
    CopyFilesByExtension(program_, row.source, row.destination, row.extension, 7, true);
    EXPECT_EQ(testing::FilesOf(world_, {"A:\\", "C:\\"}, {}), before);
    EXPECT_FALSE(world_.Exists("A:\\OUT"));
    EXPECT_EQ(program_.run.report().NotHandled(), row.not_copied);
    ASSERT_GT(ui_.lines().size(), lines);
    const std::string& alarm = ui_.lines().back().text;
    const std::string named = *row.extension == '\0'
                                  ? std::string(row.source) + " non copiato"
                                  : std::string(row.source) + "*.DAT non copiati";
    EXPECT_EQ(alarm.rfind("File " + named + ": la destinazione ", 0), 0u) << alarm;
    EXPECT_FALSE(world_.Exists(program_.ArchiveListFile()));
  }
  EXPECT_TRUE(ui_.boxes().empty());
}

// The list's lines go in Windows-1252 with CR LF through one open handle,
// each call's lines in one write that is in the file before the next.
TEST_F(FileOperationsTest, TheArchiveListIsWrittenThroughOneHandle) {
  const std::string list = program_.ArchiveListFile();
  AddToArchiveList(program_, {"C:\\Città\\A.DAT"});
  EXPECT_EQ(world_.ReadFile(list), "C:\\Citt\xE0\\A.DAT\r\n");
  AddToArchiveList(program_, {"C:\\B.DAT", "C:\\C.DAT"});
  EXPECT_EQ(faulty_.calls(testing::Call::kAppendFile), 2);
  CloseArchiveList(program_);
  EXPECT_EQ(world_.ReadFile(list), "C:\\Citt\xE0\\A.DAT\r\nC:\\B.DAT\r\nC:\\C.DAT\r\n");
  EXPECT_TRUE(program_.archive_list_failure.ok());
  // A write that fails is shown and kept; into a missing folder too, which
  // is not made.
  faulty_.Fail(testing::Call::kAppendFile, kErrDiskFull, "ZIPLISTTMP", 1);
  AddToArchiveList(program_, {"C:\\D.DAT"});
  EXPECT_EQ(program_.archive_list_failure.error, kErrDiskFull);
  CloseArchiveList(program_);
  program_.ProductFolder = "C:\\NOWHERE";
  AddToArchiveList(program_, {"C:\\A.DAT"});
  ASSERT_EQ(ui_.boxes().size(), 2u);
  EXPECT_EQ(ui_.boxes()[1].request.buttons, Buttons::kOk);
  EXPECT_EQ(program_.archive_list_failure.error, kErrDiskFull);  // the first one
  EXPECT_FALSE(world_.Exists("C:\\NOWHERE"));
}

}  // namespace
}  // namespace zr
