// Tests of the Win32 windows (under Wine, or on Windows), over temporary
// worlds with small product installations. The windows are driven by the
// messages a user's clicks send (BM_CLICK, WM_COMMAND with a menu id,
// WM_SETTEXT) and what they show is read back from the controls and menus
// themselves. The rules are tested below the windows (ui/base_form_test.cpp):
// here only what the view does with them.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/message_area.h"
#include "platform/win32_text.h"
#include "tests/installations.h"
#include "tests/ui_test_world.h"
#include "ui/base_form.h"
#include "ui/win32/forms.h"
#include "ui/win32/win32_ui.h"

namespace zr::win32 {
namespace {

using Lines = std::vector<std::pair<std::string, COLORREF>>;

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
  if (auto call = std::exchange(later_call, nullptr)) call();
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

  std::string Install(const std::string& product) {
    return testing::InstallForTheWindows(world_, product);
  }

  // Starts as za-rirevo.exe does: the launcher, its product button clicked
  // `steps` times, then Enter (which presses Backup wherever the focus is).
  MainWindow& Start(const std::string& product, int steps = 0) {
    const std::string command_line = Install(product);
    EXPECT_TRUE(RunHandler(ui_, [&] { StartProgram(program_, command_line); }));
    LauncherWindow launcher(program_, ui_, [this](MainWindow* window) { window_.reset(window); });
    ShowWindow(launcher.hwnd(), SW_SHOW);
    HWND software = GetDlgItem(launcher.hwnd(), kSoftwareId);
    EXPECT_EQ(TextOf(launcher.hwnd()), L"ZA-Rirevo");
    EXPECT_EQ(TextOf(GetDlgItem(launcher.hwnd(), kBackupId)), L"ZA-Rirevo\r\nVers.6.8.1");
    for (int i = 0; i < steps; ++i) SendMessageW(software, BM_CLICK, 0, 0);
    EXPECT_EQ(Narrow(TextOf(software)), product);
    SetFocus(software);
    PostMessageW(software, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    if (window_ == nullptr) throw std::runtime_error("no main window");
    EXPECT_FALSE(IsWindowVisible(launcher.hwnd()));
    // A real re-opening of the menus would wait in the menu's loop
    // (MenuReopenWalksTheKeysPath opens them for real).
    ui_.set_menu_reopener([](const std::vector<std::string>&) {});
    // Where each menu item sits: the window's menu bar walked along the core's tree.
    std::map<HMENU, int> counts;
    for (const MenuEntry& entry : MenuTree()) {
      HMENU owner = entry.parent[0] == '\0' ? GetMenu(window_->hwnd()) : Submenu(entry.parent);
      places_[entry.name] = {owner, counts[owner]++};
    }
    return *window_;
  }

  HWND Control(int id) const { return GetDlgItem(window_->hwnd(), id); }
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)); }
  void Click(int id) {
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump();
  }
  void TypeCustomer(const wchar_t* text) {
    SendMessageW(Control(kCustomerId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    Pump();
  }

  HMENU Submenu(const std::string& name) const {
    return GetSubMenu(places_.at(name).first, places_.at(name).second);
  }
  // The item's flags as the menu has them: MF_GRAYED, MF_CHECKED, MFT_RADIOCHECK...
  UINT State(const std::string& name) const {
    return GetMenuState(places_.at(name).first, places_.at(name).second, MF_BYPOSITION);
  }
  // A click on a menu command: its id sent as the menu sends it.
  void Command(const std::string& name, bool pump = true) {
    const UINT id = GetMenuItemID(places_.at(name).first, places_.at(name).second);
    SendMessageW(window_->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    if (pump) Pump();
  }

  // Every menu item shows exactly the program's caption (access keys
  // included), Enabled and Checked; while an operation runs the bar is off.
  void ExpectMenusShowState(bool busy = false) const {
    for (const MenuEntry& entry : MenuTree()) {
      const MenuItem& item = program_.menus.*entry.item;
      wchar_t caption[256] = L"";
      GetMenuStringW(places_.at(entry.name).first, places_.at(entry.name).second, caption, 256,
                     MF_BYPOSITION);
      const UINT state = State(entry.name);
      const bool enabled = item.enabled && !(busy && entry.parent[0] == '\0');
      EXPECT_EQ(std::make_tuple(Narrow(caption), !(state & MF_GRAYED), !!(state & MF_CHECKED)),
                std::make_tuple(item.caption, enabled, item.checked))
          << entry.name;
    }
  }

  // The lines of the message area with their colours, read from the RichEdit.
  Lines AreaLines() const {
    HWND area = Control(kAreaId);
    Lines lines;
    const int count = static_cast<int>(SendMessageW(area, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      const LONG start = static_cast<LONG>(SendMessageW(area, EM_LINEINDEX, i, 0));
      const LONG length = static_cast<LONG>(SendMessageW(area, EM_LINELENGTH, start, 0));
      SendMessageW(area, EM_SETSEL, start, start + length);
      std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
      text.resize(static_cast<std::size_t>(
          SendMessageW(area, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()))));
      CHARFORMAT2W format{};
      format.cbSize = sizeof(format);
      SendMessageW(area, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
      const bool one_colour = (format.dwMask & CFM_COLOR) && !(format.dwEffects & CFE_AUTOCOLOR);
      lines.emplace_back(Narrow(text), one_colour ? format.crTextColor : CLR_INVALID);
    }
    return lines;
  }

  zr::testing::UiTestWorld world_;
  Win32Ui ui_;
  Program program_;
  std::unique_ptr<MainWindow> window_;
  std::vector<MessageBoxRequest> boxes_;
  std::map<std::string, std::pair<HMENU, int>> places_;  // each menu item's menu and position
};

// The view renders the model: every menu item (the compression items drawn
// as radio items), the caption, the buttons. The launcher's product button
// and Enter, typing in the name box and ESCI reach the commands (TRELUN is
// reached by one click of the product button).
TEST_F(Win32WindowsTest, ShowsTheStateTypingEnablesOkAndEsciEnds) {
  Install("DAXOR2D");
  MainWindow& window = Start("TRELUN", 1);
  ExpectMenusShowState();
  EXPECT_EQ(TextOf(window.hwnd()), L"ZA-Rirevo Vers. 6.8.1");
  EXPECT_EQ(Narrow(TextOf(Control(kSoftwareId))), "TRELUN");
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_FALSE(Enabled(kOkId) || Enabled(kStopId));
  for (const char* item : {"Menu311", "Menu312", "Menu313"}) {
    EXPECT_TRUE(State(item) & MFT_RADIOCHECK) << item;
  }
  TypeCustomer(L"ROSSI");
  EXPECT_EQ(program_.main.NomeCliente, "ROSSI");
  EXPECT_TRUE(Enabled(kOkId));
  TypeCustomer(L"");
  EXPECT_FALSE(Enabled(kOkId));
  Click(kExitId);
  EXPECT_TRUE(ui_.ended());
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  // After the end nothing waits for the user any more.
  EXPECT_THROW(ui_.ShowMessageBox({"x", "", Buttons::kOk, false}), ProgramEnded);
}

// Each click reaches the commands and the menus show the new state: checks,
// exclusive compression items, every item after Tutti.
TEST_F(Win32WindowsTest, MenuClicksShowTheNewState) {
  Start("DAXOR2D");
  for (const char* click : {"Menu214", "Menu313", "Menu25"}) {
    Command(click);
    ExpectMenusShowState();
  }
  EXPECT_EQ(program_.ZipMode, ZipTarget::kCustomerFolder);
}

// During a backup the view shows the job running (OK and the bar menus off,
// STOP on) and its STOP, ESCI and close box (0) reach the commands, which
// stop the job (the rules themselves: ui/main_window_test.cpp).
class DuringABackupTest : public Win32WindowsTest, public ::testing::WithParamInterface<int> {};

TEST_P(DuringABackupTest, ShowsTheJobAndStopEsciAndTheCloseBoxAct) {
  Start("DAXOR2D");
  world_.WriteFile("C:\\ORVEL\\DAXOR\\NOTE.TXT", "note\r\n");
  TypeCustomer(L"ROSSI");
  std::vector<bool> seen;  // OK, product button, STOP enabled; name box read-only
  // Runs while the job lets the window look at its input between two files.
  Later([&] {
    seen = {Enabled(kOkId), Enabled(kSoftwareId), Enabled(kStopId),
            (GetWindowLongW(Control(kCustomerId), GWL_STYLE) & ES_READONLY) != 0};
    ExpectMenusShowState(true);
    Command("Menu214", false);  // refused mid-job
    if (GetParam() == 0) {
      SendMessageW(window_->hwnd(), WM_CLOSE, 0, 0);
    } else {
      SendMessageW(Control(GetParam()), BM_CLICK, 0, 0);
    }
  });
  Click(kOkId);
  EXPECT_EQ(seen, (std::vector<bool>{false, false, true, true}));
  int stops = 0;
  for (const auto& [text, colour] : AreaLines()) stops += text == "Copia fermata dall'utente";
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(program_.menus.Menu214.checked);
  const bool stop = GetParam() == kStopId;
  EXPECT_EQ(ui_.ended(), !stop);
  EXPECT_EQ(!!IsWindowVisible(window_->hwnd()), stop);
  if (stop) {
    EXPECT_FALSE(Enabled(kStopId));
    ExpectMenusShowState();
  }
}

INSTANTIATE_TEST_SUITE_P(StopEsciCloseBox, DuringABackupTest,
                         ::testing::Values(kStopId, kExitId, 0));

TEST_F(Win32WindowsTest, MessageLinesKeepTheirColourAndSetTheBackground) {
  Start("DAXOR2D");
  // EM_SETBKGNDCOLOR answers the colour it replaces.
  auto background = [this] {
    const auto shown =
        static_cast<COLORREF>(SendMessageW(Control(kAreaId), EM_SETBKGNDCOLOR, 0, 0));
    SendMessageW(Control(kAreaId), EM_SETBKGNDCOLOR, 0, shown);
    return shown;
  };
  WriteMessageLine(program_, "C:\\ORVEL\\DAXOR\\A.MAC", false, program_.ColorBlue, false);
  EXPECT_EQ(background(), ToColorRef(kBackgroundNormal));
  // The user's caret elsewhere does not move where lines go.
  SendMessageW(Control(kAreaId), EM_SETSEL, 0, 0);
  WriteMessageLine(program_, "Allarme", true, program_.ColorRed, false);
  EXPECT_EQ(background(), RGB(255, 0, 0));
  WriteMessageLine(program_, "B.MAC", false, program_.ColorGreen, true);
  Pump();
  Lines lines = AreaLines();
  ASSERT_GE(lines.size(), 3u);
  lines.erase(lines.begin(), lines.end() - 3);
  EXPECT_EQ(lines, (Lines{{"C:\\ORVEL\\DAXOR\\A.MAC", RGB(0, 0, 128)},
                          {"Allarme", RGB(128, 0, 0)},
                          {std::string("B.MAC") + kZipOnlySuffix, RGB(0, 128, 0)}}));
}

TEST_F(Win32WindowsTest, MenuReopenWalksTheKeysPathAndLettersHighlight) {
  Start("DAXOR2D");
  // The popups opened, seen by the window as the menu opens them.
  static std::vector<HMENU> opened;
  static WNDPROC original = nullptr;
  original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window_->hwnd(), GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITMENUPOPUP) opened.push_back(reinterpret_cast<HMENU>(wparam));
        return CallWindowProcW(original, hwnd, message, wparam, lparam);
      })));
  for (const auto& [path, last] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"Menu2", "Menu21"}, "Menu21"},
           {{"Menu3", "Menu33", "Menu332"}, "Menu332"},
           {{"Menu2", "Menu31"}, ""}}) {
    opened.clear();
    window_->OpenMenus(path);
    // The keys are posted; once the menu has taken them it waits for the user.
    Later([] { EndMenu(); });
    Pump();
    EXPECT_EQ(opened.empty() ? nullptr : opened.back(), last.empty() ? nullptr : Submenu(last))
        << last;
  }
  SetWindowLongPtrW(window_->hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));

  // A letter no "&" names highlights the item it starts (never runs it); the
  // menu finds the named ones itself: "Pe&Rsonalizzazioni" is named by its
  // R, a P is &PostProcessor's.
  auto typed = [this](const char* menu, wchar_t key) {
    return SendMessageW(window_->hwnd(), WM_MENUCHAR, MAKEWPARAM(key, MF_POPUP),
                        reinterpret_cast<LPARAM>(Submenu(menu)));
  };
  EXPECT_EQ(typed("Menu2", L'f'), MAKELRESULT(places_.at("Menu21").second, MNC_SELECT));
  EXPECT_EQ(typed("Menu2", L'q'), MAKELRESULT(0, MNC_IGNORE));
  EXPECT_EQ(typed("Menu21", L'p'), MAKELRESULT(0, MNC_IGNORE));
}

TEST_F(Win32WindowsTest, HelpWindowShowsEveryNoteUnclippedAndIsKept) {
  MainWindow& window = Start("DAXOR2D");
  Command("Menu41");
  HelpWindow* help = window.help_window();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(TextOf(help->hwnd()), L"Help");
  // Each label is as tall as its text needs at its width.
  int labels = 0;
  for (HWND label = GetWindow(help->hwnd(), GW_CHILD); label != nullptr;
       label = GetWindow(label, GW_HWNDNEXT), ++labels) {
    RECT box, needed{};
    GetClientRect(label, &box);
    needed.right = box.right;
    HDC dc = GetDC(label);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(label);
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ReleaseDC(label, dc);
    EXPECT_LE(needed.bottom, box.bottom) << Narrow(text);
  }
  EXPECT_EQ(labels, 6);
  // It belongs to the main window and Escape puts it away.
  EXPECT_EQ(GetWindow(help->hwnd(), GW_OWNER), window.hwnd());
  PostMessageW(help->hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(help->hwnd()));
  Command("Menu41");
  EXPECT_EQ(window.help_window(), help);
  EXPECT_TRUE(IsWindowVisible(help->hwnd()));
}

// The customer box has the focus at the start; in the message area Escape
// closes nothing and Tab moves on; after a question (whose Enter answers No
// when asked) the focus is back where it was.
TEST_F(Win32WindowsTest, KeysAndFocusAsInADialog) {
  MainWindow& window = Start("DAXOR2D");
  EXPECT_EQ(GetFocus(), Control(kCustomerId));
  SetFocus(Control(kAreaId));
  PostMessageW(Control(kAreaId), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(ui_.ended());
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  PostMessageW(Control(kAreaId), WM_KEYDOWN, VK_TAB, 0);
  Pump();
  EXPECT_EQ(GetFocus(), Control(kSoftwareId));

  SetFocus(Control(kExitId));
  for (const bool default_no : {true, false}) {
    // Enter on the box's focused button, as the user presses it.
    Later([] { PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); });
    MessageBoxRequest question{"Cancellare A:\?", "", Buttons::kYesNo, false};
    question.default_no = default_no;
    EXPECT_EQ(ShowWin32MessageBox(question, window.hwnd()),
              default_no ? Answer::kNo : Answer::kYes);
    Pump();
    EXPECT_EQ(GetFocus(), Control(kExitId));
  }
}

TEST_F(Win32WindowsTest, UnexpectedFailuresAreShownInTheInjectedBox) {
  EXPECT_TRUE(RunHandler(ui_, [] { throw std::runtime_error("disco pieno"); }));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Errore imprevisto: disco pieno");
  EXPECT_FALSE(ui_.ended());
}

TEST(Win32MessageBoxTest, ShowsExactTextTitleAndButtons) {
  std::vector<std::wstring> shown;  // title, text
  int buttons = 0;
  Later([&] {
    HWND box = FindWindowW(L"#32770", nullptr);
    ASSERT_NE(box, nullptr);
    shown = {TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
    for (int id : {IDOK, IDCANCEL, IDYES}) buttons += GetDlgItem(box, id) != nullptr;
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(
      ShowWin32MessageBox(
          {"A:\\\rNon esiste il file\r<fine> & \xC3\xA8", "", Buttons::kOkCancel, true}, nullptr),
      Answer::kCancel);
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"ZA-Rirevo",
                                              L"A:\\\r\nNon esiste il file\r\n<fine> & \u00E8"}));
  EXPECT_EQ(buttons, 2);
}

}  // namespace
}  // namespace zr::win32
