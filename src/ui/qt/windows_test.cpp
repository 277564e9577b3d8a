// Widget tests of the windows on Qt's offscreen platform, over temporary
// worlds with small product installations. The rules themselves are tested
// below the windows; these check what the windows show and that clicks reach
// the handlers (including the menu re-opening and the folder picker loop).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <memory>
#include <stdexcept>

#include "app/message_area.h"
#include "app/startup.h"
#include "tests/installations.h"
#include "tests/test_world.h"
#include "ui/qt/base_form_window.h"
#include "ui/qt/folder_picker.h"
#include "ui/qt/help_window.h"
#include "ui/qt/launcher_window.h"
#include "ui/qt/message_view.h"
#include "ui/qt/qt_ui.h"

namespace zr::qt {
namespace {

using zr::testing::InstallDaxorFolder;
using zr::testing::InstallProduct;
using zr::testing::TestWorld;

// A started program on a world: launcher load, Backup, main window load.
class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() : program_(world_.platform(), ui_) {
    // The end of the program must not stop the event loops of later tests.
    ui_.set_end_action([] {});
    ui_.set_box_handler([this](const MessageBoxRequest& box) {
      boxes_.push_back(box);
      if (boxes_.size() > 20) throw std::runtime_error("message box loop");
      return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kCancel;
    });
    ui_.set_folder_picker([this](const std::string& prompt) {
      prompts_.push_back(prompt);
      if (picks_.empty()) return std::string();
      std::string pick = picks_.front();
      picks_.pop_front();
      return pick;
    });
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  }

  void InstallOnly(const std::string& product) {
    if (product == "DAXOR2D") {
      InstallProduct(world_, "DAXOR1401", "C:\\ORVEL\\DAXOR");
      InstallDaxorFolder(world_, "C:\\ORVEL\\DAXOR", "ITA");
    } else if (product == "PLOVIK") {
      InstallProduct(world_, "PLOVIK0102", "C:\\PLOVIK");
    } else if (product == "TRELUN") {
      InstallProduct(world_, "TRELUN0102", "C:\\TRELUN", {"[OPTION]", "LINGUA=1"});
    } else {
      InstallDaxorFolder(world_, "C:\\ORVEL\\VER14", "ITA");
    }
  }

  // Starts as the executable does and opens the main window.
  BaseFormWindow& Start(const std::string& product) {
    InstallOnly(product);
    const std::string command_line =
        product == "DAXOR_OLD" ? "/FC:\\ORVEL\\VER14" : "/FC:\\KYCONFIG\\SYSTEM";
    EXPECT_TRUE(RunHandler(ui_, [&] { StartProgram(program_, command_line); }));
    LauncherWindow launcher(program_, ui_, [this] {
      window_ = std::make_unique<BaseFormWindow>(program_, ui_);
      return window_.get();
    });
    launcher.show();
    launcher.backup_button()->click();
    EXPECT_NE(window_, nullptr);
    EXPECT_EQ(program_.SelectedSoftware, product);
    QApplication::processEvents();
    return *window_;
  }

  QAction* Action(const char* name) { return window_->action(name); }

  // Clicks a menu item as the user does, then lets queued work run.
  void Click(const char* name) {
    window_->action(name)->trigger();
    QApplication::processEvents();
  }

  void CloseMenus() {
    for (const char* name : {"Menu2", "Menu3"}) window_->menu(name)->hide();
    QApplication::processEvents();
  }

  TestWorld world_;
  QtUi ui_;
  Program program_;
  std::unique_ptr<BaseFormWindow> window_;
  std::vector<MessageBoxRequest> boxes_;
  std::deque<std::string> picks_;
  std::vector<std::string> prompts_;
};

// Every menu item shows exactly the program's caption, Enabled and Checked
// (the per-product captions and states themselves are checked on the
// window's logic, in base_form_test.cpp).
void ExpectMenusShowState(BaseFormWindow& window, Program& program) {
  for (const MenuEntry& entry : MenuTree()) {
    const MenuItem& item = program.menus.*entry.item;
    QAction* action = window.action(entry.name);
    ASSERT_NE(action, nullptr) << entry.name;
    const QString shown =
        window.menu(entry.name) ? window.menu(entry.name)->title() : action->text();
    EXPECT_EQ(shown.toStdString(), item.caption) << entry.name;
    EXPECT_EQ(action->isEnabled(), item.enabled) << entry.name;
    if (action->isCheckable()) {
      EXPECT_EQ(action->isChecked(), item.checked) << entry.name;
    }
  }
}

class MenuStatesTest : public WindowsTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(MenuStatesTest, LoadShowsTheProductsMenus) {
  BaseFormWindow& window = Start(GetParam());
  ExpectMenusShowState(window, program_);
  EXPECT_EQ(window.windowTitle(), "ZA-Rirevo Vers. 6.8.1");
  EXPECT_FALSE(window.ok_button()->isEnabled() || window.stop_button()->isEnabled());
  EXPECT_EQ(window.software_button()->text().toStdString(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Products, MenuStatesTest,
                         ::testing::Values("DAXOR2D", "PLOVIK", "TRELUN", "DAXOR_OLD"));

TEST_F(WindowsTest, LauncherStepsProductsAndEnterOpensTheMainWindow) {
  InstallOnly("DAXOR2D");
  InstallOnly("TRELUN");
  ASSERT_TRUE(RunHandler(ui_, [&] { LauncherLoad(program_, "/FC:\\KYCONFIG\\SYSTEM"); }));
  bool opened = false;
  LauncherWindow launcher(program_, ui_, [&]() -> QWidget* {
    opened = true;
    return nullptr;
  });
  launcher.show();
  EXPECT_EQ(launcher.windowTitle(), "ZA-Rirevo");
  EXPECT_EQ(launcher.backup_button()->text(), "ZA-Rirevo\nVers.6.8.1");
  EXPECT_EQ(launcher.software_button()->text(), "DAXOR2D");
  launcher.software_button()->click();
  EXPECT_EQ(launcher.software_button()->text(), "TRELUN");
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR2D");  // taken over only by Backup
  QTest::keyClick(&launcher, Qt::Key_Return);
  EXPECT_TRUE(opened);
  EXPECT_EQ(program_.SelectedSoftware, "TRELUN");
}

TEST_F(WindowsTest, FileItemClickTogglesAndReopensItsSubmenu) {
  Start("DAXOR2D");
  ASSERT_FALSE(Action("Menu214")->isChecked());
  Click("Menu214");
  EXPECT_TRUE(program_.menus.Menu214.checked);
  EXPECT_TRUE(Action("Menu214")->isChecked());
  EXPECT_TRUE(window_->menu("Menu2")->isVisible());
  EXPECT_TRUE(window_->menu("Menu21")->isVisible());
  EXPECT_FALSE(window_->menu("Menu22")->isVisible());

  // A second item in a row, from the re-opened submenu, and back again.
  Click("Menu211");
  EXPECT_FALSE(Action("Menu211")->isChecked());
  Click("Menu214");
  EXPECT_FALSE(Action("Menu214")->isChecked());
  CloseMenus();

  Click("Menu241");
  EXPECT_TRUE(Action("Menu241")->isChecked());
  EXPECT_TRUE(window_->menu("Menu24")->isVisible());
  EXPECT_FALSE(window_->menu("Menu21")->isVisible());
  CloseMenus();
}

// Which items Tutti checks is tested in base_form_test.cpp; here every
// action follows, not only the one clicked.
TEST_F(WindowsTest, TuttiChecksEveryEnabledFileItemOnly) {
  Start("PLOVIK");
  Click("Menu25");
  EXPECT_TRUE(Action("Menu213")->isChecked());
  ExpectMenusShowState(*window_, program_);
  EXPECT_TRUE(window_->menu("Menu2")->isVisible());
  EXPECT_FALSE(window_->menu("Menu21")->isVisible());
  CloseMenus();
}

TEST_F(WindowsTest, CompressionItemsAreExclusive) {
  Start("DAXOR2D");
  Click("Menu311");
  EXPECT_EQ(program_.ZipMode, ZipTarget::kNone);
  ExpectMenusShowState(*window_, program_);
  EXPECT_TRUE(Action("Menu311")->isChecked());
  EXPECT_TRUE(window_->menu("Menu31")->isVisible());
  // Clicking the checked item again keeps it checked (Qt would untick it).
  Click("Menu311");
  EXPECT_TRUE(Action("Menu311")->isChecked());
  Click("Menu313");
  EXPECT_EQ(program_.ZipMode, ZipTarget::kCustomerFolder);
  EXPECT_FALSE(Action("Menu311")->isChecked());
  CloseMenus();
}

TEST_F(WindowsTest, BackupFolderPickerAsksAgainWhilePathHoldsABlank) {
  Start("DAXOR2D");
  picks_ = {"C:\\MY BACKUPS", "D:\\", "unused"};
  Click("Menu331");
  ASSERT_EQ(prompts_.size(), 2u);
  EXPECT_EQ(prompts_[0], "Selezionare la cartella dove eseguire la copia di Backup :");
  EXPECT_EQ(program_.BackupPath, "D:\\");
  EXPECT_EQ(Action("Menu331")->text().toStdString(), "Backup Cliente: D:\\");
  EXPECT_TRUE(window_->menu("Menu33")->isVisible());
  CloseMenus();

  // A cancelled server picker leaves the root and its caption as they were.
  picks_.clear();
  const QString server_caption = Action("Menu3322")->text();
  program_.ProductTable[kTrelun].ServerFolder = "S:\\T\\";
  Click("Menu3322");
  EXPECT_EQ(Action("Menu3322")->text(), server_caption);
  EXPECT_EQ(program_.ProductTable[kTrelun].ServerFolder, "S:\\T\\");
  EXPECT_TRUE(window_->menu("Menu332")->isVisible());
  CloseMenus();
}

TEST_F(WindowsTest, CustomerBoxEnablesOkAndEsciEndsTheProgramSavingSettings) {
  Start("DAXOR2D");
  window_->customer_box()->setText("ROSSI");
  EXPECT_EQ(program_.main.NomeCliente, "ROSSI");
  EXPECT_TRUE(window_->ok_button()->isEnabled());
  window_->customer_box()->clear();
  EXPECT_FALSE(window_->ok_button()->isEnabled());

  window_->exit_button()->click();
  EXPECT_TRUE(ui_.ended());
  EXPECT_TRUE(world_.Exists("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI"));
  // After the end nothing waits for the user any more.
  EXPECT_THROW(ui_.ShowMessageBox({"x", "", Buttons::kOk, false}), ProgramEnded);
}

TEST_F(WindowsTest, DuringABackupOnlyStopAndEsciAct) {
  Start("DAXOR2D");
  world_.WriteFile("C:\\ORVEL\\DAXOR\\NOTE.TXT", "note\r\n");
  window_->customer_box()->setText("ROSSI");
  bool ok_enabled = true, menus_enabled = true, stop_enabled = false, nested_run = false;
  // Runs while the job lets the window process input between two files.
  QTimer::singleShot(0, [&] {
    ok_enabled = window_->ok_button()->isEnabled();
    menus_enabled = window_->menuBar()->isEnabled();
    stop_enabled = window_->stop_button()->isEnabled();
    const bool was_checked = program_.menus.Menu214.checked;
    window_->action("Menu214")->trigger();  // ignored: no selection change mid-job
    nested_run = program_.menus.Menu214.checked != was_checked;
    emit window_->customer_box()->returnPressed();  // no second job
    window_->stop_button()->click();
  });
  window_->ok_button()->click();
  EXPECT_FALSE(ok_enabled);
  EXPECT_FALSE(menus_enabled);
  EXPECT_TRUE(stop_enabled);
  EXPECT_FALSE(nested_run);
  EXPECT_FALSE(Action("Menu214")->isChecked());
  EXPECT_FALSE(program_.BackupRunning);
  int stops = 0;
  for (QTextBlock block = window_->message_view()->document()->begin(); block.isValid();
       block = block.next()) {
    if (block.text() == "Copia fermata dall'utente") ++stops;
  }
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(window_->menuBar()->isEnabled());
}

// ESCI (false) or the close box (true) in the middle of a backup: the job is
// stopped and cleans up before the program ends.
class EndDuringBackupTest : public WindowsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EndDuringBackupTest, StopsTheJobBeforeTheEnd) {
  const bool close_box = GetParam();
  Start("DAXOR2D");
  window_->customer_box()->setText("ROSSI");
  bool tmp_seen = false, ended_early = true;
  QTimer::singleShot(0, [&] {
    tmp_seen = world_.Exists("C:\\ORVEL\\DAXOR\\~TMPZIP");
    if (close_box) {
      window_->close();
    } else {
      window_->exit_button()->click();
    }
    ended_early = ui_.ended();
  });
  window_->ok_button()->click();
  EXPECT_TRUE(tmp_seen);
  EXPECT_FALSE(ended_early);
  EXPECT_TRUE(ui_.ended());
  EXPECT_FALSE(world_.Exists("C:\\ORVEL\\DAXOR\\~TMPZIP"));
  EXPECT_FALSE(world_.Exists("A:\\ROSSI"));
}

INSTANTIATE_TEST_SUITE_P(EsciAndCloseBox, EndDuringBackupTest, ::testing::Bool());

TEST_F(WindowsTest, MessageLinesKeepTheirColourAndSetTheBackground) {
  Start("DAXOR2D");
  MessageView* view = window_->message_view();
  const int blocks_before = view->document()->blockCount();
  WriteMessageLine(program_, "C:\\ORVEL\\DAXOR\\A.MAC", false, program_.ColorBlue, false);
  EXPECT_EQ(view->background(), kBackgroundNormal);
  WriteMessageLine(program_, "Allarme", true, program_.ColorRed, false);
  EXPECT_EQ(view->background(), kBackgroundAlarm);
  EXPECT_EQ(FromQColor(view->palette().color(QPalette::Base)), kBackgroundAlarm);
  WriteMessageLine(program_, "B.MAC", false, program_.ColorGreen, true);

  QTextBlock last = view->document()->lastBlock();
  EXPECT_EQ(last.text().toStdString(), std::string("B.MAC") + kZipOnlySuffix);
  EXPECT_EQ(FromQColor(last.begin().fragment().charFormat().foreground().color()), Rgb(0, 128, 0));
  QTextBlock alarm = last.previous();
  EXPECT_EQ(alarm.text(), "Allarme");
  EXPECT_EQ(FromQColor(alarm.begin().fragment().charFormat().foreground().color()), Rgb(128, 0, 0));
  EXPECT_EQ(view->background(), kBackgroundZipOnly);
  EXPECT_GE(view->document()->blockCount(), blocks_before + 2);
  // The user's caret elsewhere does not move where lines go.
  QTextCursor caret(view->document());
  caret.movePosition(QTextCursor::Start);
  view->setTextCursor(caret);
  WriteMessageLine(program_, "ultima", false, program_.ColorBlack, false);
  EXPECT_EQ(view->document()->lastBlock().text(), "ultima");
  // Once the window looks at its events, a long burst of lines ends in view.
  view->resize(300, 100);
  for (int i = 0; i < 200; ++i)
    WriteMessageLine(program_, "riga", false, program_.ColorBlue, false);
  ui_.ProcessPendingInput();
  EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
}

TEST(QtUiTest, LinesWrittenBeforeTheAreaExistsAreShownWhenItAppears) {
  QtUi ui;
  ui.AppendMessageLine("prima", Rgb(0, 0, 128));
  ui.SetMessageBackground(kBackgroundAlarm);
  MessageView view;
  ui.set_message_view(&view);
  EXPECT_EQ(view.document()->lastBlock().text(), "prima");
  EXPECT_EQ(view.background(), kBackgroundAlarm);
  ui.set_message_view(nullptr);
}

TEST(QtUiTest, MessageBoxShowsExactTextTitleAndNoIcon) {
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::Critical;
  int buttons = 0;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Cancel)->click();
  });
  const Answer answer =
      ShowQtMessageBox({"A:\\\rNon esiste il file\r<fine>", "", Buttons::kOkCancel, true}, nullptr);
  EXPECT_EQ(answer, Answer::kCancel);
  EXPECT_EQ(text, "A:\\\nNon esiste il file\n<fine>");
  EXPECT_EQ(title, "ZA-Rirevo");
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(buttons, 2);
}

TEST(FolderPickerTest, AnswersWindowsPathsOfMappedFoldersOnly) {
  TestWorld world;
  world.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  Platform& platform = world.platform();
  std::vector<std::string> roots;
  for (const MappedRoot& root : MappedRoots(platform)) roots.push_back(root.windows_path);
  ASSERT_GE(roots.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(roots.begin(), roots.begin() + 3),
            (std::vector<std::string>{"A:\\", "C:\\", "D:\\"}));

  EXPECT_EQ(PickedFolder(platform, world.Host("A:\\")), "A:\\");
  EXPECT_EQ(PickedFolder(platform, world.Host("C:\\KYCONFIG\\SYSTEM")), "C:\\KYCONFIG\\SYSTEM");
  EXPECT_EQ(PickedFolder(platform, world.Host("C:\\KYCONFIG") + "/"), "C:\\KYCONFIG");
  EXPECT_EQ(PickedFolder(platform, "/nowhere/outside/the/map"), "");
  EXPECT_EQ(PickedFolder(platform, ""), "");

  // The dialog itself: the first drive is the answer until a folder is chosen.
  FolderPickerDialog dialog(platform, "Selezionare la cartella dov'\xC3\xA8 installato Daxor:");
  EXPECT_EQ(dialog.SelectedFolder(), "A:\\");
  dialog.SelectRoot(1);
  EXPECT_EQ(dialog.SelectedFolder(), "C:\\");
  dialog.SelectHostFolder(world.Host("C:\\KYCONFIG\\SYSTEM"));
  EXPECT_EQ(dialog.SelectedFolder(), "C:\\KYCONFIG\\SYSTEM");
}

TEST(HelpWindowTest, LayoutIsTheSameAfterEveryResizeAndNeverNegative) {
  HelpWindow help;
  help.set_dpi(96);
  EXPECT_EQ(help.windowTitle(), "Help");
  help.resize(640, 600);
  help.show();
  QApplication::processEvents();
  const QRect first = help.note_label(1)->geometry();
  EXPECT_EQ(first.width(), 640 - 12);  // (9600 - 180) twips
  EXPECT_EQ(first.height(), 133);      // 2000 twips
  EXPECT_EQ(help.note_label(0)->text().toStdString(), "NOTE SULL'INSTALLAZIONE");
  EXPECT_TRUE(help.note_label(2)->text().contains("\n[PATH]\nKYSYSTEM=c:\\kyconfig\\system"));

  help.resize(300, 500);
  QApplication::processEvents();
  help.resize(640, 600);
  QApplication::processEvents();
  EXPECT_EQ(help.note_label(1)->geometry(), first);
  EXPECT_EQ(help.layout_twips(), LayoutHelpForm(9600, help.layout_twips().title.height,
                                                help.layout_twips().notes[0].height));

  help.set_dpi(96);
  help.resize(8, 500);  // 120 twips: narrower than the margin
  QApplication::processEvents();
  EXPECT_EQ(help.layout_twips().notes[4].width, 0);
  EXPECT_EQ(help.note_label(4)->width(), 0);
}

TEST(MenuPathTest, KeysOpenTheirSubmenus) {
  EXPECT_EQ(MenuPathForKeys("%TF"), (std::vector<std::string>{"Menu2", "Menu21"}));
  EXPECT_EQ(MenuPathForKeys("%CPS"), (std::vector<std::string>{"Menu3", "Menu33", "Menu332"}));
  EXPECT_TRUE(MenuPathForKeys("%X").empty());
}

}  // namespace
}  // namespace zr::qt

int main(int argc, char** argv) {
  // No display needed: the offscreen platform unless one is chosen.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
