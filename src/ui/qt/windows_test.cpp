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
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <tuple>

#include "app/message_area.h"
#include "app/startup.h"
#include "tests/installations.h"
#include "tests/run_program.h"
#include "tests/ui_test_world.h"
#include "ui/qt/base_form_window.h"
#include "ui/qt/folder_picker.h"
#include "ui/qt/help_window.h"
#include "ui/qt/launcher_window.h"
#include "ui/qt/message_view.h"
#include "ui/qt/qt_ui.h"

namespace zr::qt {
namespace {

using zr::testing::UiTestWorld;

// A started program on a world: launcher, Backup, main window. The rules
// are tested below the windows (ui/base_form_test.cpp): here only what the
// view does with them.
class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() : program_(world_.platform(), ui_) {
    // The end of the program must not stop the event loops of later tests.
    ui_.set_end_action([] {});
    ui_.set_box_handler([this](const MessageBoxRequest& box) {
      if (++boxes_ > 20) throw std::runtime_error("message box loop");
      return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kCancel;
    });
    ui_.set_folder_picker([this](const std::string&) { return pick_; });
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  }

  std::string Install(const std::string& product) {
    return testing::InstallForTheWindows(world_, product);
  }

  // Starts as the executable does: the launcher, its product button clicked
  // `steps` times, then Enter.
  BaseFormWindow& Start(const std::string& product, int steps = 0) {
    const std::string command_line = Install(product);
    EXPECT_TRUE(RunHandler(ui_, [&] { StartProgram(program_, command_line); }));
    LauncherWindow launcher(program_, ui_, [this] {
      window_ = std::make_unique<BaseFormWindow>(program_, ui_);
      return window_.get();
    });
    launcher.show();
    EXPECT_EQ(launcher.windowTitle() + " " + launcher.backup_button()->text(),
              "ZA-Rirevo ZA-Rirevo\nVers.6.8.1");
    EXPECT_FALSE(launcher.software_button()->toolTip().isEmpty());
    EXPECT_FALSE(launcher.backup_button()->toolTip().isEmpty());
    for (int i = 0; i < steps; ++i) launcher.software_button()->click();
    EXPECT_EQ(launcher.software_button()->text().toStdString(), product);
    // Enter presses Backup wherever the focus is.
    QTest::keyClick(launcher.software_button(), Qt::Key_Return);
    if (window_ == nullptr) throw std::runtime_error("no main window");
    EXPECT_EQ(program_.SelectedSoftware, product);
    QApplication::processEvents();
    return *window_;
  }

  // Clicks a menu item as the user does, then lets queued work run.
  void Click(const char* name) {
    window_->action(name)->trigger();
    QApplication::processEvents();
  }
  // The submenus open now, bar menu first.
  std::vector<std::string> OpenMenus() const {
    std::vector<std::string> open;
    for (const MenuEntry& entry : MenuTree()) {
      if (QMenu* menu = window_->menu(entry.name); menu && menu->isVisible())
        open.push_back(entry.name);
    }
    return open;
  }

  // Every menu item shows exactly the program's caption, Enabled and Checked.
  void ExpectMenusShowState() const {
    for (const MenuEntry& entry : MenuTree()) {
      const MenuItem& item = program_.menus.*entry.item;
      QAction* action = window_->action(entry.name);
      ASSERT_NE(action, nullptr) << entry.name;
      QMenu* menu = window_->menu(entry.name);
      EXPECT_EQ(std::make_tuple((menu ? menu->title() : action->text()).toStdString(),
                                action->isEnabled(),
                                action->isCheckable() ? action->isChecked() : item.checked),
                std::make_tuple(item.caption, item.enabled, item.checked))
          << entry.name;
    }
  }

  UiTestWorld world_;
  QtUi ui_;
  Program program_;
  std::unique_ptr<BaseFormWindow> window_;
  int boxes_ = 0;
  std::string pick_;  // the folder picker's answer
};

// The view renders the model: every menu item, the caption, the buttons.
// The launcher's product button and Enter, typing in the name box and ESCI
// reach the commands (TRELUN is reached by one click of the product button).
TEST_F(WindowsTest, ShowsTheStateTypingEnablesOkAndEsciEnds) {
  Install("DAXOR2D");
  BaseFormWindow& window = Start("TRELUN", 1);
  ExpectMenusShowState();
  EXPECT_EQ(window.windowTitle(), "ZA-Rirevo Vers. 6.8.1");
  EXPECT_FALSE(window.ok_button()->isEnabled() || window.stop_button()->isEnabled());
  EXPECT_EQ(window.software_button()->text().toStdString(), "TRELUN");
  window.customer_box()->setText("ROSSI");
  EXPECT_EQ(program_.main.NomeCliente, "ROSSI");
  EXPECT_TRUE(window.ok_button()->isEnabled());
  window.customer_box()->clear();
  EXPECT_FALSE(window.ok_button()->isEnabled());
  window.exit_button()->click();
  EXPECT_TRUE(ui_.ended());
  // After the end nothing waits for the user any more.
  EXPECT_THROW(ui_.ShowMessageBox({"x", "", Buttons::kOk, false}), ProgramEnded);
}

// Each click reaches the commands, the menus show the new state (a checked
// compression item clicked again stays checked: Qt would untick it) and the
// menus the keys name open again, two or three levels deep.
TEST_F(WindowsTest, MenuClicksShowTheNewStateAndReopenTheirMenus) {
  Start("DAXOR2D");
  pick_ = "D:\\";
  using Open = std::vector<std::string>;
  for (const auto& [click, open] :
       std::vector<std::pair<const char*, Open>>{{"Menu214", {"Menu2", "Menu21"}},
                                                 {"Menu241", {"Menu2", "Menu24"}},
                                                 {"Menu25", {"Menu2"}},
                                                 {"Menu311", {"Menu3", "Menu31"}},
                                                 {"Menu311", {"Menu3", "Menu31"}},
                                                 {"Menu331", {"Menu3", "Menu33"}},
                                                 {"Menu3322", {"Menu3", "Menu33", "Menu332"}}}) {
    Click(click);
    EXPECT_EQ(OpenMenus(), open) << click;
    ExpectMenusShowState();
  }
  EXPECT_EQ(program_.BackupPath, "D:\\");
}

// During a backup the view shows the job running (OK, the menu bar and the
// product button off, STOP on, the name box read-only) and its STOP key,
// ESCI and close box reach the commands, which stop the job (the rules
// themselves: ui/main_window_test.cpp).
class DuringABackupTest : public WindowsTest, public ::testing::WithParamInterface<int> {};

TEST_P(DuringABackupTest, ShowsTheJobAndStopEsciAndTheCloseBoxAct) {
  Start("DAXOR2D");
  world_.WriteFile("C:\\ORVEL\\DAXOR\\NOTE.TXT", "note\r\n");
  window_->customer_box()->setText("ROSSI");
  std::vector<bool> seen;  // OK, menu bar, product button, STOP enabled; read-only
  // Runs while the job lets the window process input between two files.
  QTimer::singleShot(0, [&] {
    seen = {window_->ok_button()->isEnabled(), window_->menuBar()->isEnabled(),
            window_->software_button()->isEnabled(), window_->stop_button()->isEnabled(),
            window_->customer_box()->isReadOnly()};
    window_->action("Menu214")->trigger();          // refused mid-job
    emit window_->customer_box()->returnPressed();  // no second job
    if (GetParam() == 0) {                          // STOP by its key
      QApplication::setActiveWindow(window_.get());
      QTest::keySequence(window_.get(), QKeySequence(Qt::Key_Escape));
    }
    if (GetParam() == 1) window_->exit_button()->click();
    if (GetParam() == 2) window_->close();
    // ESCI, once pressed, shows that the exit is on its way.
    if (GetParam() == 1) {
      EXPECT_FALSE(window_->exit_button()->isEnabled());
    }
  });
  window_->ok_button()->click();
  EXPECT_EQ(seen, (std::vector<bool>{false, false, false, true, true}));
  EXPECT_EQ(window_->message_view()->toPlainText().count("Copia fermata dall'utente"), 1);
  EXPECT_FALSE(program_.menus.Menu214.checked);
  EXPECT_EQ(ui_.ended(), GetParam() != 0);
  if (GetParam() == 0) {
    EXPECT_TRUE(window_->menuBar()->isEnabled() && !window_->stop_button()->isEnabled());
    ExpectMenusShowState();
  }
}

INSTANTIATE_TEST_SUITE_P(StopEsciCloseBox, DuringABackupTest, ::testing::Values(0, 1, 2));

TEST_F(WindowsTest, MessageLinesKeepTheirColourAndSetTheBackground) {
  Start("DAXOR2D");
  MessageView* view = window_->message_view();
  WriteMessageLine(program_, "C:\\ORVEL\\DAXOR\\A.MAC", false, program_.ColorBlue, false);
  EXPECT_EQ(view->background(), kBackgroundNormal);
  // The user's caret elsewhere does not move where the next burst of lines goes.
  QApplication::processEvents();
  QTextCursor caret(view->document());
  caret.movePosition(QTextCursor::Start);
  view->setTextCursor(caret);
  WriteMessageLine(program_, "Allarme", true, program_.ColorRed, false);
  EXPECT_EQ(FromQColor(view->palette().color(QPalette::Base)), kBackgroundAlarm);
  WriteMessageLine(program_, "B.MAC", false, program_.ColorGreen, true);
  EXPECT_EQ(view->background(), kBackgroundZipOnly);
  std::vector<std::pair<std::string, Color>> lines;
  for (QTextBlock block = view->document()->lastBlock(); lines.size() < 3;
       block = block.previous()) {
    const QColor colour = block.begin().fragment().charFormat().foreground().color();
    lines.insert(lines.begin(), {block.text().toStdString(), FromQColor(colour)});
  }
  EXPECT_EQ(lines, (std::vector<std::pair<std::string, Color>>{
                       {"C:\\ORVEL\\DAXOR\\A.MAC", Rgb(0, 0, 128)},
                       {"Allarme", Rgb(128, 0, 0)},
                       {std::string("B.MAC") + kZipOnlySuffix, Rgb(0, 128, 0)}}));
  // Once the window looks at its events, a long burst of lines ends in view.
  view->resize(300, 100);
  for (int i = 0; i < 200; ++i)
    WriteMessageLine(program_, "riga", false, program_.ColorBlue, false);
  ui_.ProcessPendingInput();
  EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
}

// After a short list (a few lines more than the view holds) and a long one,
// the view shows the last line and the thumb sits at the bottom of its
// groove, drawn darker than the groove (a white thumb on a light grey groove
// read as the groove, and the list seemed to scroll the wrong way).
TEST(QtUiTest, ScrollBarShowsTheEndOfShortAndLongLists) {
  for (const int lines : {28, 300}) {
    MessageView view;
    view.resize(300, 250);
    view.show();
    for (int i = 0; i < lines; ++i) view.AppendLine("riga " + std::to_string(i), Rgb(0, 0, 128));
    QApplication::processEvents();  // the burst of lines is laid out
    QApplication::processEvents();  // the scroll bar appears
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible()) << lines;
    ASSERT_GT(bar->maximum(), 0) << lines;
    EXPECT_EQ(bar->value(), bar->maximum()) << lines;
    EXPECT_EQ(view.cursorForPosition(QPoint(2, 2)).blockNumber(), bar->value()) << lines;
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                     QStyle::SC_ScrollBarSlider, bar);
    EXPECT_GT(thumb.top(), bar->height() / 4) << lines;
    EXPECT_GT(thumb.bottom(), bar->height() - 8) << lines;
    const QImage picture = bar->grab().toImage();
    const int groove = qGray(picture.pixel(bar->width() / 2, 3));
    const int drawn = qGray(picture.pixel(bar->width() / 2, thumb.center().y()));
    EXPECT_LT(drawn + 60, groove) << lines;
  }
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
  QStringList shown;  // text, title, icon, buttons
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = {box->text(), box->windowTitle(), QString::number(box->icon()),
             QString::number(box->buttons().size())};
    box->button(QMessageBox::Cancel)->click();
  });
  EXPECT_EQ(
      ShowQtMessageBox({"A:\\\rNon esiste il file\r<fine>", "", Buttons::kOkCancel, true}, nullptr),
      Answer::kCancel);
  EXPECT_EQ(shown, QStringList({"A:\\\nNon esiste il file\n<fine>", "ZA-Rirevo",
                                QString::number(QMessageBox::NoIcon), "2"}));
  // The buttons speak Italian, as the texts.
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = {box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text(),
             box->defaultButton()->text()};
    box->button(QMessageBox::Yes)->click();
  });
  MessageBoxRequest question{"Cancellare?", "", Buttons::kYesNo, false};
  question.default_no = true;  // Enter answers No
  EXPECT_EQ(ShowQtMessageBox(question, nullptr), Answer::kYes);
  EXPECT_EQ(shown, QStringList({QString::fromUtf8("&S\xC3\xAC"), "&No", "&No"}));
}

TEST(FolderPickerTest, AnswersWindowsPathsOfMappedFoldersOnly) {
  UiTestWorld world;
  world.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  Platform& platform = world.platform();
  std::vector<std::string> roots;
  for (const MappedRoot& root : MappedRoots(platform)) roots.push_back(root.windows_path);
  roots.resize(3);
  EXPECT_EQ(roots, (std::vector<std::string>{"A:\\", "C:\\", "D:\\"}));
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
  EXPECT_EQ(first.size(), QSize(640 - 12, 133));  // (9600 - 180) x 2000 twips
  for (const int width : {300, 640}) {
    help.resize(width, 500);
    QApplication::processEvents();
  }
  EXPECT_EQ(help.note_label(1)->geometry(), first);
  EXPECT_EQ(help.layout_twips(), LayoutHelpForm(9600, help.layout_twips().title.height,
                                                help.layout_twips().notes[0].height));
  help.resize(8, 500);  // 120 twips: narrower than the margin
  QApplication::processEvents();
  EXPECT_EQ(help.layout_twips().notes[4].width, 0);
  EXPECT_EQ(help.note_label(4)->width(), 0);
}

// The help window goes with the main window, speaks of Linux too, and
// closes by its button, Escape and Ctrl+W.
TEST_F(WindowsTest, HelpWindowBelongsToTheMainWindowAndCloses) {
  Start("DAXOR2D");
  Click("Menu41");
  HelpWindow* help = window_->help_window();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->parentWidget(), window_.get());
  EXPECT_TRUE(help->linux_label()->text().contains("ZARIREVO_DRIVES"));
  for (const QKeySequence& key :
       {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence()}) {
    Click("Menu41");
    ASSERT_TRUE(help->isVisible());
    QApplication::setActiveWindow(help);
    if (key.isEmpty()) {
      help->close_button()->click();
    } else {
      QTest::keySequence(help, key);
    }
    EXPECT_FALSE(help->isVisible()) << key.toString().toStdString();
  }
  EXPECT_GT(help->close_button()->geometry().top(), help->linux_label()->geometry().top());
}

// Without a display the windows say so in one line and end with status 1.
TEST(WindowsProgramTest, WithoutADisplayOneLineAndStatusOne) {
  const testing::ProgramRun run =
      testing::RunProgram({ZARIREVO_WINDOWS_PROGRAM, "/Fc:\\kyconfig\\system"},
                          {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out,
            "za-rirevo: no display to open the windows on (DISPLAY and WAYLAND_DISPLAY "
            "are not set); on a console use za-rirevo-cli\n");
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
