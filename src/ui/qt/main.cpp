// za-rirevo: the windowed program. Its arguments after the program name are
// the program's command line ("/Fc:\kyconfig\system"). Drives are mapped to
// host folders by ZARIREVO_DRIVES (see platform/host_platform.h).
//
// ZARIREVO_SCREENSHOT_DIR=<folder> makes the program save pictures of its
// windows there (launcher, main window, the FileToCopy menu, help) and quit
// without saving settings: for documentation and visual checks.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/clock.h"
#include "app/program_state.h"
#include "app/startup.h"
#include "platform/host_platform.h"
#include "ui/qt/base_form_window.h"
#include "ui/qt/folder_picker.h"
#include "ui/qt/help_window.h"
#include "ui/qt/launcher_window.h"
#include "ui/qt/qt_ui.h"

namespace {

std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

void SaveScreen(const QString& folder, const QString& name) {
  QApplication::processEvents();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QString file = QDir(folder).filePath(name);
  if (!screen->grabWindow(0).save(file)) std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
}

// Walks through the windows once, saving a picture of each, then quits.
void RunScreenshots(const QString& folder, zr::qt::LauncherWindow* launcher,
                    zr::qt::BaseFormWindow** main_window, zr::qt::QtUi& ui) {
  QDir().mkpath(folder);
  // No modal box may stop the walk: each is printed and given its default answer.
  ui.set_box_handler([](const zr::MessageBoxRequest& box) {
    std::fprintf(stderr, "[%s]\n%s\n",
                 box.title.empty() ? zr::kApplicationTitle : box.title.c_str(),
                 qPrintable(zr::qt::DisplayText(box.text)));
    return box.buttons == zr::Buttons::kOk      ? zr::Answer::kOk
           : box.buttons == zr::Buttons::kYesNo ? zr::Answer::kNo
                                                : zr::Answer::kCancel;
  });
  QTimer::singleShot(300, [=, &ui] {
    launcher->move(40, 40);
    SaveScreen(folder, QStringLiteral("launcher.png"));
    launcher->backup_button()->click();
    if (ui.ended() || *main_window == nullptr) return QApplication::exit(1);
    zr::qt::BaseFormWindow* window = *main_window;
    window->move(0, 0);
    QTimer::singleShot(300, [=] {
      SaveScreen(folder, QStringLiteral("main.png"));
      window->OpenMenuPath({"Menu2", "Menu21"});
      QTimer::singleShot(300, [=] {
        SaveScreen(folder, QStringLiteral("menu-filetocopy.png"));
        window->menu("Menu2")->hide();
        window->OpenMenuPath({"Menu3", "Menu31"});
        QTimer::singleShot(300, [=] {
          SaveScreen(folder, QStringLiteral("menu-configurazione.png"));
          window->menu("Menu3")->hide();
          window->action("Menu41")->trigger();
          window->help_window()->move(80, 20);
          QTimer::singleShot(300, [=] {
            SaveScreen(folder, QStringLiteral("help.png"));
            window->help_window()->close();
            // A customer backup on the demo installation, for the message area.
            window->customer_box()->setText(QStringLiteral("DEMO"));
            window->ok_button()->click();
            QTimer::singleShot(300, [=] {
              SaveScreen(folder, QStringLiteral("backup.png"));
              QApplication::exit(0);
            });
          });
        });
      });
    });
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(zr::kApplicationTitle));
  QApplication::setQuitOnLastWindowClosed(false);  // the windows end the program themselves

  std::unique_ptr<zr::Platform> platform = zr::CreateHostPlatform(zr::DriveMap::FromEnvironment());
  zr::qt::QtUi ui;
  zr::Program program(*platform, ui);
  ui.set_folder_picker([&platform](const std::string& prompt) {
    return zr::qt::PickFolder(*platform, prompt, QApplication::activeWindow());
  });
  zr::LoadToday(program);

  if (!zr::qt::RunHandler(ui, [&] { zr::LauncherLoad(program, CommandLine(argc, argv)); })) {
    return 0;
  }

  zr::qt::BaseFormWindow* main_window = nullptr;
  auto* launcher = new zr::qt::LauncherWindow(program, ui, [&] {
    main_window = new zr::qt::BaseFormWindow(program, ui);
    // The window's load runs before it is shown, as for any form.
    if (main_window->Load()) main_window->show();
  });
  launcher->show();

  if (const char* folder = std::getenv("ZARIREVO_SCREENSHOT_DIR"); folder != nullptr && *folder) {
    RunScreenshots(QString::fromLocal8Bit(folder), launcher, &main_window, ui);
  }
  const int code = ui.ended() ? 0 : QApplication::exec();
  delete main_window;
  return code;
}
