// za-rirevo.exe: the windows on Windows. The command line after the program
// name is the program's command line ("/Fc:\kyconfig\system"). With
// ZARIREVO_DRIVES each named drive letter stands for a Windows folder
// (platform/host_platform.h).
//
// ZARIREVO_SCREENSHOT_DIR=<folder> walks through the windows once (launcher,
// main window, two menus open, help, a customer backup, maximized) and quits
// without saving settings: after each step it writes "<picture>.ready" there and
// waits until that file is gone, so that a script outside (under Xvfb) can
// take the picture (scripts/screenshot-windows).
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/program.h"
#include "platform/host_clock.h"
#include "platform/host_platform.h"
#include "platform/win32_text.h"
#include "text/strings.h"
#include "ui/base_form.h"
#include "ui/win32/forms.h"
#include "ui/win32/win32_ui.h"

namespace {

// The walk of ZARIREVO_SCREENSHOT_DIR, driven by a timer that also fires
// inside menus and modal loops.
struct ScreenshotWalk {
  using Step = std::function<std::string()>;  // the picture to take after it ("" none)
  std::filesystem::path folder;
  std::vector<Step> steps;
  std::size_t index = 0;
  enum class Phase { kAct, kSettle, kWait } phase = Phase::kAct;
  std::uint64_t since = 0;
  std::string picture;
  bool acting = false;
  zr::win32::Win32Ui* ui = nullptr;
};
ScreenshotWalk* walk = nullptr;

// Passes the run's news on to the window's watcher and asks for a picture
// of the archive stage: as it begins (the window as the archiver finds it; a
// small archive may be done before its first wait), again once the archiver
// has been at work for a second. The window keeps painting until the
// picture is taken.
struct ArchiveShot : zr::RunWatcher {
  zr::RunWatcher* next = nullptr;
  std::filesystem::path folder;
  int shots = 0;
  std::uint64_t since = 0;
  void Changed(const zr::RunContext& run) override {
    if (next != nullptr) next->Changed(run);
    if (run.stage() != zr::Stage::kArchiving || shots != 0) return;
    shots = 1;
    Shoot();
    since = GetTickCount64();  // the archiver starts now
  }
  void Waiting(const zr::RunContext& run) override {
    if (next != nullptr) next->Waiting(run);
    if (run.stage() != zr::Stage::kArchiving || shots != 1 || GetTickCount64() - since < 1100) {
      return;
    }
    shots = 2;
    Shoot();
  }
  void Shoot() const {
    const std::filesystem::path marker = folder / "archiving.ready";
    std::ofstream(marker).put('\n');
    const std::uint64_t asked = GetTickCount64();
    while (std::filesystem::exists(marker) && GetTickCount64() - asked < 30000) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) zr::win32::DispatchOne(msg);
      Sleep(50);
    }
  }
};

void CALLBACK WalkTick(HWND, UINT, UINT_PTR, DWORD) {
  if (walk == nullptr || walk->acting || walk->ui->ended()) return;
  const std::uint64_t now = GetTickCount64();
  const std::filesystem::path marker = walk->folder / (walk->picture + ".ready");
  switch (walk->phase) {
    case ScreenshotWalk::Phase::kAct:
      if (walk->index >= walk->steps.size()) {
        walk->ui->MarkEnded();
        return;
      }
      walk->acting = true;
      walk->picture = walk->steps[walk->index]();
      walk->acting = false;
      walk->phase = ScreenshotWalk::Phase::kSettle;
      walk->since = GetTickCount64();
      return;
    case ScreenshotWalk::Phase::kSettle:
      if (now - walk->since < 800) return;
      if (walk->picture.empty()) {
        ++walk->index;
        walk->phase = ScreenshotWalk::Phase::kAct;
        return;
      }
      std::ofstream(walk->folder / (walk->picture + ".ready")).put('\n');
      walk->phase = ScreenshotWalk::Phase::kWait;
      walk->since = now;
      return;
    case ScreenshotWalk::Phase::kWait:
      if (std::filesystem::exists(marker) && now - walk->since < 30000) return;
      ++walk->index;
      walk->phase = ScreenshotWalk::Phase::kAct;
      return;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR wide_command_line, int) {
  const std::string command_line = zr::TrimBlanks(zr::win32::Narrow(wide_command_line));
  if (const auto text = zr::InformationRequest(command_line)) {
    // A windowed program has no console of its own: the one it was started from.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) std::freopen("CONOUT$", "w", stdout);
    std::fputs(text->c_str(), stdout);
    std::fflush(stdout);
    return 0;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  zr::win32::RegisterWindowClasses();

  std::unique_ptr<zr::Platform> host = zr::CreateHostPlatform(zr::DriveMap::FromEnvironment());
  zr::win32::Win32Ui ui;
  zr::win32::WaitCursorPlatform platform(*host);
  zr::Program program(platform, ui);
  ui.set_folder_picker([&platform](const std::string& prompt) {
    return zr::win32::PickFolderWithDialog(platform, prompt, GetActiveWindow());
  });
  const std::string screenshots = zr::HostEnvironment("ZARIREVO_SCREENSHOT_DIR");
  if (!screenshots.empty()) {
    // No modal box may stop the walk: each is printed and given its default answer.
    ui.set_box_handler([](const zr::MessageBoxRequest& box) {
      std::fprintf(stderr, "[%s]\n%s\n",
                   box.title.empty() ? zr::kApplicationTitle : box.title.c_str(), box.text.c_str());
      return box.buttons == zr::Buttons::kOk      ? zr::Answer::kOk
             : box.buttons == zr::Buttons::kYesNo ? zr::Answer::kNo
                                                  : zr::Answer::kCancel;
    });
  }
  if (!zr::win32::RunHandler(ui, [&] { zr::StartProgram(program, command_line); })) {
    CoUninitialize();
    return 0;
  }

  std::unique_ptr<zr::win32::MainWindow> main_window;
  auto launcher = std::make_unique<zr::win32::LauncherWindow>(
      program, ui, [&main_window](zr::win32::MainWindow* window) { main_window.reset(window); });
  ShowWindow(launcher->hwnd(), SW_SHOW);

  ScreenshotWalk screenshot_walk;
  if (!screenshots.empty()) {
    screenshot_walk.folder = zr::win32::Widen(screenshots);
    screenshot_walk.ui = &ui;
    auto main = [&main_window] { return main_window.get(); };
    screenshot_walk.steps = {
        [&] {
          SetWindowPos(launcher->hwnd(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
          return std::string("launcher");
        },
        [&, main] {
          launcher->BackupClicked();
          if (main() == nullptr) return std::string();
          SetWindowPos(main()->hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
          return std::string("main");
        },
        [main] {
          if (main() != nullptr) main()->OpenMenus(zr::MenuPathTo("Menu211"));
          return std::string("menu-filetocopy");
        },
        [main] {
          EndMenu();
          if (main() != nullptr) main()->OpenMenus(zr::MenuPathTo("Menu3321"));
          return std::string("menu-percorsi");
        },
        [main] {
          EndMenu();
          if (main() == nullptr) return std::string();
          main()->Handle("Menu41");
          if (main()->help_window() != nullptr) {
            SetWindowPos(main()->help_window()->hwnd(), nullptr, 80, 20, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
          }
          return std::string("help");
        },
        [main, &program] {
          if (main() == nullptr) return std::string();
          if (main()->help_window() != nullptr) ShowWindow(main()->help_window()->hwnd(), SW_HIDE);
          // A customer backup on the demo installation, for the message area.
          main()->set_customer("DEMO");
          // The archive stage, pictured while the archiver works.
          ArchiveShot shot;
          shot.next = program.run.watcher;
          shot.folder = walk->folder;
          program.run.watcher = &shot;
          main()->Handle("OK_B");
          program.run.watcher = shot.next;
          return std::string("backup");
        },
        [main] {
          // Every control painted again over the larger window.
          if (main() != nullptr) ShowWindow(main()->hwnd(), SW_MAXIMIZE);
          return std::string("maximized");
        },
    };
    walk = &screenshot_walk;
    SetTimer(nullptr, 0, 100, WalkTick);
  }

  MSG msg;
  while (!ui.ended() && GetMessageW(&msg, nullptr, 0, 0) > 0) zr::win32::DispatchOne(msg);
  walk = nullptr;
  main_window.reset();
  launcher.reset();
  CoUninitialize();
  return 0;
}
