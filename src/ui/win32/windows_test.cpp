// Tests of the Win32 windows (under Wine, or on Windows), over temporary
// worlds with small product installations. The windows are driven by the
// messages a user's clicks send (BM_CLICK, WM_COMMAND with a menu id,
// WM_SETTEXT) and what they show is read back from the controls and menus
// themselves; the rules are tested below the windows.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/message_area.h"
#include "platform/win32_text.h"
#include "tests/installations.h"
#include "tests/test_world.h"
#include "ui/base_form.h"
#include "ui/win32/forms.h"
#include "ui/win32/win32_ui.h"

namespace zr::win32 {
namespace {

using zr::testing::InstallDaxorFolder;
using zr::testing::InstallProduct;
using zr::testing::TestWorld;

// Runs what is queued for this thread's windows, as the program's loop does;
// the quit message of an ended program is dropped, so the next test's
// program does not end with it.
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) DispatchOne(msg);
  }
}

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), text.size())));
  return text;
}

// A call made the next time the windows look at their input: posted to a
// window of its own, so it runs at the first look of any loop (the job's
// between two files, a menu's, a message box's), after what was posted before.
std::function<void()> later_call;
LRESULT CALLBACK LaterProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_APP) return DefWindowProcW(hwnd, message, wparam, lparam);
  auto call = std::move(later_call);
  later_call = nullptr;
  if (call) call();
  return 0;
}
void Later(std::function<void()> call) {
  static HWND window = [] {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = LaterProcedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"ZARirevoTestLater";
    RegisterClassExW(&type);
    return CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           type.hInstance, nullptr);
  }();
  later_call = std::move(call);
  PostMessageW(window, WM_APP, 0, 0);
}

// Where a menu item sits in the real menus, found by walking the window's
// menu bar along the core's tree.
struct MenuPlace {
  HMENU owner = nullptr;
  int position = 0;
};

class Win32WindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterWindowClasses(); }

  Win32WindowsTest() : program_(world_.platform(), ui_) {
    Pump();
    ui_.set_box_handler([this](const MessageBoxRequest& box) {
      boxes_.push_back(box);
      if (boxes_.size() > 20) throw std::runtime_error("message box loop");
      return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kCancel;
    });
    ui_.set_folder_picker([](const std::string&) { return std::string(); });
    world_.MakeFolder("C:\\KYCONFIG\\SYSTEM");
  }
  ~Win32WindowsTest() override {
    window_.reset();
    Pump();
  }

  void Install(const std::string& product) {
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

  // Starts as za-rirevo.exe does and clicks the launcher's Backup.
  MainWindow& Start(const std::string& product) {
    Install(product);
    const std::string command_line =
        product == "DAXOR_OLD" ? "/FC:\\ORVEL\\VER14" : "/FC:\\KYCONFIG\\SYSTEM";
    EXPECT_TRUE(RunHandler(ui_, [&] { StartProgram(program_, command_line); }));
    LauncherWindow launcher(program_, ui_, [this](MainWindow* window) { window_.reset(window); });
    SendMessageW(GetDlgItem(launcher.hwnd(), kBackupId), BM_CLICK, 0, 0);
    EXPECT_NE(window_, nullptr);
    if (window_ == nullptr) throw std::runtime_error("no main window");
    // A real re-opening of the menus would wait in the menu's loop: the keys
    // are kept instead (MenuReopenWalksTheKeysPath opens them for real).
    ui_.set_menu_reopener([this](const std::string& keys) { reopened_.push_back(keys); });
    Pump();
    return *window_;
  }

  HWND Control(int id) const { return GetDlgItem(window_->hwnd(), id); }

  void Click(int id) {
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump();
  }

  void TypeCustomer(const wchar_t* text) {
    SendMessageW(Control(kCustomerId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    Pump();
  }

  MenuPlace Place(const std::string& name) const {
    std::map<std::string, MenuPlace> places;
    std::map<HMENU, int> counts;
    for (const MenuEntry& entry : MenuTree()) {
      MenuPlace place;
      if (entry.parent[0] == '\0') {
        place.owner = GetMenu(window_->hwnd());
      } else {
        const MenuPlace& parent = places.at(entry.parent);
        place.owner = GetSubMenu(parent.owner, parent.position);
      }
      place.position = counts[place.owner]++;
      if (entry.name == name) return place;
      places[entry.name] = place;
    }
    throw std::runtime_error("no menu item " + name);
  }

  // The item's state as the menu has it: MF_GRAYED, MF_CHECKED...
  UINT MenuState(const std::string& name) const {
    const MenuPlace place = Place(name);
    return GetMenuState(place.owner, place.position, MF_BYPOSITION) & 0xFF;
  }
  bool Checked(const std::string& name) const { return MenuState(name) & MF_CHECKED; }

  // A click on a menu command: its id sent as the menu sends it.
  void Command(const std::string& name, bool pump = true) {
    const MenuPlace place = Place(name);
    const UINT id = GetMenuItemID(place.owner, place.position);
    ASSERT_NE(id, static_cast<UINT>(-1)) << name << " is a submenu";
    SendMessageW(window_->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    if (pump) Pump();
  }

  // Every menu item shows exactly the program's caption (access keys
  // included), Enabled and Checked; while an operation runs the bar is off.
  void ExpectMenusShowState(bool busy = false) const {
    for (const MenuEntry& entry : MenuTree()) {
      const MenuItem& item = program_.menus.*entry.item;
      const MenuPlace place = Place(entry.name);
      ASSERT_NE(place.owner, nullptr) << entry.name;
      wchar_t caption[256] = L"";
      GetMenuStringW(place.owner, place.position, caption, 256, MF_BYPOSITION);
      EXPECT_EQ(Narrow(caption), item.caption) << entry.name;
      const bool on_bar = entry.parent[0] == '\0';
      EXPECT_EQ(!(MenuState(entry.name) & MF_GRAYED), item.enabled && !(busy && on_bar))
          << entry.name;
      EXPECT_EQ(Checked(entry.name), item.checked) << entry.name;
    }
  }

  // The lines of the message area with their colours, read from the RichEdit.
  std::vector<std::pair<std::string, COLORREF>> Lines() const {
    HWND area = Control(kAreaId);
    std::vector<std::pair<std::string, COLORREF>> lines;
    const int count = static_cast<int>(SendMessageW(area, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      const LONG start = static_cast<LONG>(SendMessageW(area, EM_LINEINDEX, i, 0));
      const LONG length = static_cast<LONG>(SendMessageW(area, EM_LINELENGTH, start, 0));
      std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
      TEXTRANGEW range{{start, start + length}, text.data()};
      SendMessageW(area, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
      text.resize(static_cast<std::size_t>(length));
      SendMessageW(area, EM_SETSEL, start, start + length);
      CHARFORMAT2W format{};
      format.cbSize = sizeof(format);
      SendMessageW(area, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      const bool one_colour = (format.dwMask & CFM_COLOR) && !(format.dwEffects & CFE_AUTOCOLOR);
      lines.emplace_back(Narrow(text), one_colour ? format.crTextColor : CLR_INVALID);
    }
    return lines;
  }

  // The area's background: EM_SETBKGNDCOLOR answers the one it replaces.
  COLORREF AreaBackground() const {
    HWND area = Control(kAreaId);
    const auto shown = static_cast<COLORREF>(SendMessageW(area, EM_SETBKGNDCOLOR, 0, 0));
    SendMessageW(area, EM_SETBKGNDCOLOR, 0, shown);
    return shown;
  }

  TestWorld world_;
  Win32Ui ui_;
  Program program_;
  std::unique_ptr<MainWindow> window_;
  std::vector<MessageBoxRequest> boxes_;
  std::vector<std::string> reopened_;
};

class MenuStatesTest : public Win32WindowsTest,
                       public ::testing::WithParamInterface<std::string> {};

TEST_P(MenuStatesTest, LoadShowsTheProductsState) {
  MainWindow& window = Start(GetParam());
  ExpectMenusShowState();
  EXPECT_EQ(TextOf(window.hwnd()), L"ZA-Rirevo Vers. 6.8.1");
  EXPECT_EQ(Narrow(TextOf(Control(kSoftwareId))), GetParam());
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(Control(kOkId)));
  EXPECT_FALSE(IsWindowEnabled(Control(kStopId)));
  EXPECT_TRUE(Checked("Menu312"));
  EXPECT_TRUE(MenuState("Menu3324") & MF_GRAYED);
}

INSTANTIATE_TEST_SUITE_P(Products, MenuStatesTest,
                         ::testing::Values("DAXOR2D", "PLOVIK", "TRELUN", "DAXOR_OLD"));

TEST_F(Win32WindowsTest, LauncherStepsProductsAndEnterOpensTheMainWindow) {
  Install("DAXOR2D");
  Install("TRELUN");
  ASSERT_TRUE(RunHandler(ui_, [&] { StartProgram(program_, "/FC:\\KYCONFIG\\SYSTEM"); }));
  LauncherWindow launcher(program_, ui_, [this](MainWindow* window) { window_.reset(window); });
  ShowWindow(launcher.hwnd(), SW_SHOW);
  HWND software = GetDlgItem(launcher.hwnd(), kSoftwareId);
  HWND backup = GetDlgItem(launcher.hwnd(), kBackupId);
  EXPECT_EQ(TextOf(launcher.hwnd()), L"ZA-Rirevo");
  EXPECT_EQ(TextOf(backup), L"ZA-Rirevo\r\nVers.6.8.1");
  EXPECT_EQ(TextOf(software), L"DAXOR2D");
  SendMessageW(software, BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(software), L"TRELUN");
  EXPECT_EQ(program_.SelectedSoftware, "DAXOR2D");  // taken over only by Backup
  // Enter on the launcher presses Backup, wherever the focus is.
  SetFocus(software);
  PostMessageW(software, WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  ASSERT_NE(window_, nullptr);
  EXPECT_EQ(program_.SelectedSoftware, "TRELUN");
  EXPECT_TRUE(IsWindowVisible(window_->hwnd()));
  EXPECT_FALSE(IsWindowVisible(launcher.hwnd()));
}

TEST_F(Win32WindowsTest, FileItemClickTogglesItsCheckAndAsksForItsSubmenu) {
  Start("DAXOR2D");
  ASSERT_FALSE(Checked("Menu214"));
  Command("Menu214");
  EXPECT_TRUE(program_.menus.Menu214.checked);
  EXPECT_TRUE(Checked("Menu214"));
  Command("Menu211");
  EXPECT_FALSE(Checked("Menu211"));
  Command("Menu214");
  EXPECT_FALSE(Checked("Menu214"));
  Command("Menu241");
  EXPECT_TRUE(Checked("Menu241"));
  EXPECT_EQ(reopened_, (std::vector<std::string>{"%TF", "%TF", "%TF", "%TU"}));
  // Tutti: every item follows, not only one.
  Command("Menu25");
  ExpectMenusShowState();
}

TEST_F(Win32WindowsTest, CompressionItemsAreExclusiveRadioItems) {
  Start("DAXOR2D");
  for (const auto& [click, zip] :
       std::vector<std::pair<std::string, ZipTarget>>{{"Menu311", ZipTarget::kNone},
                                                      {"Menu311", ZipTarget::kNone},
                                                      {"Menu313", ZipTarget::kCustomerFolder}}) {
    Command(click);
    EXPECT_EQ(program_.ZipMode, zip) << click;
    for (const char* item : {"Menu311", "Menu312", "Menu313"}) {
      EXPECT_EQ(Checked(item), click == item) << click << " then " << item;
      const MenuPlace place = Place(item);
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE;
      GetMenuItemInfoW(place.owner, place.position, TRUE, &info);
      EXPECT_TRUE(info.fType & MFT_RADIOCHECK) << item;
    }
  }
}

TEST_F(Win32WindowsTest, CustomerTextEnablesOkAndEsciEndsTheProgramSavingSettings) {
  Start("DAXOR2D");
  TypeCustomer(L"ROSSI");
  EXPECT_EQ(program_.main.NomeCliente, "ROSSI");
  EXPECT_TRUE(IsWindowEnabled(Control(kOkId)));
  TypeCustomer(L"");
  EXPECT_FALSE(IsWindowEnabled(Control(kOkId)));

  Click(kExitId);
  EXPECT_TRUE(ui_.ended());
  EXPECT_FALSE(IsWindowVisible(window_->hwnd()));
  EXPECT_TRUE(world_.Exists("C:\\KYCONFIG\\SYSTEM\\ZA-RIREVO.INI"));
  // After the end nothing waits for the user any more.
  EXPECT_THROW(ui_.ShowMessageBox({"x", "", Buttons::kOk, false}), ProgramEnded);
}

TEST_F(Win32WindowsTest, DuringABackupOnlyStopAndEsciAct) {
  Start("DAXOR2D");
  world_.WriteFile("C:\\ORVEL\\DAXOR\\NOTE.TXT", "note\r\n");
  TypeCustomer(L"ROSSI");
  bool ok_enabled = true, stop_enabled = false, running = false, toggled = false;
  // Runs while the job lets the window look at its input between two files.
  Later([&] {
    running = program_.BackupRunning;
    ok_enabled = IsWindowEnabled(Control(kOkId));
    stop_enabled = IsWindowEnabled(Control(kStopId));
    ExpectMenusShowState(true);
    const bool was_checked = program_.menus.Menu214.checked;
    Command("Menu214", false);  // ignored: no selection change mid-job
    toggled = program_.menus.Menu214.checked != was_checked;
    SendMessageW(Control(kCustomerId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"BIANCHI"));
    SetFocus(Control(kCustomerId));
    SendMessageW(window_->hwnd(), WM_COMMAND, IDOK, 0);  // Enter: no second job
    SendMessageW(Control(kStopId), BM_CLICK, 0, 0);
  });
  Click(kOkId);
  EXPECT_TRUE(running);
  EXPECT_FALSE(ok_enabled);
  EXPECT_TRUE(stop_enabled);
  EXPECT_FALSE(toggled);
  EXPECT_EQ(program_.main.NomeCliente, "ROSSI");
  EXPECT_FALSE(ui_.ended());
  int stops = 0;
  for (const auto& [text, colour] : Lines()) stops += text == "Copia fermata dall'utente";
  EXPECT_EQ(stops, 1);
  ExpectMenusShowState();
  EXPECT_FALSE(Checked("Menu214"));
  EXPECT_FALSE(world_.Exists("A:\\ROSSI"));
}

// ESCI (false) or the close box (true) in the middle of a backup: the job is
// stopped and cleans up before the program ends.
class EndDuringBackupTest : public Win32WindowsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EndDuringBackupTest, StopsTheJobBeforeTheEnd) {
  Start("DAXOR2D");
  TypeCustomer(L"ROSSI");
  bool tmp_seen = false, ended_early = true;
  Later([&] {
    tmp_seen = world_.Exists("C:\\ORVEL\\DAXOR\\~TMPZIP");
    if (GetParam()) {
      SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
    } else {
      SendMessageW(Control(kExitId), BM_CLICK, 0, 0);
    }
    ended_early = ui_.ended();
  });
  Click(kOkId);
  EXPECT_TRUE(tmp_seen);
  EXPECT_FALSE(ended_early);
  EXPECT_TRUE(ui_.ended());
  EXPECT_FALSE(IsWindowVisible(window_->hwnd()));
  EXPECT_FALSE(world_.Exists("C:\\ORVEL\\DAXOR\\~TMPZIP"));
  EXPECT_FALSE(world_.Exists("A:\\ROSSI"));
}

INSTANTIATE_TEST_SUITE_P(EsciAndCloseBox, EndDuringBackupTest, ::testing::Bool());

TEST_F(Win32WindowsTest, MessageLinesKeepTheirColourAndSetTheBackground) {
  Start("DAXOR2D");
  WriteMessageLine(program_, "C:\\ORVEL\\DAXOR\\A.MAC", false, program_.ColorBlue, false);
  EXPECT_EQ(AreaBackground(), ToColorRef(kBackgroundNormal));
  WriteMessageLine(program_, "Allarme", true, program_.ColorRed, false);
  EXPECT_EQ(AreaBackground(), RGB(255, 0, 0));
  WriteMessageLine(program_, "B.MAC", false, program_.ColorGreen, true);
  Pump();
  std::vector<std::pair<std::string, COLORREF>> lines = Lines();
  ASSERT_GE(lines.size(), 3u);
  const std::vector<std::pair<std::string, COLORREF>> last(lines.end() - 3, lines.end());
  EXPECT_EQ(last, (std::vector<std::pair<std::string, COLORREF>>{
                      {"C:\\ORVEL\\DAXOR\\A.MAC", RGB(0, 0, 128)},
                      {"Allarme", RGB(128, 0, 0)},
                      {std::string("B.MAC") + kZipOnlySuffix, RGB(0, 128, 0)}}));
  // The user's caret elsewhere does not move where lines go.
  SendMessageW(Control(kAreaId), EM_SETSEL, 0, 0);
  WriteMessageLine(program_, "ultima", false, program_.ColorBlack, false);
  Pump();
  lines = Lines();
  EXPECT_EQ(lines.back(), std::make_pair(std::string("ultima"), RGB(0, 0, 0)));
}

TEST_F(Win32WindowsTest, MenuReopenWalksTheKeysPath) {
  Start("DAXOR2D");
  // The popups opened, seen by the window as the menu opens them.
  static std::vector<HMENU> opened;
  static WNDPROC original = nullptr;
  opened.clear();
  original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window_->hwnd(), GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITMENUPOPUP) opened.push_back(reinterpret_cast<HMENU>(wparam));
        return CallWindowProcW(original, hwnd, message, wparam, lparam);
      })));
  for (const auto& [keys, last] : std::vector<std::pair<std::string, std::string>>{
           {"%TF", "Menu21"}, {"%CPS", "Menu332"}, {"%X", ""}}) {
    opened.clear();
    window_->OpenMenus(keys);
    // The keys are posted; once the menu has taken them it waits for the user.
    Later([] { EndMenu(); });
    Pump();
    if (last.empty()) {
      EXPECT_TRUE(opened.empty()) << keys;
      continue;
    }
    const MenuPlace place = Place(last);
    ASSERT_FALSE(opened.empty()) << keys;
    EXPECT_EQ(opened.back(), GetSubMenu(place.owner, place.position)) << keys;
  }
  SetWindowLongPtrW(window_->hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));

  // A letter no "&" names highlights the item it starts (never runs it); the
  // menu finds the named ones itself.
  auto typed = [this](const char* menu, wchar_t key) {
    const MenuPlace place = Place(menu);
    return SendMessageW(window_->hwnd(), WM_MENUCHAR, MAKEWPARAM(key, MF_POPUP),
                        reinterpret_cast<LPARAM>(GetSubMenu(place.owner, place.position)));
  };
  EXPECT_EQ(typed("Menu2", L'f'), MAKELRESULT(Place("Menu21").position, MNC_SELECT));
  EXPECT_EQ(typed("Menu2", L'q'), MAKELRESULT(0, MNC_IGNORE));
  // "Pe&Rsonalizzazioni" is named by its R: a P is &PostProcessor's.
  EXPECT_EQ(typed("Menu21", L'p'), MAKELRESULT(0, MNC_IGNORE));
}

TEST_F(Win32WindowsTest, HelpWindowShowsEveryNoteUnclippedAndIsKept) {
  MainWindow& window = Start("DAXOR2D");
  Command("Menu41");
  HelpWindow* help = window.help_window();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(IsWindowVisible(help->hwnd()));
  EXPECT_EQ(TextOf(help->hwnd()), L"Help");
  // Each label is as tall as its text needs at its width.
  int labels = 0;
  for (HWND label = GetWindow(help->hwnd(), GW_CHILD); label != nullptr;
       label = GetWindow(label, GW_HWNDNEXT), ++labels) {
    RECT box;
    GetClientRect(label, &box);
    RECT needed{0, 0, box.right, 0};
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(label);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    EXPECT_LE(needed.bottom, box.bottom) << Narrow(text);
  }
  EXPECT_EQ(labels, 6);
  SendMessageW(help->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(help->hwnd()));
  Command("Menu41");
  EXPECT_EQ(window.help_window(), help);
  EXPECT_TRUE(IsWindowVisible(help->hwnd()));
}

TEST_F(Win32WindowsTest, UnexpectedFailuresAreShownInTheInjectedBox) {
  EXPECT_TRUE(RunHandler(ui_, [] { throw std::runtime_error("disco pieno"); }));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Errore imprevisto: disco pieno");
  EXPECT_FALSE(ui_.ended());
}

TEST(Win32MessageBoxTest, ShowsExactTextTitleAndButtons) {
  std::wstring text, title;
  int buttons = 0;
  Later([&] {
    HWND box = FindWindowW(L"#32770", nullptr);
    ASSERT_NE(box, nullptr);
    title = TextOf(box);
    text = TextOf(GetDlgItem(box, 0xFFFF));
    buttons = (GetDlgItem(box, IDOK) != nullptr) + (GetDlgItem(box, IDCANCEL) != nullptr) +
              (GetDlgItem(box, IDYES) != nullptr);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  });
  const Answer answer = ShowWin32MessageBox(
      {"A:\\\rNon esiste il file\r<fine> & \xC3\xA8", "", Buttons::kOkCancel, true}, nullptr);
  EXPECT_EQ(answer, Answer::kCancel);
  EXPECT_EQ(text, L"A:\\\r\nNon esiste il file\r\n<fine> & \u00E8");
  EXPECT_EQ(title, L"ZA-Rirevo");
  EXPECT_EQ(buttons, 2);
}

}  // namespace
}  // namespace zr::win32
