// za-rirevo: the windowed program. Its arguments after the program name are
// the program's command line ("/Fc:\kyconfig\system"). Drives are mapped to
// host folders by ZARIREVO_DRIVES (see platform/host_platform.h).
//
// ZARIREVO_SCREENSHOT_DIR=<folder> makes the program save pictures of its
// windows there (the launcher and a tooltip, the main window, its menus, help,
// the folder picker, a backup while its archiver runs, a short and a long
// message list, a question box) and quit without saving settings: for
// documentation and visual checks.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/program.h"
#include "platform/host_clock.h"
#include "platform/host_platform.h"
#include "ui/base_form.h"
#include "ui/qt/base_form_window.h"
#include "ui/qt/folder_picker.h"
#include "ui/qt/help_window.h"
#include "ui/qt/launcher_window.h"
#include "ui/qt/message_view.h"
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

// Passes the run's news on to the window's watcher and saves a picture of
// the archive stage: as it begins (the window as the archiver finds it; a
// small archive may be done before its first wait), again once the archiver
// has been at work for a second.
struct ArchiveShot : zr::RunWatcher {
  zr::RunWatcher* next = nullptr;
  std::function<void()> shoot;
  int shots = 0;
  QElapsedTimer since;
  void Changed(const zr::RunContext& run) override {
    if (next != nullptr) next->Changed(run);
    if (run.stage() != zr::Stage::kArchiving || shots != 0) return;
    shots = 1;
    shoot();
    since.start();  // the archiver starts now
  }
  void Waiting(const zr::RunContext& run) override {
    if (next != nullptr) next->Waiting(run);
    if (run.stage() != zr::Stage::kArchiving || shots != 1 || since.elapsed() < 1100) return;
    shots = 2;
    shoot();
  }
};

// Walks through the windows once, saving a picture after each step, then quits.
void RunScreenshots(const QString& folder, zr::qt::LauncherWindow* launcher,
                    zr::qt::BaseFormWindow** main_window, zr::qt::QtUi& ui,
                    zr::Platform& platform, zr::RunContext& run) {
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
  // Each step returns the picture to save after it ("" for none).
  using Step = std::function<QString()>;
  auto window = [main_window] { return *main_window; };
  auto picker = std::make_shared<zr::qt::FolderPickerDialog*>(nullptr);
  auto steps = std::make_shared<std::vector<Step>>(std::vector<Step>{
      [=] {
        launcher->move(40, 40);
        return QStringLiteral("launcher.png");
      },
      [=] {
        QPushButton* product = launcher->software_button();
        QToolTip::showText(product->mapToGlobal(QPoint(20, product->height() - 10)),
                           product->toolTip(), product);
        return QStringLiteral("launcher-tooltip.png");
      },
      [=, &ui] {
        launcher->backup_button()->click();
        if (ui.ended() || window() == nullptr) QApplication::exit(1);
        if (window() != nullptr) window()->move(0, 0);
        return QStringLiteral("main.png");
      },
      [=] {
        window()->OpenMenuPath({"Menu2", "Menu21"});
        return QStringLiteral("menu-filetocopy.png");
      },
      [=] {
        window()->menu("Menu2")->hide();
        window()->OpenMenuPath({"Menu3", "Menu31"});
        return QStringLiteral("menu-configurazione.png");
      },
      [=] {
        window()->menu("Menu3")->hide();
        window()->action("Menu41")->trigger();
        window()->help_window()->move(80, 20);
        return QStringLiteral("help.png");
      },
      [=, &platform] {
        window()->help_window()->close();
        *picker = new zr::qt::FolderPickerDialog(
            platform, "Selezionare la cartella dove eseguire la copia di Backup :", window());
        (*picker)->SelectRoot(1);
        (*picker)->move(120, 60);
        (*picker)->show();
        return QStringLiteral("picker.png");
      },
      [=, &run] {
        delete *picker;
        // A customer backup on the demo installation in a low window: a short
        // list of lines, a few of them out of view.
        window()->resize(760, 330);
        window()->customer_box()->setText(QStringLiteral("DEMO"));
        // The archive stage, pictured while the archiver works.
        ArchiveShot shot;
        shot.next = run.watcher;
        shot.shoot = [=] { SaveScreen(folder, QStringLiteral("archiving.png")); };
        run.watcher = &shot;
        window()->ok_button()->click();
        run.watcher = shot.next;
        return QStringLiteral("messages-short.png");
      },
      [=] {
        for (int i = 1; i <= 300; ++i) {
          window()->message_view()->AppendLine(
              "C:\\ORVEL\\VER14\\MAC\\M" + std::to_string(i) + ".MAC", zr::Rgb(0, 0, 128));
        }
        return QStringLiteral("messages-long.png");
      },
      [=] {
        // A question box, in Italian, saved while it waits and then answered No.
        QTimer::singleShot(400, [=] {
          SaveScreen(folder, QStringLiteral("question.png"));
          if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        zr::qt::ShowQtMessageBox(
            {"Cancellare tutto il contenuto di A:\\ ?", "", zr::Buttons::kYesNo, false}, window());
        return QString();
      },
  });
  auto next = std::make_shared<std::function<void(std::size_t)>>();
  *next = [=](std::size_t index) {
    if (index >= steps->size()) return QApplication::exit(0);
    QTimer::singleShot(400, [=] {
      const QString picture = (*steps)[index]();
      QTimer::singleShot(400, [=] {
        if (!picture.isEmpty()) SaveScreen(folder, picture);
        (*next)(index + 1);
      });
    });
  };
  (*next)(0);
}

// Qt ends a program that finds no display with an abort and advice to
// reinstall; the person at the terminal gets one line that says what is
// missing, and exit status 1.
constexpr const char* kNoDisplay =
    "za-rirevo: no display to open the windows on (DISPLAY and WAYLAND_DISPLAY %s); "
    "on a console use za-rirevo-cli\n";

void NoDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    // The platform plugin's own complaints are said by the line below.
    const bool platform = (context.category != nullptr &&
                           QLatin1String(context.category).startsWith(QLatin1String("qt.qpa"))) ||
                          message.contains(QStringLiteral("platform plugin"));
    if (!platform) std::fprintf(stderr, "%s\n", qPrintable(message));
    return;
  }
  std::fprintf(stderr, kNoDisplay, "name none that could be reached");
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  // --help and --version answer before Qt starts, so they need no display.
  if (const auto text = zr::InformationRequest(CommandLine(argc, argv))) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }
  if (zr::HostEnvironment("QT_QPA_PLATFORM").empty() && zr::HostEnvironment("DISPLAY").empty() &&
      zr::HostEnvironment("WAYLAND_DISPLAY").empty()) {
    std::fprintf(stderr, kNoDisplay, "are not set");
    return 1;
  }
  const QtMessageHandler qt_messages = qInstallMessageHandler(NoDisplayHandler);
  QApplication app(argc, argv);
  qInstallMessageHandler(qt_messages);
  // Qt's own texts (the text box's menu, the standard dialogs) in Italian,
  // from Debian's qt6-translations-l10n when it is installed.
  QTranslator qt_italian;
  if (qt_italian.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qt_italian);
  }
  QApplication::setApplicationName(QString::fromUtf8(zr::kApplicationTitle));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/za-rirevo.png")));
  QApplication::setQuitOnLastWindowClosed(false);  // the windows end the program themselves

  std::unique_ptr<zr::Platform> platform = zr::CreateHostPlatform(zr::DriveMap::FromEnvironment());
  zr::qt::QtUi ui;
  zr::Program program(*platform, ui);
  ui.set_folder_picker([&platform](const std::string& prompt) {
    return zr::qt::PickFolder(*platform, prompt, QApplication::activeWindow());
  });
  if (!zr::qt::RunHandler(ui, [&] { zr::StartProgram(program, CommandLine(argc, argv)); })) {
    return 0;
  }

  zr::qt::BaseFormWindow* main_window = nullptr;
  auto* launcher = new zr::qt::LauncherWindow(program, ui, [&]() -> QWidget* {
    main_window = new zr::qt::BaseFormWindow(program, ui);
    return main_window;
  });
  launcher->show();

  if (const std::string folder = zr::HostEnvironment("ZARIREVO_SCREENSHOT_DIR"); !folder.empty()) {
    RunScreenshots(QString::fromLocal8Bit(folder.c_str()), launcher, &main_window, ui, *platform,
                   program.run);
  }
  const int code = ui.ended() ? 0 : QApplication::exec();
  delete main_window;
  return code;
}
