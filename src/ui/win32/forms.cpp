#include "ui/win32/forms.h"

#include <commctrl.h>

#include <set>

#include "app/startup.h"
#include "platform/win32_text.h"
#include "ui/base_form.h"
#include "ui/help_layout.h"

namespace zr::win32 {

namespace {

constexpr wchar_t kMainClass[] = L"ZARirevoBaseForm";
constexpr wchar_t kLauncherClass[] = L"ZARirevoBackupBotton";
constexpr wchar_t kHelpClass[] = L"ZARirevoHelpForm";

/// Window title of the launcher: the program's name (its historical caption
/// "Form1" told users nothing), as in the Qt view.
constexpr wchar_t kLauncherTitle[] = L"ZA-Rirevo";

HMENU ChildId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// A function of user32 that older Windows lack, or nullptr.
template <typename Function>
Function User32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The system's message font at `dpi`, `extra_points` larger.
HFONT MessageFont(int extra_points, bool bold, int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto for_dpi = User32<ForDpi>("SystemParametersInfoForDpi");
  int font_dpi = dpi;
  if (for_dpi == nullptr ||
      !for_dpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    font_dpi = SystemDpi();
  }
  LOGFONTW font = metrics.lfMessageFont;
  const int points = MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, font_dpi);
  font.lfHeight = -MulDiv(points + extra_points, dpi, 72);
  if (bold) font.lfWeight = FW_BOLD;
  return CreateFontIndirectW(&font);
}

void SetFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// A group box that paints the window's background inside it, which a
// parent with WS_CLIPCHILDREN leaves to it.
LRESULT CALLBACK FrameBackground(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                 DWORD_PTR) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(reinterpret_cast<HDC>(wparam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// The window at the place and size Windows suggests for its new dpi.
void MoveToSuggested(HWND window, LPARAM lparam) {
  const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Child(HWND parent, const wchar_t* type, DWORD style, int id, HFONT font,
           const wchar_t* text = L"") {
  HWND child = CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                               ChildId(id), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

void SetText(HWND control, const std::wstring& text) {
  const int length = GetWindowTextLengthW(control);
  std::wstring now(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, now.data(), length + 1);
  now.resize(static_cast<std::size_t>(length));
  if (now != text) SetWindowTextW(control, text.c_str());
}

std::string ControlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

void Enable(HWND control, bool enabled) {
  if ((IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled);
}

bool IsCompressionItem(const std::string& name) {
  return name == "Menu311" || name == "Menu312" || name == "Menu313";
}

// The object behind a window, kept in its user data from WM_NCCREATE on.
template <typename T>
T* Self(HWND hwnd, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// A window procedure that hands each message to the window object's
// `on_message` once the object has its window.
template <typename T>
LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                 LRESULT (T::*on_message)(UINT, WPARAM, LPARAM)) {
  T* self = Self<T>(hwnd, message, lparam);
  if (self == nullptr || self->hwnd() == nullptr) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return (self->*on_message)(message, wparam, lparam);
}

// The client area of `width` x `height` pixels for a window of `style`.
SIZE WindowSize(int width, int height, DWORD style, bool menu) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, style, menu, 0);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The window's size for a client area of `width` x `height` pixels at 96 dpi,
// in the dpi of the monitor it is on.
void SizeClientArea(HWND window, int width, int height) {
  const int dpi = WindowDpi(window);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const SIZE size = WindowSize(MulDiv(width, dpi, 96), MulDiv(height, dpi, 96), style,
                               GetMenu(window) != nullptr);
  SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int WindowDpi(HWND window) {
  using ForWindow = UINT(WINAPI*)(HWND);
  static const auto for_window = User32<ForWindow>("GetDpiForWindow");
  const int dpi = for_window == nullptr ? 0 : static_cast<int>(for_window(window));
  return dpi > 0 ? dpi : SystemDpi();
}

void RegisterWindowClasses() {
  WNDCLASSEXW type{};
  type.cbSize = sizeof(type);
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  type.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (type.hIcon == nullptr) type.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  type.lpfnWndProc = LauncherWindow::Procedure;
  type.lpszClassName = kLauncherClass;
  RegisterClassExW(&type);
  type.lpfnWndProc = MainWindow::Procedure;
  type.lpszClassName = kMainClass;
  RegisterClassExW(&type);
  type.lpfnWndProc = HelpWindow::Procedure;
  type.lpszClassName = kHelpClass;
  RegisterClassExW(&type);
}

// --- The help window ---

HelpWindow::HelpWindow(HWND owner) {
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  hwnd_ = CreateWindowExW(0, kHelpClass, Widen(kHelpCaption).c_str(), style, CW_USEDEFAULT,
                          CW_USEDEFAULT, 100, 100, owner, nullptr, GetModuleHandleW(nullptr), this);
  SizeClientArea(hwnd_, TwipsToPixels(9600, 96), TwipsToPixels(9000, 96));
  MakeFonts();
  title_ =
      Child(hwnd_, L"STATIC", SS_CENTER | SS_NOPREFIX, 0, title_font_, Widen(kHelpTitle).c_str());
  for (int i = 0; i < kHelpNoteCount; ++i) {
    notes_.push_back(Child(hwnd_, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, i == 0 ? bold_font_ : font_,
                           DisplayText(HelpNotes()[i]).c_str()));
  }
  ApplyLayout();
}

HelpWindow::~HelpWindow() {
  DestroyWindow(hwnd_);
  DeleteObject(title_font_);
  DeleteObject(bold_font_);
  DeleteObject(font_);
}

// The fonts at the window's dpi; the labels that exist take them.
void HelpWindow::MakeFonts() {
  const int dpi = WindowDpi(hwnd_);
  HFONT old[] = {title_font_, bold_font_, font_};
  title_font_ = CreateFontW(-MulDiv(14, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
  bold_font_ = MessageFont(0, true, dpi);
  font_ = MessageFont(0, false, dpi);
  if (title_ != nullptr) SetFont(title_, title_font_);
  for (std::size_t i = 0; i < notes_.size(); ++i) SetFont(notes_[i], i == 0 ? bold_font_ : font_);
  for (HFONT font : old) DeleteObject(font);
}

void HelpWindow::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void HelpWindow::ApplyLayout() {
  if (title_ == nullptr || notes_.size() != kHelpNoteCount) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  HDC dc = GetDC(hwnd_);
  const double dpi = WindowDpi(hwnd_);
  // The title and note 0 keep the heights of their own text.
  const HelpLayout first = LayoutHelpForm(PixelsToTwips(client.right, dpi), 0, 0);
  auto measure = [&](HWND label, HFONT font, int width_twips) {
    HGDIOBJ old = SelectObject(dc, font);
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(label, text.data(), length + 1);
    RECT box{0, 0, TwipsToPixels(width_twips, dpi), 0};
    DrawTextW(dc, text.c_str(), length, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    return PixelsToTwips(box.bottom, dpi);
  };
  const int title_height = measure(title_, title_font_, first.title.width);
  const int note0_height = measure(notes_[0], bold_font_, first.notes[0].width);
  ReleaseDC(hwnd_, dc);
  const HelpLayout layout =
      LayoutHelpForm(PixelsToTwips(client.right, dpi), title_height, note0_height);
  auto place = [dpi](HWND label, const LabelBox& box) {
    MoveWindow(label, TwipsToPixels(box.left, dpi), TwipsToPixels(box.top, dpi),
               TwipsToPixels(box.width, dpi), TwipsToPixels(box.height, dpi), TRUE);
  };
  place(title_, layout.title);
  for (int i = 0; i < kHelpNoteCount; ++i) place(notes_[i], layout.notes[i]);
}

LRESULT CALLBACK HelpWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  HelpWindow* self = Self<HelpWindow>(hwnd, message, lparam);
  if (self != nullptr) {
    if (message == WM_SIZE) {
      self->ApplyLayout();
      return 0;
    }
    // The close box and Escape hide it, kept for the next Help click.
    const bool escape = (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) ||
                        (message == WM_KEYDOWN && wparam == VK_ESCAPE);
    if (message == WM_CLOSE || escape) {
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    }
    if (message == WM_DPICHANGED && self->hwnd_ != nullptr) {
      self->MakeFonts();
      MoveToSuggested(hwnd, lparam);
      self->ApplyLayout();
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// --- The main window ---

MainWindow::MainWindow(Program& program, Win32Ui& ui)
    : program_(program),
      ui_(ui),
      commands_(program),
      progress_([] { return static_cast<double>(GetTickCount64()) / 1000.0; },
                [this](const std::string& text) {
                  if (progress_line_ != nullptr) SetWindowTextW(progress_line_, Widen(text).c_str());
                }) {
  commands_.SetFrontEndHandler("Menu41", [this] { OpenHelp(); });
  // Children clipped: a maximized window paints its background around the
  // controls, never over them.
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                          100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  MakeFonts();
  BuildControls();
  BuildMenus();
  SizeClientArea(hwnd_, 760, 500);
  Layout();
  ui_.set_message_area(&area_);
  ui_.set_state_listener([this] { Refresh(); });
  ui_.set_menu_reopener([this](const std::vector<std::string>& path) { OpenMenus(path); });
  program_.run.watcher = &progress_;
  Refresh();
}

MainWindow::~MainWindow() {
  if (program_.run.watcher == &progress_) program_.run.watcher = nullptr;
  ui_.set_message_area(nullptr);
  ui_.set_state_listener(nullptr);
  ui_.set_menu_reopener(nullptr);
  delete help_;
  DestroyWindow(hwnd_);
  DeleteObject(font_);
  DeleteObject(bold_font_);
}

int MainWindow::Scale(int pixels) const { return MulDiv(pixels, WindowDpi(hwnd_), 96); }

// The fonts at the window's dpi; the controls that exist take them.
void MainWindow::MakeFonts() {
  const int dpi = WindowDpi(hwnd_);
  HFONT old[] = {font_, bold_font_};
  font_ = MessageFont(0, false, dpi);
  bold_font_ = MessageFont(2, true, dpi);
  for (HWND control :
       {customer_frame_, customer_, date_, ok_, stop_, exit_, messages_frame_, area_.hwnd(),
        progress_line_}) {
    if (control != nullptr) SetFont(control, font_);
  }
  if (software_ != nullptr) SetFont(software_, bold_font_);
  for (HFONT font : old) DeleteObject(font);
}

void MainWindow::FocusFirstInput() {
  last_focus_ = customer_;
  SetFocus(customer_);
}

void MainWindow::BuildControls() {
  software_ =
      Child(hwnd_, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, kSoftwareId, bold_font_);
  customer_frame_ = Child(hwnd_, L"BUTTON", BS_GROUPBOX, 0, font_, L"Cliente");
  customer_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10,
                              hwnd_, ChildId(kCustomerId), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(customer_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  date_ = Child(hwnd_, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, font_);
  progress_line_ = Child(hwnd_, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, font_);
  ok_ = Child(hwnd_, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, kOkId, font_);
  stop_ = Child(hwnd_, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, kStopId, font_);
  exit_ = Child(hwnd_, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, kExitId, font_);
  messages_frame_ = Child(hwnd_, L"BUTTON", BS_GROUPBOX, 0, font_, L"Elenco File Backup");
  area_.Create(hwnd_, kAreaId, font_);
  // The window clips its children, so the frames fill their own inside, below
  // and around the controls they hold.
  for (HWND frame : {customer_frame_, messages_frame_}) {
    SetWindowLongPtrW(frame, GWL_STYLE, GetWindowLongPtrW(frame, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowSubclass(frame, FrameBackground, 0, 0);
  }
}

void MainWindow::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  // In pixels at 96 dpi.
  const int width = MulDiv(client.right, 96, WindowDpi(hwnd_));
  const int height = MulDiv(client.bottom, 96, WindowDpi(hwnd_));
  const auto place = [this](HWND control, int left, int top, int control_width,
                            int control_height) {
    SetWindowPos(control, nullptr, Scale(left), Scale(top), Scale(control_width),
                 Scale(control_height), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
  };
  const int buttons_left = width - 200;
  place(software_, 10, 10, 150, 72);
  const int frame_width = buttons_left - 180;
  place(customer_frame_, 170, 4, frame_width, 78);
  place(customer_, 182, 34, frame_width - 140, 26);
  place(date_, 170 + frame_width - 120, 34, 110, 26);
  place(ok_, buttons_left, 10, 92, 34);
  place(stop_, buttons_left + 98, 10, 92, 34);
  place(exit_, buttons_left, 48, 190, 34);
  place(messages_frame_, 10, 90, width - 20, height - 122);
  place(area_.hwnd(), 20, 112, width - 40, height - 154);
  place(progress_line_, 14, height - 28, width - 28, 22);
  // Drawn again whole: controls that moved across each other (maximizing)
  // would otherwise keep pieces of where they were.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::BuildMenus() {
  bar_ = CreateMenu();
  std::set<std::string> parents;
  for (const MenuEntry& entry : MenuTree()) parents.insert(entry.parent);
  std::map<HMENU, UINT> counts;
  for (const MenuEntry& entry : MenuTree()) {
    const std::string name = entry.name;
    MenuSlot slot;
    slot.owner = entry.parent[0] == '\0' ? bar_ : menus_.at(entry.parent).submenu;
    slot.position = counts[slot.owner]++;
    // Captions and states come with the first Refresh.
    if (parents.count(name) != 0) {
      slot.submenu = CreatePopupMenu();
      AppendMenuW(slot.owner, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(slot.submenu), L"");
    } else {
      const UINT id = kFirstMenuId + static_cast<UINT>(command_names_.size());
      command_names_.push_back(name);
      AppendMenuW(slot.owner, MF_STRING, id, L"");
      slot.checkable = IsFileItem(name) || IsCompressionItem(name);
      slot.radio = IsCompressionItem(name);
    }
    menus_[name] = slot;
  }
  SetMenu(hwnd_, bar_);
}

void MainWindow::Refresh() {
  refreshing_ = true;
  const ShownMainWindow shown = commands_.Shown();
  if (!commands_.busy()) progress_.Clear();  // the run has ended
  if (!program_.main.Caption.empty()) SetText(hwnd_, Widen(program_.main.Caption));
  bool bar_changed = false;
  for (const MenuEntry& entry : MenuTree()) {
    const MenuItem& item = program_.menus.*entry.item;
    MenuSlot& slot = menus_.at(entry.name);
    const bool on_bar = slot.owner == bar_;
    // While an operation runs the whole menu bar is off.
    const bool enabled = item.enabled && (shown.menu_bar_enabled || !on_bar);
    const UINT state =
        (enabled ? MFS_ENABLED : MFS_GRAYED) | (slot.checkable && item.checked ? MFS_CHECKED : 0);
    std::wstring caption = Widen(item.caption);
    if (caption == slot.shown_caption && state == slot.shown_state) continue;
    slot.shown_caption = caption;
    slot.shown_state = state;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
    info.fType = MFT_STRING | (slot.radio ? MFT_RADIOCHECK : 0);
    info.fState = state;
    info.dwTypeData = caption.data();
    SetMenuItemInfoW(slot.owner, slot.position, TRUE, &info);
    bar_changed = bar_changed || on_bar;
  }
  if (bar_changed) DrawMenuBar(hwnd_);
  const BaseFormControls& controls = shown.controls;
  SetText(software_, PlainCaption(controls.Software_B.caption));
  Enable(software_, controls.Software_B.enabled);
  SetText(exit_, PlainCaption(controls.EsciB.caption));
  Enable(exit_, controls.EsciB.enabled);
  SetText(stop_, PlainCaption(controls.StopB.caption));
  Enable(stop_, controls.StopB.enabled);
  SetText(ok_, PlainCaption(controls.OK_B.caption));
  Enable(ok_, controls.OK_B.enabled);
  SetText(customer_, Widen(controls.NomeCliente));
  SendMessageW(customer_, EM_SETREADONLY, shown.customer_read_only ? TRUE : FALSE, 0);
  SetText(date_, Widen(controls.DataOggi));
  if (area_.background() != program_.MessageBackground) {
    area_.SetBackground(program_.MessageBackground);
  }
  refreshing_ = false;
}

void MainWindow::Handle(const std::string& name) {
  if (RunHandler(ui_, [this, &name] { commands_.Run(name); })) Refresh();
}

void MainWindow::set_customer(const std::string& text) {
  SetWindowTextW(customer_, Widen(text).c_str());
}

void MainWindow::OpenMenus(const std::vector<std::string>& path) {
  if (path.empty() || ui_.ended() || commands_.busy()) return;
  if (!IsWindowVisible(hwnd_)) return;
  // The path is walked with the arrow keys only, which never carry out a
  // command: Alt selects the bar, Right moves along it, Down drops a bar
  // menu open, Down moves in a menu, Right opens a submenu. The keys are
  // posted, so a click's handler may ask: they act once the menu it came
  // from has closed.
  std::vector<UINT> positions;
  HMENU current = bar_;
  for (const std::string& name : path) {
    const auto slot = menus_.find(name);
    const MenuItem* item = FindMenuItem(program_, name);
    if (slot == menus_.end() || item == nullptr || slot->second.owner != current ||
        slot->second.submenu == nullptr || !item->enabled) {
      return;  // no such submenu: nothing opens
    }
    positions.push_back(slot->second.position);
    current = slot->second.submenu;
  }
  auto key = [this](WPARAM virtual_key) { PostMessageW(hwnd_, WM_KEYDOWN, virtual_key, 0); };
  PostMessageW(hwnd_, WM_SYSCOMMAND, SC_KEYMENU, 0);
  for (UINT i = 0; i < positions[0]; ++i) key(VK_RIGHT);
  key(VK_DOWN);
  for (std::size_t level = 1; level < positions.size(); ++level) {
    for (UINT i = 0; i < positions[level]; ++i) key(VK_DOWN);
    key(VK_RIGHT);
  }
}

LRESULT MainWindow::MenuChar(wchar_t key, HMENU menu) {
  for (const MenuEntry& entry : MenuTree()) {
    const MenuSlot& slot = menus_.at(entry.name);
    const MenuItem& item = program_.menus.*entry.item;
    if (slot.owner != menu || !item.enabled || item.caption.empty()) continue;
    if (item.caption.find('&') != std::string::npos) continue;  // the menu found those itself
    if (towupper(Widen(item.caption)[0]) == towupper(key)) {
      return MAKELRESULT(slot.position, MNC_SELECT);  // highlights, never runs
    }
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

void MainWindow::OpenHelp() {
  if (help_ == nullptr) help_ = new HelpWindow(hwnd_);
  help_->Show();
}

LRESULT CALLBACK MainWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return Dispatch(hwnd, message, wparam, lparam, &MainWindow::OnMessage);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (lparam == 0 && code == 0 && id >= kFirstMenuId &&
          id < kFirstMenuId + static_cast<int>(command_names_.size())) {
        Handle(command_names_[static_cast<std::size_t>(id - kFirstMenuId)]);
        return 0;
      }
      switch (id) {
        case kSoftwareId:
          Handle("Software_B");
          return 0;
        case kOkId:
          Handle("OK_B");
          return 0;
        case kStopId:
          Handle("StopB");
          return 0;
        case kExitId:
          Handle("EsciB");
          return 0;
        case IDOK:  // Enter
          if (GetFocus() == customer_) Handle("NomeCliente");
          return 0;
        case kCustomerId:
          if (code == EN_CHANGE && !refreshing_ && !commands_.busy()) {
            const std::string text = ControlText(customer_);
            if (RunHandler(ui_, [this, &text] { commands_.TypeCustomer(text); })) Refresh();
          }
          return 0;
        default:
          return 0;
      }
    }
    case WM_MENUCHAR:
      if (HIWORD(wparam) & MF_SYSMENU) break;
      return MenuChar(static_cast<wchar_t>(LOWORD(wparam)), reinterpret_cast<HMENU>(lparam));
    case kFlushMessage:
      area_.Flush();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      limits->ptMinTrackSize = POINT{Scale(560), Scale(300)};
      return 0;
    }
    case WM_DPICHANGED:
      MakeFonts();
      MoveToSuggested(hwnd_, lparam);
      Layout();
      return 0;
    case WM_ACTIVATE:
      // The focus leaves with the window (a message box, the help window)
      // and comes back to the control that had it, as in a dialog.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) last_focus_ = focus;
      } else if (HIWORD(wparam) == 0) {  // not minimized
        HWND target = last_focus_;
        if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target) ||
            !IsWindowVisible(target)) {
          target = customer_;
        }
        SetFocus(target);
      }
      return 0;
    case WM_SETCURSOR:
      // While an operation runs: the hourglass while the archiver works
      // (the window cannot answer then), the arrow with an hourglass
      // otherwise (STOP and ESCI still answer).
      if (LOWORD(lparam) == HTCLIENT && commands_.busy()) {
        const bool archiving = program_.run.stage() == Stage::kArchiving;
        SetCursor(LoadCursorW(nullptr, archiving ? IDC_WAIT : IDC_APPSTARTING));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // The close box ends the program without saving; a running backup is
      // stopped first and the program ends once it has cleaned up.
      if (!ui_.ended()) Handle("Close");
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

// --- The launcher ---

LauncherWindow::LauncherWindow(Program& program, Win32Ui& ui,
                               std::function<void(MainWindow*)> on_main)
    : program_(program), ui_(ui), on_main_(std::move(on_main)) {
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  hwnd_ =
      CreateWindowExW(WS_EX_CONTROLPARENT, kLauncherClass, kLauncherTitle, style, CW_USEDEFAULT,
                      CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  SizeClientArea(hwnd_, 340, 120);
  software_ =
      Child(hwnd_, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, kSoftwareId, nullptr);
  backup_ =
      Child(hwnd_, L"BUTTON", BS_DEFPUSHBUTTON | BS_MULTILINE | WS_TABSTOP, kBackupId, nullptr);
  Layout();
  Refresh();
  SetFocus(backup_);
}

// The two buttons and their font at the window's dpi.
void LauncherWindow::Layout() {
  const int dpi = WindowDpi(hwnd_);
  HFONT old = font_;
  font_ = MessageFont(3, true, dpi);
  const auto scale = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  for (HWND button : {software_, backup_}) SetFont(button, font_);
  MoveWindow(software_, scale(10), scale(15), scale(155), scale(90), TRUE);
  MoveWindow(backup_, scale(175), scale(15), scale(155), scale(90), TRUE);
  if (old != nullptr) DeleteObject(old);
}

LauncherWindow::~LauncherWindow() {
  DestroyWindow(hwnd_);
  DeleteObject(font_);
}

void LauncherWindow::Refresh() {
  SetText(software_, PlainCaption(program_.launcher.Software_B.caption));
  Enable(software_, program_.launcher.Software_B.enabled);
  SetText(backup_, PlainCaption(program_.launcher.Backup.caption));
  Enable(backup_, program_.launcher.Backup.enabled);
}

void LauncherWindow::BackupClicked() {
  if (handed_over_) return;
  MainWindow* main_window = nullptr;
  const bool alive = RunHandler(ui_, [this, &main_window] {
    OpenMainWindow(program_, [this, &main_window] {
      handed_over_ = true;
      main_window = new MainWindow(program_, ui_);
    });
  });
  // The window's load has run before it is shown, as for any form.
  if (alive && main_window != nullptr) {
    ShowWindow(main_window->hwnd(), SW_SHOW);
    SetForegroundWindow(main_window->hwnd());
    main_window->FocusFirstInput();
  }
  if (alive || main_window != nullptr) ShowWindow(hwnd_, SW_HIDE);
  if (on_main_) on_main_(main_window);
}

LRESULT CALLBACK LauncherWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return Dispatch(hwnd, message, wparam, lparam, &LauncherWindow::OnMessage);
}

LRESULT LauncherWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case DM_GETDEFID:  // Enter presses Backup
      return MAKELRESULT(kBackupId, DC_HASDEFID);
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case kSoftwareId:
          RunHandler(ui_, [this] { LauncherSoftwareClick(program_); });
          if (!ui_.ended()) Refresh();
          return 0;
        case kBackupId:
          BackupClicked();
          return 0;
        case IDCANCEL:  // Escape closes, as the close box does
          PostMessageW(hwnd_, WM_CLOSE, 0, 0);
          return 0;
        default:
          return 0;
      }
    case WM_DPICHANGED:
      MoveToSuggested(hwnd_, lparam);
      Layout();
      return 0;
    case WM_CLOSE:
      // The close box ends the program without saving, as for the main window.
      if (!handed_over_) ui_.MarkEnded();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace zr::win32
