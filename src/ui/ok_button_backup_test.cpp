// The customer backup as the main window runs it: the name typed, OK pressed
// (OkButtonClick), STOP pressed while it runs.
#include "backup/backup_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "backup/collector_test_support.h"
#include "backup/dry_run.h"
#include "tests/fault_platform.h"
#include "tests/ui_test_world.h"
#include "ui/base_form.h"

namespace zr {
namespace {

using testing::BoxTexts;
using testing::UiTestWorld;
using testing::Words;
using Strings = std::vector<std::string>;

constexpr const char* kArchiver = "C:\\KYCONFIG\\SYSTEM\\PkZip25";
constexpr const char* kTemporary = "C:\\ORVEL\\VER14\\~TMPZIP";

// A DAXOR2D installation in C:\ORVEL\VER14 with three machine files and two
// post-processor texts; the job copies those two groups only.
class BackupJobTest : public ::testing::Test {
 protected:
  BackupJobTest() : faulty_(world_.platform()), program_(faulty_, world_.ui()) {
    world_.WriteFile("C:\\ORVEL\\VER14\\MAC\\L3030.MAC", "POST-PROCESSOR|PP1|\r\n");
    world_.WriteFile("C:\\ORVEL\\VER14\\MAC\\L4040.MAC", "POST-PROCESSOR|PP2|\r\n");
    world_.WriteFile("C:\\ORVEL\\VER14\\MAC\\P2020.MAC", "POST-PROCESSOR|PP3|\r\n");
    world_.WriteFile("C:\\ORVEL\\VER14\\PP1.TXT", "post 1");
    world_.WriteFile("C:\\ORVEL\\VER14\\PP2.TXT", "post 2");
    world_.InstallArchiver(std::string(kArchiver) + ".EXE");

    program_.SelectedSoftware = "DAXOR2D";
    program_.ProductFolder = "C:\\ORVEL\\VER14";
    program_.CnfFolder = "C:\\ORVEL\\VER14";
    program_.BackupPath = "A:\\";
    program_.ArchiverPath = kArchiver;
    program_.ZipMode = ZipTarget::kBackupPath;
    // Progress lines (and with them the input processing that lets STOP
    // in) are written only in a real colour.
    program_.ColorBlue = Rgb(0, 0, 255);
    program_.ColorGreen = Rgb(0, 128, 0);
    program_.ColorStop = Rgb(255, 0, 0);
    program_.today_year = 2003;
    program_.today_month = 6;
    program_.today_day = 5;
    for (auto item : FileItems()) {
      (program_.menus.*item).checked = false;
      (program_.menus.*item).enabled = false;
    }
    program_.menus.Menu211.enabled = program_.menus.Menu211.checked = true;
    program_.menus.Menu212.enabled = program_.menus.Menu212.checked = true;
  }

  // Runs the job; the installation's files are byte for byte as before, the
  // temporary folder is gone and the window is no longer running a job
  // (STOP off), whatever the job's end.
  JobResult Backup(const std::string& customer) {
    const std::vector<std::string> left_out = {program_.TemporaryFolder(), program_.BackupPath};
    const auto before = testing::FilesOf(world_, {"C:\\", "D:\\"}, left_out);
    NomeClienteChange(program_, customer);
    const JobResult result = OkButtonClick(program_, CurrentBackupSelection(program_));
    EXPECT_EQ(testing::FilesOf(world_, {"C:\\", "D:\\"}, left_out), before);
    EXPECT_FALSE(world_.Exists(kTemporary));
    EXPECT_FALSE(program_.run.active());
    EXPECT_FALSE(StopEnabled(program_));
    return result;
  }

  bool Shown(const std::string& text) {
    const auto& boxes = world_.ui().boxes();
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const ScriptedUi::Box& b) { return b.request.text == text; });
  }
  // The archive is not announced, and the last box, "Zip non eseguito", says `words`.
  void ExpectArchiveReported(const std::string& words) {
    EXPECT_FALSE(Shown("Zip eseguito"));
    const std::string last = BoxTexts(world_.ui()).back();
    EXPECT_TRUE(last.starts_with("Zip non eseguito|") && last.find(words) != std::string::npos)
        << last;
  }
  bool AlarmLineContains(const std::string& part) {
    const auto& lines = world_.ui().lines();
    return std::any_of(lines.begin(), lines.end(), [&](const ScriptedUi::Line& l) {
      return l.text.find(part) != std::string::npos;
    });
  }

  // Entry names of an archive, sorted.
  std::vector<std::string> Entries(const std::string& windows_path) const {
    std::vector<std::string> entries = testing::ArchiveEntries(world_.Host(windows_path));
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  static std::vector<std::string> Upper(std::vector<std::string> names) {
    for (auto& n : names) std::transform(n.begin(), n.end(), n.begin(), ::toupper);
    return names;
  }

  const Strings kExpectedEntries = Words(
      "ORVEL/VER14/MAC/L3030.MAC ORVEL/VER14/MAC/L4040.MAC ORVEL/VER14/MAC/P2020.MAC "
      "ORVEL/VER14/PP1.TXT ORVEL/VER14/PP2.TXT");

  UiTestWorld world_;
  testing::FaultPlatform faulty_;
  Program program_;
};

TEST_F(BackupJobTest, Mode1PutsTheArchiveInTheBackupRoot) {
  EXPECT_EQ(Backup("METAL"), JobResult::kCompleted);
  EXPECT_EQ(BoxTexts(world_.ui()), (Strings{"|Copia eseguita", "|Zip eseguito"}));
  EXPECT_EQ(Upper(world_.Tree("A:\\METAL")),
            Words("MAC/L3030.MAC MAC/L4040.MAC MAC/P2020.MAC PP1.TXT PP2.TXT"));
  EXPECT_EQ(Upper(Entries("A:\\METAL_050603.ZIP")), kExpectedEntries);
  EXPECT_EQ(world_.ui().lines().back().text, "Archivio verificato: 5 file");
  EXPECT_FALSE(program_.main.OK_B.enabled);
  EXPECT_EQ(program_.MessageBackground, kBackgroundNormal);
}

// "A:\METAL 2.0\..." reaches the archiver quoted, as one word.
TEST_F(BackupJobTest, Mode0PutsTheArchiveBesideTheCopiedFiles) {
  program_.ZipMode = ZipTarget::kCustomerFolder;
  EXPECT_EQ(Backup("METAL 2.0"), JobResult::kCompleted);
  EXPECT_TRUE(world_.Exists("A:\\METAL 2.0\\METAL_2-0_050603.ZIP"));
  EXPECT_FALSE(world_.Exists("A:\\METAL_2-0_050603.ZIP"));
  EXPECT_EQ(Upper(Entries("A:\\METAL 2.0\\METAL_2-0_050603.ZIP")), kExpectedEntries);
  EXPECT_EQ(BoxTexts(world_.ui()), (Strings{"|Copia eseguita", "|Zip eseguito"}));
}

TEST_F(BackupJobTest, EnterInTheNameBoxRunsTheJobEvenWithOkDisabled) {
  program_.ZipMode = ZipTarget::kNone;
  program_.main.NomeCliente = "METAL";
  program_.main.OK_B.enabled = false;
  EXPECT_EQ(NomeClienteKeyPress(program_, 'x', CurrentBackupSelection(program_)),
            JobResult::kNotStarted);
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
  EXPECT_EQ(NomeClienteKeyPress(program_, 13, CurrentBackupSelection(program_)),
            JobResult::kCompleted);
  EXPECT_TRUE(world_.Exists("A:\\METAL\\PP1.TXT"));
}

TEST_F(BackupJobTest, OkIsEnabledExactlyWhenTheNameIsNotEmpty) {
  NomeClienteChange(program_, "M");
  EXPECT_TRUE(program_.main.OK_B.enabled);
  NomeClienteChange(program_, "");
  EXPECT_FALSE(program_.main.OK_B.enabled);
  NomeClienteChange(program_, " ");
  EXPECT_TRUE(program_.main.OK_B.enabled);
}

// Blanks and dots give a clean archive name; blanks around the name are
// trimmed for the archive only.
TEST_F(BackupJobTest, NameWithBlanksAndDotsGivesACleanArchiveName) {
  EXPECT_EQ(Backup(" METAL"), JobResult::kCompleted);  // "METAL 2.0": see Mode0 above
  EXPECT_TRUE(world_.Exists("A:\\ METAL\\PP1.TXT"));
  EXPECT_TRUE(world_.Exists("A:\\METAL_050603.ZIP"));
}

TEST_F(BackupJobTest, StopDuringTheCopyLeavesNothingBehind) {
  world_.ui().OnNthInput(2, [this] { StopButtonClick(program_); });
  EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
  EXPECT_EQ(BoxTexts(world_.ui()), Strings{});
  ASSERT_FALSE(world_.ui().lines().empty());
  const ScriptedUi::Line& stop = world_.ui().lines().back();
  EXPECT_EQ(stop.text, "Copia fermata dall'utente");
  EXPECT_EQ(stop.color, program_.ColorStop);
  EXPECT_EQ(stop.background, kBackgroundAlarm);
  EXPECT_GE(world_.ui().beeps(), 1);
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
}

TEST_F(BackupJobTest, UnmanagedProductRemovesTheNewFolder) {
  program_.SelectedSoftware = "DUNRA";
  EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
  EXPECT_EQ(BoxTexts(world_.ui()), Strings{"|Software non gestito nel ZA-Rirevo"});
  EXPECT_FALSE(world_.Exists("A:\\METAL"));
}

// Without an archive only the copy is announced: no archive was made.
TEST_F(BackupJobTest, TheSameNameTwiceIsRefusedUntilTheNameIsEdited) {
  program_.ZipMode = ZipTarget::kNone;
  ASSERT_EQ(Backup("METAL"), JobResult::kCompleted);
  EXPECT_EQ(BoxTexts(world_.ui()), (Strings{"|Copia eseguita"}));
  EXPECT_EQ(world_.Tree("A:\\").size(), 5u);
  const auto before = world_.Tree("A:\\");
  const size_t boxes = world_.ui().boxes().size();
  EXPECT_EQ(OkButtonClick(program_, CurrentBackupSelection(program_)), JobResult::kNotStarted);
  ASSERT_EQ(world_.ui().boxes().size(), boxes + 1);
  EXPECT_EQ(BoxTexts(world_.ui()).back(),
            "Folder Error|Nome cliente già esistente nel percorso A:\\\rDigitarne un'altro.");
  EXPECT_FALSE(program_.main.OK_B.enabled);
  EXPECT_FALSE(StopEnabled(program_));
  EXPECT_EQ(world_.Tree("A:\\"), before);
  NomeClienteChange(program_, "METAL");
  EXPECT_TRUE(program_.main.OK_B.enabled);
}

TEST_F(BackupJobTest, RefusedNamesCreateNothingAndKeepTheText) {
  const std::vector<std::string> names = {
      "",      "   ",     ".",    "..",  " . . ", "A\\B", "A/B",  "A:B",
      "A*",    "A?",      "A\"B", "A<B", "A>B",   "A|B",  "A\tB", std::string("A\x01") + "B",
      "A\xFF", "\xC0\xAF", "CON",  "nul.txt", "Com1", "LPT9.ZIP", "AUX ", "METAL.", "METAL "};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const size_t boxes = world_.ui().boxes().size();
    EXPECT_EQ(Backup(name), JobResult::kNotStarted);
    ASSERT_EQ(world_.ui().boxes().size(), boxes + 1);
    EXPECT_NE(world_.ui().boxes().back().request.text.find("Nome cliente non valido"),
              std::string::npos);
    EXPECT_EQ(program_.main.NomeCliente, name);
    EXPECT_TRUE(world_.Tree("A:\\").empty());
  }
}

TEST_F(BackupJobTest, MissingArchiverIsReportedNotAnnounced) {
  program_.ArchiverPath = "";  // search from C:\, where the archiver is not
  ASSERT_TRUE(faulty_.ChangeFolder("D:\\").ok());
  EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
  EXPECT_TRUE(Shown("File PkZip25 not found in KY folder\rI don't create Zip File."));
  EXPECT_TRUE(Shown("Copia eseguita"));
  ExpectArchiveReported("non è stato trovato");
  EXPECT_TRUE(AlarmLineContains("non creato"));
  EXPECT_TRUE(world_.Exists("A:\\METAL\\PP1.TXT"));  // the copy itself is kept
}

// A wrong archiver path, a failing archiver, and one that "succeeds" without
// writing anything; each for a customer of its own.
TEST_F(BackupJobTest, AWrongOrFailingArchiverIsReported) {
  program_.ArchiverPath = "C:\\NOWHERE\\PkZip25";
  EXPECT_EQ(Backup("WRONG"), JobResult::kFailed);
  ExpectArchiveReported("");
  program_.ArchiverPath = kArchiver;
  for (const auto& [exit_code, words] : {std::pair{2, "errore"}, {0, "non si trova"}}) {
    faulty_.FakeRun(exit_code);
    EXPECT_EQ(Backup("EXIT" + std::to_string(exit_code)), JobResult::kFailed);
    ExpectArchiveReported(words);
  }
}

// STOP while the archiver runs (the window takes input during the wait): the
// archiver is ended, its partial output and the customer folder go, and the
// backup is reported as stopped, never as made.
TEST_F(BackupJobTest, StopDuringTheArchiveEndsItAndLeavesNothing) {
  faulty_.FakeRun(0, kErrNone, [this](const std::string&) {
    world_.WriteFile("A:\\METAL_050603.ZIP.a1b2c3", "partial");
    StopButtonClick(program_);
  });
  EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
  EXPECT_TRUE(world_.Tree("A:\\").empty());
  EXPECT_FALSE(Shown("Zip eseguito"));
  EXPECT_EQ(program_.run.report().outcome, RunOutcome::kCancelled);
  EXPECT_EQ(world_.ui().lines().back().text, "Copia fermata dall'utente");
}

TEST_F(BackupJobTest, ACopyFailureLeavesThatFileOutAndTheJobGoesOn) {
  faulty_.Fail(testing::Call::kCopyFile, kErrDiskFull, {}, 2);
  EXPECT_EQ(Backup("METAL"), JobResult::kIncomplete);
  // One error box names the file; the alarm line names file and error.
  EXPECT_EQ(BoxTexts(world_.ui()),
            (Strings{"|C:\\ORVEL\\VER14\\MAC\\L4040.MAC\r\r",
                     "|Copia non completata: 1 file non copiato", "|Zip eseguito"}));
  EXPECT_TRUE(AlarmLineContains("File C:\\ORVEL\\VER14\\MAC\\L4040.MAC non copiato: errore 61"));
  EXPECT_EQ(world_.ui().background(), kBackgroundAlarm);
  EXPECT_EQ(Upper(world_.Tree("A:\\METAL")), Words("MAC/L3030.MAC MAC/P2020.MAC PP1.TXT PP2.TXT"));
  std::vector<std::string> archived = kExpectedEntries;
  std::erase(archived, "ORVEL/VER14/MAC/L4040.MAC");
  EXPECT_EQ(Upper(Entries("A:\\METAL_050603.ZIP")), archived);
  EXPECT_EQ(program_.run.report().outcome, RunOutcome::kIncomplete);
}

// A full disk while the list is written: the archiver would leave files
// out of the archive, so it is not run, and the job fails with the reason.
TEST_F(BackupJobTest, AListThatCannotBeWrittenIsAFailureNotAnArchive) {
  faulty_.Fail(testing::Call::kAppendFile, kErrDiskFull, "ZIPLISTTMP", 2);
  EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
  ExpectArchiveReported("non è stato scritto (errore 61)");
  EXPECT_EQ(program_.run.report().outcome, RunOutcome::kFailed);
  EXPECT_NE(program_.run.report().reason.find("ZIPLISTTMP.TXT non è stato scritto"),
            std::string::npos);
  EXPECT_FALSE(world_.Exists("A:\\METAL_050603.ZIP"));
  EXPECT_EQ(Backup("NEXT"), JobResult::kCompleted);  // the next job's list starts afresh
}

// The temporary folder goes at the end of every job: a destination at or
// below it is refused before anything is made; one that holds it is not.
TEST_F(BackupJobTest, ADestinationInTheTemporaryFolderIsRefused) {
  program_.ZipMode = ZipTarget::kBackupPath;
  for (const char* destination :
       {"C:\\ORVEL\\VER14\\~TMPZIP\\", "c:\\orvel\\ver14\\~tmpzip\\SUB\\",
        "C:\\ORVEL\\VER14\\MAC\\..\\~TMPZIP\\", "C:/ORVEL/VER14/~TMPZIP/"}) {
    SCOPED_TRACE(destination);
    program_.BackupPath = destination;
    const std::size_t boxes = world_.ui().boxes().size();
    EXPECT_EQ(Backup("METAL"), JobResult::kNotStarted);
    ASSERT_EQ(world_.ui().boxes().size(), boxes + 1);
    EXPECT_NE(world_.ui().boxes().back().request.text.find("cartella temporanea"),
              std::string::npos);
  }
  program_.BackupPath = "C:\\ORVEL\\";
  EXPECT_EQ(Backup("METAL"), JobResult::kCompleted);
  EXPECT_TRUE(world_.Exists("C:\\ORVEL\\METAL_050603.ZIP"));
}

// A temporary folder or a destination that cannot be made starts nothing.
TEST_F(BackupJobTest, AFolderThatCannotBeMadeIsReportedAndNothingIsLeft) {
  for (const auto& [where, alarm] : {std::pair{"C:\\ORVEL", "~TMPZIP"}, {"A:", "A:\\METAL\\"}}) {
    SCOPED_TRACE(where);
    faulty_.Fail(testing::Call::kCreateFolder, kErrPermissionDenied, where, 1);
    EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
    EXPECT_FALSE(Shown("Copia eseguita"));
    EXPECT_TRUE(AlarmLineContains(alarm));
    EXPECT_TRUE(world_.Tree("A:\\").empty());
  }
}

TEST_F(BackupJobTest, AnUnreadyDriveCanBeFixedOrEndTheProgram) {
  world_.RemoveDrive('A');
  world_.ui().QueueAnswer(Answer::kOk);
  world_.ui().on_box = [this](const MessageBoxRequest&, Answer) { world_.RestoreDrive('A'); };
  EXPECT_EQ(Backup("METAL"), JobResult::kCompleted);
  EXPECT_EQ(world_.ui().boxes().front().request.buttons, Buttons::kOkCancel);
  EXPECT_TRUE(world_.Exists("A:\\METAL_050603.ZIP"));
  world_.RemoveDrive('A');  // Cancel ends the program before anything is made
  world_.ui().on_box = nullptr;
  world_.ui().QueueAnswer(Answer::kCancel);
  EXPECT_THROW(Backup("OTHER"), ProgramEnded);
  EXPECT_FALSE(world_.Exists(kTemporary));
}

// An archive that does not hold what was collected is kept but not
// announced: each entry that differs is named, and the job is incomplete.
// The archivers: the real one with one byte of an entry flipped afterwards,
// and fakes that write one wrong byte (with its own CRC-32), leave an entry
// out, or store one twice; and the real one reading a file changed since it
// was copied.
TEST_F(BackupJobTest, AnArchiveThatDiffersFromTheCopiedFilesIsNamedNotAnnounced) {
  using Entries = std::vector<std::pair<std::string, std::string>>;
  // A fake archiver: the collected files, with `changed` put in place of
  // (or, without bytes, instead of) the entries of the same name.
  const auto fake = [this](const std::string& customer, Entries changed) {
    return [this, customer, changed](const std::string&) {
      Entries all;
      for (const std::string& name : kExpectedEntries) {
        std::string source = "C:\\" + name;
        std::replace(source.begin(), source.end(), '/', '\\');
        all.emplace_back(name, world_.ReadFile(source));
      }
      for (const auto& entry : changed) {
        std::erase_if(all, [&](const auto& e) { return e.first == entry.first; });
        if (!entry.second.empty()) all.push_back(entry);
      }
      testing::WriteArchive(world_.Host("A:\\" + customer + "_050603.ZIP"), all);
    };
  };
  faulty_.After(testing::Call::kRun, "FLIP_", [this](const std::string&) {
    EXPECT_TRUE(testing::FlipEntryByte(world_.Host("A:\\FLIP_050603.ZIP"), "ORVEL/VER14/PP2.TXT"));
  });
  const struct {
    const char* customer;
    Entries changed;  // none: the real archiver
    const char* words;
  } cases[] = {
      {"FLIP", {}, "ORVEL/VER14/PP2.TXT è danneggiato"},
      {"BYTE", {{"ORVEL/VER14/PP1.TXT", "post 0"}}, "ORVEL/VER14/PP1.TXT ha un CRC-32 diverso"},
      {"GONE", {{"ORVEL/VER14/PP1.TXT", ""}}, "ORVEL/VER14/PP1.TXT manca"},
      {"SIZE",
       {{"ORVEL/VER14/PP1.TXT", "post 10"}},
       "ORVEL/VER14/PP1.TXT ha una dimensione diversa"},
      {"TWICE",
       {{"orvel/ver14/pp2.txt", "post 2"}, {"ORVEL/VER14/PP2.TXT", "post 2"}},
       "ORVEL/VER14/PP2.TXT è nell'archivio più di una volta"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.customer);
    if (!c.changed.empty()) faulty_.FakeRun(0, kErrNone, fake(c.customer, c.changed));
    EXPECT_EQ(Backup(c.customer), JobResult::kIncomplete);
    EXPECT_TRUE(AlarmLineContains(std::string(c.customer) + "_050603.ZIP: " + c.words));
    EXPECT_TRUE(
        AlarmLineContains("A:\\" + std::string(c.customer) + "_050603.ZIP è stato conservato"));
    EXPECT_TRUE(world_.Exists("A:\\" + std::string(c.customer) + "_050603.ZIP"));
  }
  // A file changed after its copy and before the archiver read it (and so
  // it stays until the job ends): the archive does not hold what was copied.
  faulty_.FakeRun(-1);
  faulty_.Before(testing::Call::kRun, "LATE_", [this](const std::string&) {
    world_.WriteFile("C:\\ORVEL\\VER14\\PP1.TXT", "post 9");
  });
  faulty_.Before(testing::Call::kRemoveFolder, "~TMPZIP", [this](const std::string&) {
    world_.WriteFile("C:\\ORVEL\\VER14\\PP1.TXT", "post 1");
  });
  EXPECT_EQ(Backup("LATE"), JobResult::kIncomplete);
  EXPECT_TRUE(AlarmLineContains("LATE_050603.ZIP: ORVEL/VER14/PP1.TXT ha un CRC-32 diverso"));
  // A listed file that cannot be read back: nothing can be compared.
  faulty_.Fail(testing::Call::kSumFile, kErrPermissionDenied, "PP1.TXT");
  EXPECT_EQ(Backup("UNREAD"), JobResult::kIncomplete);
  EXPECT_TRUE(AlarmLineContains(
      "UNREAD_050603.ZIP non verificato: file C:\\ORVEL\\VER14\\PP1.TXT illeggibile (errore 70)"));
  EXPECT_FALSE(Shown("Zip eseguito"));
}

// A dry run collects what the job would, writes nothing, and says whether it fits.
TEST_F(BackupJobTest, ADryRunWritesNothingAndSaysWhetherItFits) {
  faulty_.SetFreeSpace(100);
  BackupSelection selection = CurrentBackupSelection(program_);
  selection.customer = "METAL";
  const DryRunReport report = DryRunBackup(program_, selection);
  EXPECT_EQ(report.refused, "");
  EXPECT_EQ(report.files.size(), kExpectedEntries.size());
  EXPECT_EQ(report.copy_bytes, 3 * 21u + 2 * 6u);
  EXPECT_FALSE(report.fits());
  EXPECT_TRUE(world_.Tree("A:\\").empty());
  EXPECT_FALSE(world_.Exists(kTemporary));
  faulty_.SetFreeSpace(report.needed());
  EXPECT_TRUE(DryRunBackup(program_, selection).fits());
  world_.MakeFolder("A:\\METAL");
  EXPECT_EQ(DryRunBackup(program_, selection).refused,
            "Nome cliente già esistente nel percorso A:\\");
  selection.customer = "con.zip";
  EXPECT_TRUE(DryRunBackup(program_, selection).refused.starts_with("Nome cliente non valido: "));
  selection.customer = "METAL";
  program_.SelectedSoftware = "DUNRA";
  EXPECT_EQ(DryRunBackup(program_, selection, true).refused,
            "Software non gestito nel ZA-Rirevo: DUNRA");
}

// A stopped job removes its customer folder and nothing else: with the
// destination A:\BK\, only a folder strictly below A:\BK\ ever goes.
TEST_F(BackupJobTest, AStopRemovesOnlyTheCustomerFolderBelowTheDestination) {
  program_.BackupPath = "A:\\BK\\";
  world_.WriteFile("A:\\BK\\OTHER\\KEEP.TXT", "keep");
  world_.WriteFile("A:\\KEEP.TXT", "keep");
  world_.ui().OnNthInput(2, [this] { StopButtonClick(program_); });
  EXPECT_EQ(Backup("METAL"), JobResult::kFailed);
  EXPECT_EQ(world_.Tree("A:\\"), (std::vector<std::string>{"BK/OTHER/KEEP.TXT", "KEEP.TXT"}));
  // Whatever a caller left in CustomerFolder: the destination itself, or a
  // text that reaches it or above through "." and "..".
  for (const char* left : {"A:\\BK\\", "a:\\bk", "A:\\BK\\.\\", "A:\\BK\\X\\..\\", "A:\\BK\\..\\",
                           "A:\\BK\\OTHER\\..\\..\\", "A:\\"}) {
    SCOPED_TRACE(left);
    program_.CustomerFolder = left;
    program_.run.Cancel(CancelCause::kUser);
    EXPECT_EQ(RunBackupJob(program_, CurrentBackupSelection(program_)), JobResult::kFailed);
    EXPECT_EQ(world_.Tree("A:\\"), (std::vector<std::string>{"BK/OTHER/KEEP.TXT", "KEEP.TXT"}));
  }
}

}  // namespace
}  // namespace zr
