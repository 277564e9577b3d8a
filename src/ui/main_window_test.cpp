// The main window's commands and what the views are to show of them
// (MainWindowCommands::Shown), whichever view renders them: one operation at
// a time, STOP, ESCI and the close box during a backup, the erase that STOP
// does not stop. The views' own tests (ui/qt, ui/win32) check only that
// they render this state and that their controls reach these commands.
#include "ui/commands.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ui_test_world.h"

namespace zr {
namespace {

// A program ready for the backup of customer METAL: two machine files of
// DAXOR2D into A:\ with no archive.
Program& ReadyForBackup(testing::UiTestWorld& world) {
  Program& program = world.program();
  world.WriteFile("C:\\ORVEL\\VER14\\MAC\\L3030.MAC", "POST-PROCESSOR|PP1|\r\n");
  world.WriteFile("C:\\ORVEL\\VER14\\MAC\\L4040.MAC", "POST-PROCESSOR|PP2|\r\n");
  world.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  program.SystemFolder = "C:\\KYCONFIG\\SYSTEM";
  program.SelectedSoftware = "DAXOR2D";
  program.ProductFolder = program.CnfFolder = "C:\\ORVEL\\VER14";
  program.BackupPath = "A:\\";
  program.ZipMode = ZipTarget::kNone;
  program.ColorBlue = program.ColorStop = Rgb(0, 0, 255);
  for (auto item : FileItems()) (program.menus.*item).checked = false;
  program.menus.Menu211.checked = true;
  NomeClienteChange(program, "METAL");
  return program;
}

// While the backup lets the front-end take input, only STOP, ESCI and the
// close box act: a second OK, Enter, a menu item, the product button, the
// server copy, the erase, the help and typing are refused and change nothing.
// The window shows the job running, and once ESCI or the close box is
// pressed, ESCI off. The job stops and cleans up; ESCI (saving) and the
// close box (not saving) then end the program, STOP leaves it ready.
class DuringABackupTest : public ::testing::TestWithParam<std::string> {};

TEST_P(DuringABackupTest, OnlyStopEsciAndTheCloseBoxActAndTheJobCleansUp) {
  const std::string how = GetParam();
  testing::UiTestWorld world;
  Program& program = ReadyForBackup(world);
  MainWindowCommands commands(program);
  commands.SetFrontEndHandler("Menu41", [] {});
  EXPECT_TRUE(commands.CanRun("OK_B"));
  EXPECT_EQ(commands.Run("StopB"), CommandResult::kDisabled);  // nothing to stop
  std::vector<CommandResult> refused;
  ShownMainWindow during;
  bool esci_on_after = true;
  world.ui().OnNthInput(2, [&] {
    for (const char* name :
         {"OK_B", "NomeCliente", "Menu214", "Software_B", "Menu12", "Menu32", "Menu41"}) {
      refused.push_back(commands.Run(name));
    }
    commands.TypeCustomer("");
    during = commands.Shown();
    EXPECT_TRUE(commands.busy());
    EXPECT_EQ(commands.Run(how), CommandResult::kDone);
    esci_on_after = commands.Shown().controls.EsciB.enabled;
  });
  bool ended = false;
  bool saved = false;
  try {
    EXPECT_EQ(commands.Run("OK_B"), CommandResult::kNotDone);
  } catch (const ProgramEnded& end) {
    ended = true;
    saved = end.settings_saved;
  }
  EXPECT_EQ(refused, std::vector<CommandResult>(7, CommandResult::kBusy));
  EXPECT_FALSE(during.controls.OK_B.enabled || during.controls.Software_B.enabled ||
               during.menu_bar_enabled);
  EXPECT_TRUE(during.controls.StopB.enabled && during.controls.EsciB.enabled &&
              during.customer_read_only);
  EXPECT_EQ(esci_on_after, how == "StopB");  // the exit is on its way
  EXPECT_EQ(ended, how != "StopB");
  EXPECT_EQ(saved, how == "EsciB");
  EXPECT_EQ(world.Exists("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI"), how == "EsciB");
  // Stopped once, cleaned up, nothing changed by the refused commands.
  int stops = 0;
  for (const auto& line : world.ui().lines()) stops += line.text == "Copia fermata dall'utente";
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(world.Exists("C:\\ORVEL\\VER14\\~TMPZIP") || world.Exists("A:\\METAL"));
  EXPECT_FALSE(program.menus.Menu214.checked);
  EXPECT_EQ(program.main.NomeCliente, "METAL");
  EXPECT_FALSE(commands.busy() || commands.exit().running() || commands.exit().exit_asked());
  // The job counted what the operation reported; the window is ready again.
  EXPECT_EQ(commands.job().files_done(), static_cast<int>(program.run.report().files.size()));
  const ShownMainWindow after = commands.Shown();
  EXPECT_EQ(std::vector<bool>({after.controls.Software_B.enabled, after.menu_bar_enabled,
                               after.controls.EsciB.enabled, after.controls.StopB.enabled,
                               after.customer_read_only}),
            std::vector<bool>({true, true, true, false, false}));
}

INSTANTIATE_TEST_SUITE_P(StopEsciCloseBox, DuringABackupTest,
                         ::testing::Values("StopB", "EsciB", "Close"));

// Run to its end, the backup completes with every file counted. There is no
// STOP for the erase (ESCI and the close box stop it), nor while a refused
// customer name is told. A command no front-end gave, or that does not
// exist, is unknown; a disabled item cannot run. Idle, ESCI ends at once.
TEST(CommandsTest, CompletedJobsTheEraseAndUnknownOrDisabledCommands) {
  testing::UiTestWorld world;
  Program& program = ReadyForBackup(world);
  MainWindowCommands commands(program);
  EXPECT_EQ(commands.Run("OK_B"), CommandResult::kDone);
  EXPECT_TRUE(commands.job().succeeded());
  EXPECT_GE(commands.job().files_known(), 2);
  EXPECT_EQ(commands.job().files_done(), commands.job().files_known());
  Job job(program);  // a job does not start inside itself
  bool nested = true;
  EXPECT_TRUE(job.Run([&] { return nested = job.Run([] { return true; }); }));
  EXPECT_FALSE(nested || job.running());

  std::vector<std::string> stop_offered;
  world.ui().on_box = [&](const MessageBoxRequest& box, Answer) {
    if (commands.CanRun("StopB") || commands.Shown().controls.StopB.enabled) {
      stop_offered.push_back(box.text);
    }
  };
  world.ui().QueueAnswer(Answer::kNo);
  EXPECT_EQ(commands.Run("Menu32"), CommandResult::kNotDone);
  EXPECT_TRUE(world.ui().boxes().back().request.default_no);  // Enter does not erase
  commands.TypeCustomer("..");
  EXPECT_EQ(commands.Run("OK_B"), CommandResult::kNotDone);
  EXPECT_EQ(stop_offered, std::vector<std::string>{});

  EXPECT_EQ(commands.Run("Menu41"), CommandResult::kUnknown);
  EXPECT_EQ(commands.Run("Menu999"), CommandResult::kUnknown);
  program.menus.Menu214.enabled = false;
  EXPECT_EQ(commands.Run("Menu214"), CommandResult::kDisabled);
  EXPECT_FALSE(commands.CanRun("Menu214"));
  int helps = 0;
  commands.SetFrontEndHandler("Menu41", [&] { ++helps; });
  EXPECT_EQ(commands.Run("Menu41"), CommandResult::kDone);
  EXPECT_EQ(helps, 1);
  EXPECT_THROW(commands.Run("EsciB"), ProgramEnded);
}

// A command that begins no run (a folder picker whose folder is refused with
// a box) holds the commands, yet does not show the window busy; ESCI asked
// meanwhile ends the program once that command has returned, even when it
// fails.
TEST(CommandsTest, ACommandWithoutARunHoldsTheCommandsNotTheWindow) {
  testing::UiTestWorld world;
  Program& program = ReadyForBackup(world);
  MainWindowCommands commands(program);
  bool shown_idle = false;
  std::vector<CommandResult> during;
  world.ui().on_box = [&](const MessageBoxRequest&, Answer) {
    const ShownMainWindow shown = commands.Shown();
    shown_idle = !commands.busy() && shown.menu_bar_enabled && shown.controls.OK_B.enabled;
    during = {commands.Run("Menu214"), commands.Run("EsciB")};
    throw std::runtime_error("the command fails");
  };
  world.ui().QueuePick("D:\\GONE");
  EXPECT_THROW(commands.Run("Menu331"), ProgramEnded);
  EXPECT_TRUE(shown_idle);
  EXPECT_EQ(during, (std::vector<CommandResult>{CommandResult::kBusy, CommandResult::kDone}));
  EXPECT_FALSE(program.menus.Menu214.checked);
}

}  // namespace
}  // namespace zr
