// The program's Windows windows over the simulated services (run under Wine in
// CI): what MSAA reads for each control (window texts, the static before each
// edit in z-order, the system classes behind the bar and the panels), panel
// 0's text in the status bar's part while a run counts down, one text change
// per new message, the tab order walked with real key presses, the focus
// after a button disables itself, and both status panels fitted, never cut,
// at 100 % and 200 %.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <functional>
#include <vector>

#include "charging/application.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_platform.h"
#include "charging/window_layouts.h"
#include "platform/win32/custom_drawing.h"
#include "platform/win32/shell_tray_icon.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/ui_metrics.h"
#include "platform/win32/win32_forms.h"
#include "tests/win32/check.h"
#include "platform/win32/windows_api.h"
#include "tests/handset_name_cases.h"
#include "tests/stored_settings.h"

#include <commctrl.h>
#include <oleacc.h>

using namespace murrelet;
using namespace murrelet::win32;

namespace {

constexpr int kFirstControlId = 100;  // the windows number their controls by layout row from here

// The simulated settings store; a test may look at the world each time the
// program opens it for writing.
struct WatchedStore : SettingsStore {
  explicit WatchedStore(SettingsStore& store) : inner(store) {}
  std::unique_ptr<StoreKey> OpenReadOnly(std::string_view path) override { return inner.OpenReadOnly(path); }
  std::unique_ptr<StoreKey> OpenWritable(std::string_view path) override {
    if (openedForWriting) openedForWriting();
    return inner.OpenWritable(path);
  }
  SettingsStore& inner;
  std::function<void()> openedForWriting;
};

struct WinOnSim {
  // `prepare` changes the simulated world before the program starts.
  explicit WinOnSim(TApplication::StartedBy startedBy = TApplication::StartedBy::User,
                    const std::function<void(sim::SimPlatform&)>& prepare = {}) {
    murrelet::testing::StoredSettings settings;
    settings.suspendDisable = 0;
    murrelet::testing::StoreSettings(sim.store, settings);
    murrelet::testing::PlugIn(sim.tapi);
    if (prepare) prepare(sim);
    // The timers follow this test's clock, which moves only when it ticks.
    forms.monotonicClock = [this] { return now; };
    forms.Connect([this](const std::function<void()>& action) { app.Deliver(action); },
                  [this](Form& form) { app.CloseRequested(form); }, [this] { app.WindowsEnding(); });
    forms.sessionEndQueried = [this] { app.SessionEndQueried(); };
    forms.onMinimized = [this] { app.MainWindowMinimized(); };
    tray.Connect([this](const std::function<void()>& action) { app.Deliver(action); });
    app.Start(startedBy);
    Pump();
  }
  ~WinOnSim() { app.WindowsEnding(); }

  HWND Main() { return forms.HandleOf(*app.MainForm()); }
  HWND Conf() { return forms.HandleOf(*app.ConfForm()); }
  // A control's window, by its layout row.
  HWND Child(const Form& form, std::string_view name) {
    int index = 0;
    for (const ControlLayout& row : form.Layout()) {
      if (row.name == name) return GetDlgItem(forms.HandleOf(form), kFirstControlId + index);
      ++index;
    }
    return nullptr;
  }
  // One period of the program's timer, as Windows delivers it.
  // A timer period: the windows' clock moves on one second and the timer's
  // message arrives, as the system would send it.
  void Tick() {
    now += std::chrono::seconds(1);
    SendMessageW(Main(), WM_TIMER, 1, 0);
  }
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) forms.Dispatch(&message);
  }

  TickSchedule::Time now{};
  sim::SimPlatform sim;
  WatchedStore store{sim.store};
  Win32Forms forms{sim.power};
  // The shell's calls, each with the tip it was given.
  std::vector<std::pair<DWORD, std::wstring>> shellCalls;
  bool shellRefuses = false;  // a task bar not ready yet, as at a log-in
  // The picture of each call that set one.
  std::vector<HICON> shellIcons;
  ShellTrayIcon tray{[this](DWORD message, NOTIFYICONDATAW& data) {
    shellCalls.emplace_back(message, data.szTip);
    if ((message == NIM_ADD || message == NIM_MODIFY) && (data.uFlags & NIF_ICON) != 0) shellIcons.push_back(data.hIcon);
    return !shellRefuses;
  }};
  Platform platform{sim.tapi,  sim.power, sim.execution, sim.sleeper, sim.shutdown, store, sim.locks,
                    sim.clock, sim.boxes, forms,         sim.runStatus, sim.sessionStart, &tray};
  TApplication app{platform};
};

std::string TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return Narrow(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return Narrow(name);
}

std::string PartText(HWND bar, int part) {
  const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  std::wstring text(LOWORD(length) + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(length));
  return Narrow(text);
}

// What a test does once a modal loop runs, from a thread timer's turn in it.
std::function<void()>& InModalLoop() {
  static std::function<void()> action;
  return action;
}
void CALLBACK RunInModalLoop(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (auto action = InModalLoop()) action();
}

// What Wine's oleacc answers for a window's own object, for the record.
std::string OleaccName(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      object == nullptr) {
    return "(no object)";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::string result = "(no name)";
  if (object->get_accName(self, &name) == S_OK && name != nullptr) {
    result = Narrow(name);
    SysFreeString(name);
  }
  object->Release();
  return result;
}

// Counts SB_SETTEXT messages reaching a status bar: each one is a name
// change the bar itself reports to assistive technology.
struct SetTextCounter {
  explicit SetTextCounter(HWND bar) {
    Bar() = bar;
    Counts().assign(2, 0);
    hook = SetWindowsHookExW(WH_CALLWNDPROC, Seen, nullptr, GetCurrentThreadId());
  }
  ~SetTextCounter() { UnhookWindowsHookEx(hook); }
  static LRESULT CALLBACK Seen(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == Bar() && message->message == SB_SETTEXTW) {
      const std::size_t part = LOBYTE(message->wParam);
      if (part < Counts().size()) ++Counts()[part];
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static HWND& Bar() {
    static HWND bar = nullptr;
    return bar;
  }
  static std::vector<int>& Counts() {
    static std::vector<int> counts;
    return counts;
  }
  HHOOK hook = nullptr;
};

// Name changes of a window's parts as WinEvents, where the system sends them.
struct NameChanges {
  explicit NameChanges(HWND window) {
    Window() = window;
    Count() = 0;
    hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, Seen, GetCurrentProcessId(), 0,
                           WINEVENT_OUTOFCONTEXT);
  }
  ~NameChanges() {
    if (hook != nullptr) UnhookWinEvent(hook);
  }
  static void CALLBACK Seen(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window == Window() && object == OBJID_CLIENT && child == 1) ++Count();
  }
  static HWND& Window() {
    static HWND window = nullptr;
    return window;
  }
  static int& Count() {
    static int count = 0;
    return count;
  }
  HWINEVENTHOOK hook = nullptr;
};

HWND FocusedWindow(HWND top) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
  return info.hwndFocus != nullptr ? info.hwndFocus : GetFocus();
}

// Whether the keyboard focus is on `control` or inside it (the edit field of
// a drop-down that can be typed in).
bool FocusIn(HWND top, HWND control) {
  const HWND focused = FocusedWindow(top);
  return focused == control || IsChild(control, focused);
}

// A key pressed and released through the system's input queue.
void PressKey(WORD key, bool shift = false) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (shift) add(VK_SHIFT, false);
  add(key, false);
  add(key, true);
  if (shift) add(VK_SHIFT, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// What a control has room for its text: its client area less what the
// control draws beside the text, asked of the control where it can say.
struct Room {
  int width = 0;
  int height = 0;
};

Room RoomForText(HWND control, const ControlLayout& row, unsigned dpi) {
  RECT client;
  GetClientRect(control, &client);
  Room room{client.right, client.bottom};
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  switch (row.kind) {
    case ControlKind::CheckBox:
      // The box and the gap the control leaves before its text.
      room.width -= MulDiv(GetSystemMetrics(SM_CXMENUCHECK), static_cast<int>(dpi), 96) + MulDiv(4, static_cast<int>(dpi), 96);
      break;
    case ControlKind::Button:
      room.width -= 2 * MulDiv(GetSystemMetrics(SM_CXEDGE), static_cast<int>(dpi), 96);
      if ((style & BS_TYPEMASK) == BS_OWNERDRAW && !row.image.empty()) room.width -= MulDiv(20, static_cast<int>(dpi), 96);
      break;
    case ControlKind::Group:
      room.width -= 2 * MulDiv(8, static_cast<int>(dpi), 96);  // the caption sits in from the frame's corner
      break;
    case ControlKind::SpinEdit: {
      RECT format{};
      SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
      room = {format.right - format.left, format.bottom - format.top};
      break;
    }
    default:
      break;
  }
  return room;
}

std::wstring DrawnText(const WinOnSim&, HWND control, const ControlLayout& row, const Control* model) {
  if (row.kind == ControlKind::Button && model != nullptr) return Widen(model->Text());  // the caption it draws
  if (row.kind == ControlKind::ProgressBar) return L"100%";
  if (row.kind == ControlKind::SpinEdit && model != nullptr) {
    return std::to_wstring(static_cast<const TSpinEdit*>(model)->MaxValue());
  }
  wchar_t text[256] = {};
  GetWindowTextW(control, text, 256);
  return text;
}

RECT RectInClient(HWND control, HWND window) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Every text has its glyphs and fits its control in the font it is drawn in, no two controls of
// a group overlap, and each stays inside its group and the window. Returns
// the number of faults, each printed.
int CheckNothingCut(const WinOnSim& env, const Form& form, HWND window, unsigned dpi) {
  int faults = 0;
  RECT client;
  GetClientRect(window, &client);
  int index = 0;
  std::vector<std::pair<const ControlLayout*, RECT>> placed;
  for (const ControlLayout& row : form.Layout()) {
    HWND control = GetDlgItem(window, kFirstControlId + index++);
    if (control == nullptr || row.kind == ControlKind::StatusBar || row.kind == ControlKind::Picture) {
      if (control != nullptr) placed.emplace_back(&row, RectInClient(control, window));
      continue;
    }
    const Control* model = form.Find(row.name);
    const std::wstring text = DrawnText(env, control, row, model);
    placed.emplace_back(&row, RectInClient(control, window));
    if (text.empty()) continue;
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // Every character has a glyph of its own in the font: none is drawn as a box.
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    const auto missing = std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF});
    if (missing > 0) {
      ++faults;
      std::printf("  %s: %d characters of \"%s\" have no glyph in its font\n", std::string(row.name).c_str(),
                  static_cast<int>(missing), Narrow(text).c_str());
    }
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    const Room room = RoomForText(control, row, dpi);
    const int height = row.kind == ControlKind::Group ? 0 : metrics.tmHeight;
    if (extent.cx > room.width || height > room.height) {
      ++faults;
      std::printf("  %s at %u dpi: \"%s\" needs %ldx%d, has %dx%d\n", std::string(row.name).c_str(), dpi,
                  Narrow(text).c_str(), static_cast<long>(extent.cx), height, room.width, room.height);
    }
  }
  for (std::size_t a = 0; a < placed.size(); ++a) {
    const auto& [row, rect] = placed[a];
    RECT parent = client;
    for (const auto& [other, otherRect] : placed) {
      if (other->name == row->parent) parent = otherRect;
    }
    if (rect.left < parent.left || rect.top < parent.top || rect.right > parent.right || rect.bottom > parent.bottom) {
      ++faults;
      std::printf("  %s at %u dpi leaves %s\n", std::string(row->name).c_str(), dpi,
                  row->parent.empty() ? "the window" : std::string(row->parent).c_str());
    }
    for (std::size_t b = a + 1; b < placed.size(); ++b) {
      if (placed[b].first->parent != row->parent) continue;
      RECT both;
      if (IntersectRect(&both, &rect, &placed[b].second)) {
        ++faults;
        std::printf("  %s and %s overlap at %u dpi\n", std::string(row->name).c_str(),
                    std::string(placed[b].first->name).c_str(), dpi);
      }
    }
  }
  return faults;
}

}  // namespace

TEST_CASE("fit: every text drawn with its own glyphs and within its control, nothing overlaps, at 100 %, 150 % and 200 %") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  env.forms.Show(conf);
  env.Pump();
  std::printf("  window font: %s\n", Narrow(WindowFontFace(kDesignFont)).c_str());
  // The longest texts the program writes into its labels.
  env.app.Deliver([&] {
    main.LMDLabel1.SetText("バッテリなし");
    conf.StaticText.SetText("KESTRA T48R");
  });
  for (const unsigned dpi : {96u, 144u, 192u}) {
    for (HWND window : {env.Main(), env.Conf()}) {
      RECT outer;
      GetWindowRect(window, &outer);
      RECT suggested{outer.left, outer.top, outer.right, outer.bottom};
      SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    env.Pump();
    CHECK_EQ(CheckNothingCut(env, main, env.Main(), dpi), 0);
    CHECK_EQ(CheckNothingCut(env, conf, env.Conf(), dpi), 0);
  }
  // A handset name longer than its box: the box, its group and the dialog
  // grow while it is shown; a short one gives the design size back.
  RECT before;
  GetClientRect(env.Conf(), &before);
  env.app.Deliver([&] { conf.StaticText.SetText("KESTRA T48R with a much longer model name"); });
  CHECK_EQ(CheckNothingCut(env, conf, env.Conf(), 192), 0);
  RECT grown;
  GetClientRect(env.Conf(), &grown);
  CHECK(grown.right > before.right);
  env.app.Deliver([&] { conf.StaticText.SetText("KESTRA T48R"); });
  RECT back;
  GetClientRect(env.Conf(), &back);
  CHECK_EQ(back.right, before.right);
  env.forms.Hide(conf);
}

TEST_CASE("settings dialog: its controls are made when it first opens, showing what the program set by then") {
  WinOnSim env;
  TConfForm& conf = *env.app.ConfForm();
  CHECK(env.Conf() != nullptr);
  CHECK(GetWindow(env.Conf(), GW_CHILD) == nullptr);
  conf.StaticText.SetText("KESTRA T50");
  conf.CheckBox2.SetEnabled(false);
  env.forms.Show(conf);
  env.Pump();
  CHECK_EQ(TextOf(env.Child(conf, "StaticText")), std::string("KESTRA T50"));
  CHECK(IsWindowEnabled(env.Child(conf, "CheckBox2")) == FALSE);
  // Shown again, it is the same dialog with the same controls.
  HWND first = env.Child(conf, "Button1");
  env.forms.Hide(conf);
  env.forms.Show(conf);
  CHECK(env.Child(conf, "Button1") == first);
  conf.StaticText.SetText("KESTRA T48R");
  CHECK_EQ(TextOf(env.Child(conf, "StaticText")), std::string("KESTRA T48R"));
  env.forms.Hide(conf);
}

TEST_CASE("session end: WM_QUERYENDSESSION writes the settings and allows the end, WM_ENDSESSION writes them too") {
  const auto storedMinutes = [](WinOnSim& env) {
    return std::get<std::uint32_t>(env.sim.store.keys[SettingsKeyPath()][kValueMinTimer]);
  };
  {
    WinOnSim env;
    env.app.Deliver([&] { env.app.MainForm()->SpinEdit2.UserStep(+1); });
    CHECK_EQ(storedMinutes(env), std::uint32_t{0});
    CHECK_EQ(SendMessageW(env.Main(), WM_QUERYENDSESSION, 0, 0), LRESULT{TRUE});
    CHECK_EQ(storedMinutes(env), std::uint32_t{10});
    CHECK(env.app.Running());  // the session may still be cancelled
  }
  {
    WinOnSim env;
    env.app.Deliver([&] { env.app.MainForm()->SpinEdit2.UserStep(+1); });
    env.sim.store.createFail = true;  // refused at the end: no box, nothing lost
    SendMessageW(env.Main(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(env.Main(), WM_ENDSESSION, TRUE, 0);
    CHECK(!env.app.Running());
    CHECK(env.sim.boxes.shown.empty());
    CHECK_EQ(storedMinutes(env), std::uint32_t{0});
    env.sim.store.createFail = false;
  }
  {
    WinOnSim env;
    env.app.Deliver([&] { env.app.MainForm()->SpinEdit2.UserStep(+1); });
    SendMessageW(env.Main(), WM_ENDSESSION, TRUE, 0);
    CHECK(!env.app.Running());
    CHECK_EQ(storedMinutes(env), std::uint32_t{10});
  }
}

namespace {

// Whether the program has asked its message loop to end, taken from the queue.
bool QuitPosted() {
  MSG message;
  return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace

// Windows may end the process as soon as WM_ENDSESSION returns: the run's
// line is given back inside it, as the close box does, before the settings
// are written. The query alone may still be cancelled, so it ends nothing.
TEST_CASE("session end during a run: the line closes and its application shuts down before the settings are written") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  env.Tick();
  SendMessageW(env.Child(main, "SpeedButton2"), BM_CLICK, 0, 0);
  CHECK(main.Run.Charging);
  env.sim.tapi.TakeCalls();
  std::vector<std::string> seen;  // the line's calls and the settings' writes, in order
  env.store.openedForWriting = [&] {
    for (const sim::TapiCall& call : env.sim.tapi.TakeCalls()) seen.push_back(call.op);
    seen.push_back("write");
  };
  CHECK_EQ(SendMessageW(env.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), LRESULT{TRUE});
  CHECK(main.Run.Charging);
  CHECK(env.app.Running());
  CHECK(!QuitPosted());
  SendMessageW(env.Main(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // another program cancelled it
  CHECK(main.Run.Charging);
  CHECK(env.app.Running());
  CHECK(!QuitPosted());
  CHECK_EQ(seen, (std::vector<std::string>{"write"}));

  SendMessageW(env.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  for (const sim::TapiCall& call : env.sim.tapi.TakeCalls()) seen.push_back(call.op);
  CHECK_EQ(seen, (std::vector<std::string>{"write", "lineClose", "lineShutdown", "write"}));
  CHECK(!main.Run.Charging);
  CHECK_EQ(env.sim.tapi.LinesOpen(), std::size_t{0});
  CHECK_EQ(env.sim.tapi.LineAppsAlive(), std::size_t{0});
  CHECK(!env.app.Running());
  CHECK(QuitPosted());
  CHECK(env.sim.boxes.shown.empty());
  // The same message reaches the hidden settings dialog: nothing more happens.
  SendMessageW(env.Conf(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  CHECK(env.sim.tapi.TakeCalls().empty());
  CHECK_EQ(seen.size(), std::size_t{4});
}

TEST_CASE("handset drop-down: typed or picked names reach the program, the list shows the offered names") {
  WinOnSim env;
  env.sim.tapi.devices.push_back(env.sim.tapi.devices.front());
  env.sim.tapi.devices.back().name = "KESTRA T50";
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  for (const murrelet::testing::HandsetNameCase& c : murrelet::testing::kHandsetNameCases) {
    bool checked = false;
    // The dialog runs its own loop; the user's part is played on its first turn.
    InModalLoop() = [&] {
      checked = true;
      HWND combo = env.Child(conf, "StaticText");
      CHECK_EQ(ClassOf(combo), std::string("ComboBox"));
      CHECK_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), LRESULT{2});
      const int id = GetDlgCtrlID(combo);
      // As the control tells its dialog: a pick from the list, or an edit.
      auto enter = [&](const char* typed) {
        if (typed == nullptr) {
          SendMessageW(combo, CB_SETCURSEL, 1, 0);
        } else {
          SetWindowTextW(combo, Widen(typed).c_str());
        }
        const WORD change = typed == nullptr ? CBN_SELCHANGE : CBN_EDITCHANGE;
        SendMessageW(env.Conf(), WM_COMMAND, MAKEWPARAM(id, change), reinterpret_cast<LPARAM>(combo));
      };
      enter(c.typed);
      enter("");
      CHECK(IsWindowEnabled(env.Child(conf, "Button1")) == FALSE);  // no empty name
      enter(c.typed);
      HWND button = env.Child(conf, c.ok ? "Button1" : "Button2");
      SendMessageW(env.Conf(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    };
    SetTimer(nullptr, 0, 0, RunInModalLoop);
    env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
    InModalLoop() = nullptr;
    CHECK(checked);
    CHECK_EQ(main.Settings.HandsetName, std::string(c.stored));
  }
}

TEST_CASE("names: each control carries what MSAA reads for it") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  env.forms.Show(conf);  // its controls are made when it first opens
  // Buttons and check boxes are named by their window text; edits and the
  // progress bar by the static text just before them in z-order.
  struct Named {
    const Form* form;
    const char* control;
    const char* text;
    bool byLabel = false;
  };
  const Named names[] = {
      {&main, "SpeedButton1", "環境設定"},  // a glyph without a caption: its hint
      {&main, "SpeedButton2", "充電開始"},
      {&main, "SpeedButton3", "充電停止"},
      {&main, "LMDCheckBox1", "終了時にシャットダウンする"},
      {&main, "LMDLabel1", "AC電源"},
      {&conf, "CheckBox1", "ＡＣ電源供給時のみ、充電を許可する。"},
      {&conf, "CheckBox2", "バッテリの残り容量が"},
      {&conf, "CheckBox3", "充電中はサスペンドを無効にする。"},
      {&conf, "Button1", "OK"},
      {&conf, "Button2", "ｷｬﾝｾﾙ"},
      {&conf, "CheckBox4", "ハンドセットを接続したら自動的に充電を開始する。"},
      {&conf, "CheckBox5", "ログイン時に起動する。"},
      {&conf, "CheckBox6", "通知領域にアイコンを表示する。"},
      {&main, "SpinEdit1", "充電時間 時間", true},
      {&main, "SpinEdit2", "充電時間 分", true},
      {&main, "LMDProgress", "バッテリ容量", true},
      {&conf, "SpinEdit1", "バッテリの残り容量が ％を下回ったら充電停止", true},
      {&conf, "StaticText", "KESTRAの機種名", true},
  };
  for (const Named& n : names) {
    HWND window = env.Child(*n.form, n.control);
    CHECK(window != nullptr);
    HWND named = n.byLabel ? GetWindow(window, GW_HWNDPREV) : window;
    if (n.byLabel) CHECK_EQ(ClassOf(named), std::string("Static"));
    CHECK_EQ(TextOf(named), std::string(n.text));
  }
  // The system's own classes, whose proxies give role and value.
  CHECK_EQ(ClassOf(env.Child(main, "SpinEdit1")), std::string("Edit"));
  HWND bar = env.Child(main, "LMDProgress");
  CHECK_EQ(ClassOf(bar), std::string("msctls_progress32"));
  CHECK_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), LRESULT{80});
  CHECK_EQ(ClassOf(env.Child(main, "StatusBar")), std::string("msctls_statusbar32"));
  // What Wine's own accessibility makes of them; printed, not required.
  for (const char* control : {"SpeedButton1", "SpinEdit2", "LMDProgress", "StatusBar"}) {
    std::printf("  oleacc accName(%s) = %s\n", control, OleaccName(env.Child(main, control)).c_str());
  }
}

// MSAA's default action on a control: what a screen reader's "click", switch
// access or voice control does. Wine's oleacc may give no object for the
// window, or none that acts; the system's button proxy then does what it does
// on Windows, a BM_CLICK posted to the button, so the click comes as a message
// like any other. Says which of the two it was.
const char* DoDefaultAction(HWND control) {
  IAccessible* object = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                           reinterpret_cast<void**>(&object))) &&
      object != nullptr) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const HRESULT done = object->accDoDefaultAction(self);
    object->Release();
    if (SUCCEEDED(done)) return "oleacc";
  }
  PostMessageW(control, BM_CLICK, 0, 0);
  return "BM_CLICK posted, as the button proxy does";
}

TEST_CASE("settings dialog: the start boxes in their group above the buttons, OK and ｷｬﾝｾﾙ last, a default action stored") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  env.forms.Show(conf);
  env.Pump();
  HWND dialog = env.Conf();
  RECT ok{}, cancel{}, group{}, power{}, client{};
  GetWindowRect(env.Child(conf, "Button1"), &ok);
  GetWindowRect(env.Child(conf, "Button2"), &cancel);
  GetWindowRect(env.Child(conf, "LMDGroupBox4"), &group);
  GetWindowRect(env.Child(conf, "LMDGroupBox1"), &power);
  GetClientRect(dialog, &client);
  CHECK_EQ(TextOf(env.Child(conf, "LMDGroupBox4")), std::string("自動起動の設定"));
  CHECK(group.top >= power.bottom);  // under the power group
  RECT boxes[3]{};
  int n = 0;
  for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6"}) {
    RECT& rect = boxes[n++];
    GetWindowRect(env.Child(conf, box), &rect);
    CHECK(rect.top > group.top);
    CHECK(rect.bottom < group.bottom);
  }
  // The icon box on the group's third line, under the log-in box.
  CHECK_EQ(boxes[2].left, boxes[1].left);
  CHECK_EQ(boxes[2].top - boxes[1].top, boxes[1].top - boxes[0].top);
  CHECK(ok.top >= group.bottom);  // the buttons below everything, at the bottom right
  CHECK(cancel.left > ok.right);
  POINT corner{cancel.right, cancel.bottom};
  ScreenToClient(dialog, &corner);
  CHECK(client.bottom - corner.y < 16);
  // A dialog widened by its texts keeps the buttons at their design place.
  std::printf("  ｷｬﾝｾﾙ ends %ld px from the right edge\n", static_cast<long>(client.right - corner.x));
  SetForegroundWindow(dialog);
  env.Pump();
  SetFocus(env.Child(conf, "CheckBox3"));
  // Tab on through the group to the buttons, then round to the first control.
  for (const char* expected : {"CheckBox4", "CheckBox5", "CheckBox6", "Button1", "Button2", "StaticText"}) {
    PressKey(VK_TAB);
    env.Pump();
    CHECK(FocusIn(dialog, env.Child(conf, expected)));
    if (!FocusIn(dialog, env.Child(conf, expected))) std::printf("  Tab did not reach %s\n", expected);
  }
  env.forms.Hide(conf);

  // Each box worked through its default action, then OK: the values stored.
  const bool suspendBefore = main.Settings.SuspendDisable;
  bool acted = false;
  InModalLoop() = [&] {
    acted = true;
    for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox3"}) {
      std::printf("  default action on %s: %s\n", box, DoDefaultAction(env.Child(conf, box)));
      env.Pump();
    }
    CHECK(conf.CheckBox4.Checked());
    CHECK(SendMessageW(env.Child(conf, "CheckBox4"), BM_GETCHECK, 0, 0) == BST_CHECKED);
    // Windows always has a notification area: the icon box is there to tick.
    CHECK(IsWindowEnabled(env.Child(conf, "CheckBox6")) != FALSE);
    DoDefaultAction(env.Child(conf, "Button1"));
    env.Pump();
  };
  SetTimer(nullptr, 0, 0, RunInModalLoop);
  env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
  InModalLoop() = nullptr;
  CHECK(acted);
  CHECK(conf.ModalResult == TModalResult::Ok);
  CHECK(main.Settings.AutoCharge);
  CHECK(main.Settings.StartWithSession);
  CHECK(main.Settings.SuspendDisable != suspendBefore);
  // The program's own state shown on the next opening is not taken back as a
  // click: cancelled, the settings are as they were.
  main.Settings.AutoCharge = false;
  InModalLoop() = [&] {
    CHECK(SendMessageW(env.Child(conf, "CheckBox4"), BM_GETCHECK, 0, 0) == BST_UNCHECKED);
    DoDefaultAction(env.Child(conf, "Button2"));
    env.Pump();
  };
  SetTimer(nullptr, 0, 0, RunInModalLoop);
  env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
  InModalLoop() = nullptr;
  CHECK(!main.Settings.AutoCharge);
  CHECK(!conf.CheckBox4.Checked());
}

TEST_CASE("start by the session: the window is shown minimised, restored from its task-bar button") {
  WinOnSim env(TApplication::StartedBy::Session);
  TMainForm& main = *env.app.MainForm();
  CHECK(main.Visible);
  CHECK(IsWindowVisible(env.Main()) == FALSE);  // down with the task-bar button's window
  CHECK(!env.forms.IsActive(main));
  HWND button = GetWindow(env.Main(), GW_OWNER);
  CHECK(button != nullptr && IsIconic(button) != FALSE);
  ShowWindow(button, SW_RESTORE);
  env.Pump();
  CHECK(IsWindowVisible(env.Main()) != FALSE);
}

// A run that starts by itself at a minimised log-in start and fails: its box
// belongs to the main window, which a minimised task-bar button hides, so
// the window comes back, in front, before the box shows.
TEST_CASE("start by the session: a box restores the minimised window first, the dialog with it") {
  WinOnSim env(TApplication::StartedBy::Session, [](sim::SimPlatform& sim) {
    sim.store.keys[SettingsKeyPath()][kValueAutoCharge] = std::uint32_t{1};
    sim.tapi.failNext["lineOpen"] = 1;
  });
  TMainForm& main = *env.app.MainForm();
  HWND button = GetWindow(env.Main(), GW_OWNER);
  CHECK(IsIconic(button) != FALSE);
  CHECK(env.forms.IsMinimized(main));
  struct AtBox {
    bool iconic = true;
    bool mainShown = false;
    bool dialogShown = false;
    HWND foreground = nullptr;
  } atBox;
  const auto look = [&](int) {
    atBox = {IsIconic(button) != FALSE, IsWindowVisible(env.Main()) != FALSE, IsWindowVisible(env.Conf()) != FALSE,
             GetForegroundWindow()};
  };
  env.sim.boxes.modalTicks = 1;
  env.sim.boxes.runTicks = look;
  env.Tick();  // the first idle poll finds the handset and starts; the line refuses
  CHECK_EQ(env.sim.boxes.shown.size(), std::size_t{1});
  CHECK(!atBox.iconic);
  CHECK(atBox.mainShown);
  CHECK(atBox.foreground == env.Main());
  CHECK(!env.forms.IsMinimized(main));
  CHECK(!main.Run.Charging);

  // Minimised from the task-bar button with the settings dialog open: a box
  // while the dialog's loop runs (here a failed start's) brings both back,
  // the dialog in front.
  InModalLoop() = [&] {
    ShowWindow(button, SW_MINIMIZE);
    env.Pump();
    CHECK(IsIconic(button) != FALSE);
    CHECK(IsWindowVisible(env.Conf()) == FALSE);
    env.sim.tapi.devices.clear();
    env.Pump();
    env.sim.boxes.modalTicks = 1;
    env.sim.boxes.runTicks = look;
    env.app.Deliver([&] { main.SpeedButton2.UserClick(); });
    SendMessageW(env.Conf(), WM_CLOSE, 0, 0);
  };
  SetTimer(nullptr, 0, 10, RunInModalLoop);
  env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
  InModalLoop() = nullptr;
  CHECK_EQ(env.sim.boxes.shown.size(), std::size_t{2});
  CHECK(!atBox.iconic);
  CHECK(atBox.mainShown);
  CHECK(atBox.dialogShown);
  CHECK(atBox.foreground == env.Conf());
}

TEST_CASE("notification-area icon refused by a task bar not ready at log-in: the window is not left hidden, and the icon comes with the task bar") {
  WinOnSim env(TApplication::StartedBy::User, [](sim::SimPlatform& sim) {
    sim.store.keys[SettingsKeyPath()][kValueTrayIcon] = std::uint32_t{1};
  });
  TMainForm& main = *env.app.MainForm();
  const HWND button = env.forms.ApplicationHandle();
  // The shell stops taking icons (Explorer gone), and the program puts its icon up anew.
  env.shellRefuses = true;
  PostMessageW(env.tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  env.Pump();
  CHECK(!env.tray.Added());
  CHECK(!env.tray.Available());
  // Minimised now, the window keeps its task-bar button: there is no icon to find it by.
  ShowWindow(button, SW_MINIMIZE);
  env.Pump();
  env.Tick();
  CHECK(IsWindowVisible(button) != FALSE);
  CHECK(main.Visible);
  // The task bar comes: the icon with it.
  env.shellRefuses = false;
  PostMessageW(env.tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  env.Pump();
  env.Tick();
  CHECK(env.tray.Available());
  CHECK(env.tray.Added());
}

TEST_CASE("notification-area icon: added with its tip, its menu starts and stops a run and ends the program, a click brings the minimised window back") {
  WinOnSim env(TApplication::StartedBy::User, [](sim::SimPlatform& sim) {
    sim.store.keys[SettingsKeyPath()][kValueTrayIcon] = std::uint32_t{1};
  });
  TMainForm& main = *env.app.MainForm();
  const HWND icon = env.tray.Handle();
  const HWND button = env.forms.ApplicationHandle();
  CHECK(env.shellCalls.size() >= 2);
  if (env.shellCalls.size() < 2) return;
  CHECK(env.shellCalls[0].first == NIM_ADD);
  CHECK(env.shellCalls[0].second == L"Murrelet");
  CHECK(env.shellCalls[1].first == NIM_SETVERSION);
  CHECK(env.tray.Added());

  // Menu items by index: 充電開始, 充電停止, 環境設定, 終了.
  PostMessageW(icon, WM_COMMAND, ShellTrayIcon::kFirstCommand + 0, 0);
  env.Pump();
  CHECK(main.Run.Charging);
  env.Tick();
  CHECK(env.shellCalls.back().first == NIM_MODIFY);
  CHECK(env.shellCalls.back().second.rfind(L"Murrelet\n", 0) == 0);

  // Minimised behind the icon, the window and its task-bar button go; a
  // click on the icon (version 4: the event in the low word) brings both back.
  ShowWindow(button, SW_MINIMIZE);
  env.Pump();
  CHECK(IsWindowVisible(env.Main()) == FALSE);
  CHECK(IsWindowVisible(button) == FALSE);
  PostMessageW(icon, ShellTrayIcon::kCallbackMessage, 0, MAKELPARAM(NIN_SELECT, 1));
  env.Pump();
  CHECK(IsWindowVisible(env.Main()) != FALSE);
  CHECK(IsWindowVisible(button) != FALSE);
  CHECK(main.Visible);

  PostMessageW(icon, WM_COMMAND, ShellTrayIcon::kFirstCommand + 1, 0);
  env.Pump();
  CHECK(!main.Run.Charging);
  PostMessageW(icon, WM_COMMAND, ShellTrayIcon::kFirstCommand + 3, 0);
  env.Pump();
  CHECK(!env.app.Running());
  CHECK(env.shellCalls.back().first == NIM_DELETE);
  CHECK(!env.tray.Added());

  // The tip holds 127 units; a pair of surrogates is never split.
  const std::wstring pair = L"\U0001F50B";
  const struct {
    std::wstring text;
    std::size_t length;
  } cuts[] = {{std::wstring(127, L'a'), 127}, {std::wstring(130, L'a'), 127},
              {std::wstring(126, L'a') + pair, 126}, {std::wstring(125, L'a') + pair + L"b", 127}};
  for (const auto& cut : cuts) CHECK_EQ(CutUtf16(cut.text, 127).size(), cut.length);
}

// An icon's width, 0 for a handle that is no icon (one destroyed).
int IconSide(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || GetIconInfo(icon, &info) == FALSE) return 0;
  BITMAP bits{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return bits.bmWidth;
}

TEST_CASE("notification-area icon: the program's icon at rest, the charging one from a run's start to its end, both the small icon's size and destroyed with the icon") {
  HICON idle = nullptr;
  HICON charging = nullptr;
  {
    WinOnSim env(TApplication::StartedBy::User, [](sim::SimPlatform& sim) {
      sim.store.keys[SettingsKeyPath()][kValueTrayIcon] = std::uint32_t{1};
    });
    TMainForm& main = *env.app.MainForm();
    const HWND icon = env.tray.Handle();
    const HICON generic = LoadIconW(nullptr, IDI_APPLICATION);
    CHECK(!env.shellIcons.empty());
    if (env.shellIcons.empty()) return;
    idle = env.shellIcons.back();
    // Started from the menu, stopped from it; started from the window with ten
    // minutes, ended by the countdown.
    PostMessageW(icon, WM_COMMAND, ShellTrayIcon::kFirstCommand + 0, 0);
    env.Pump();
    CHECK(main.Run.Charging);
    charging = env.shellIcons.back();
    CHECK(charging != idle);
    env.Tick();
    CHECK(env.shellIcons.back() == charging);
    PostMessageW(icon, WM_COMMAND, ShellTrayIcon::kFirstCommand + 1, 0);
    env.Pump();
    CHECK(!main.Run.Charging);
    CHECK(env.shellIcons.back() == idle);
    SendMessageW(env.Child(main, "SpinEdit2"), WM_KEYDOWN, VK_UP, 0);
    SendMessageW(env.Child(main, "SpeedButton2"), BM_CLICK, 0, 0);
    env.Pump();
    CHECK(main.Run.Charging);
    CHECK(env.shellIcons.back() == charging);
    for (int second = 0; second <= 10 * 60 + 1 && main.Run.Charging; ++second) env.Tick();
    env.Pump();
    CHECK(!main.Run.Charging);
    CHECK(env.shellIcons.back() == idle);
    // Both from the program's resources, at the size the area shows unscaled.
    for (HICON picture : {idle, charging}) {
      CHECK(picture != generic);
      CHECK_EQ(IconSide(picture), GetSystemMetrics(SM_CXSMICON));
    }
  }
  CHECK_EQ(IconSide(idle), 0);
  CHECK_EQ(IconSide(charging), 0);
}

TEST_CASE("status bar: panel 0's text stays in its part during a run, set once per change") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  HWND status = env.Child(main, "StatusBar");
  env.Tick();
  // Ten minutes through the minutes box's up arrow key, then start.
  SendMessageW(env.Child(main, "SpinEdit2"), WM_KEYDOWN, VK_UP, 0);
  CHECK_EQ(main.SpinEdit2.Value(), 10);
  SendMessageW(env.Child(main, "SpeedButton2"), BM_CLICK, 0, 0);
  CHECK(main.Run.Charging);
  SetTextCounter counter(status);
  NameChanges events(status);
  env.Tick();
  CHECK_EQ(PartText(status, 0), std::string("充電中（残り 0:09:59)"));
  CHECK_EQ(HIWORD(SendMessageW(status, SB_GETTEXTLENGTHW, 0, 0)) & SBT_OWNERDRAW, 0);
  CHECK_EQ(PartText(status, 1), std::string("12:00:00"));
  env.Tick();
  CHECK_EQ(PartText(status, 0), std::string("充電中（残り 0:09:58)"));
  CHECK_EQ(SetTextCounter::Counts()[0], 2);
  CHECK_EQ(SetTextCounter::Counts()[1], 0);  // the simulated clock stood still
  env.Pump();
  // Windows' status bar reports each SB_SETTEXT as a name change of that
  // part; Wine's may report none. Never more than one per change.
  std::printf("  panel 0 name-change WinEvents for 2 changes: %d\n", NameChanges::Count());
  CHECK(NameChanges::Count() <= 2);
  // A message that stays the same is not set again.
  main.SpinEdit2.SetEnabled(true);
  env.app.Deliver([&] { main.StatusBar.SetPanel(1, "12:00:01"); });
  CHECK_EQ(SetTextCounter::Counts()[0], 2);
  CHECK_EQ(SetTextCounter::Counts()[1], 1);
  SendMessageW(env.Child(main, "SpeedButton3"), BM_CLICK, 0, 0);
  CHECK(!main.Run.Charging);
  CHECK_EQ(PartText(status, 0), std::string(""));
}

TEST_CASE("keyboard: Tab walks the main window in reading order; Space starts and stops; the focus follows") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  env.Tick();
  CHECK(main.SpeedButton2.Enabled());
  HWND window = env.Main();
  SetForegroundWindow(window);
  env.Pump();
  // Activated, the window gives the focus to the first control in tab order.
  CHECK_EQ(FocusedWindow(window), env.Child(main, "SpinEdit1"));
  const char* forward[] = {"SpinEdit2", "LMDCheckBox1", "SpeedButton1", "SpeedButton2", "SpinEdit1"};
  for (const char* expected : forward) {
    PressKey(VK_TAB);
    env.Pump();
    CHECK_EQ(FocusedWindow(window), env.Child(main, expected));
    if (FocusedWindow(window) != env.Child(main, expected)) std::printf("  Tab did not reach %s\n", expected);
  }
  PressKey(VK_TAB, true);
  env.Pump();
  CHECK_EQ(FocusedWindow(window), env.Child(main, "SpeedButton2"));
  // The arrow keys on the focused minutes box.
  SetFocus(env.Child(main, "SpinEdit2"));
  PressKey(VK_UP);
  PressKey(VK_UP);
  PressKey(VK_DOWN);
  env.Pump();
  CHECK_EQ(main.SpinEdit2.Value(), 10);
  // Space on start: the run begins, the focus moves to stop.
  SetFocus(env.Child(main, "SpeedButton2"));
  PressKey(VK_SPACE);
  env.Pump();
  CHECK(main.Run.Charging);
  CHECK_EQ(FocusedWindow(window), env.Child(main, "SpeedButton3"));
  PressKey(VK_SPACE);
  env.Pump();
  CHECK(!main.Run.Charging);
  CHECK_EQ(FocusedWindow(window), env.Child(main, "SpeedButton2"));
  // The handset goes away: start and stop are off, the focus goes round.
  env.sim.tapi.devices.clear();
  env.Tick();
  CHECK(!main.SpeedButton2.Enabled());
  CHECK_EQ(FocusedWindow(window), env.Child(main, "SpinEdit1"));
}

namespace {

// What a test does once a modal dialog's own loop runs: a thread timer fires
// inside that loop. A guard closes the dialog should the keys leave it open.
std::function<void()>* duringModal = nullptr;
HWND modalToGuard = nullptr;
VOID CALLBACK RunDuringModal(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (duringModal != nullptr) (*duringModal)();
}
VOID CALLBACK CloseStuckModal(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (modalToGuard != nullptr && IsWindowVisible(modalToGuard)) PostMessageW(modalToGuard, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_CASE("keyboard: each opening of the settings dialog starts on its first control; Enter is OK, Escape cancels") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  struct Opening {
    const char* what;
    std::vector<std::pair<WORD, bool>> keys;  // key, with Shift
    TModalResult result;
  };
  const Opening openings[] = {
      // Back from the first control to the last, ｷｬﾝｾﾙ.
      {"Shift+Tab to ｷｬﾝｾﾙ, Space",
       {{VK_TAB, true}, {VK_SPACE, false}},
       TModalResult::Cancel},
      // Reopened after ｷｬﾝｾﾙ the focus is on the first control again, not on
      // the button that had it last: Tab and Space tick the AC-only box; Enter
      // confirms.
      {"Tab, Space, Enter", {{VK_TAB, false}, {VK_SPACE, false}, {VK_RETURN, false}}, TModalResult::Ok},
      {"Escape", {{VK_ESCAPE, false}}, TModalResult::Cancel},
      {"Enter in the handset's drop-down", {{VK_RETURN, false}}, TModalResult::Ok},
      {"Shift+Tab to ｷｬﾝｾﾙ, Enter",
       {{VK_TAB, true}, {VK_RETURN, false}},
       TModalResult::Cancel},
  };
  for (const Opening& opening : openings) {
    std::printf("  %s\n", opening.what);
    bool ran = false;
    std::function<void()> during = [&] {
      ran = true;
      HWND dialog = env.Conf();
      modalToGuard = dialog;
      CHECK(FocusIn(dialog, env.Child(conf, "StaticText")));
      // The focus rectangle shows from the start.
      CHECK_EQ(SendMessageW(dialog, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
      for (const auto& [key, shift] : opening.keys) PressKey(key, shift);
      SetTimer(nullptr, 0, 3000, CloseStuckModal);
    };
    duringModal = &during;
    SetTimer(nullptr, 0, 10, RunDuringModal);
    SendMessageW(env.Child(main, "SpeedButton1"), BM_CLICK, 0, 0);
    duringModal = nullptr;
    CHECK(ran);
    CHECK(conf.ModalResult == opening.result);
    if (conf.ModalResult != opening.result) std::printf("    ended with %d\n", static_cast<int>(conf.ModalResult));
  }
  CHECK(main.Settings.ACPowerFlag);  // from the Space and Enter of the second opening
  CHECK_EQ(main.Settings.HandsetName, std::string("KESTRA T48R"));
}

TEST_CASE("status panels: a long message and a 12-hour clock are narrowed, never cut, at 100 % and 200 %") {
  WinOnSim env;
  TMainForm& main = *env.app.MainForm();
  HWND window = env.Main();
  HWND status = env.Child(main, "StatusBar");
  env.app.Deliver([&] {
    main.StatusBar.SetPanel(0, "KESTRA T48Rが接続されていません。");
    main.StatusBar.SetPanel(1, "1:06:26 PM");
  });
  for (const unsigned dpi : {96u, 192u}) {
    RECT outer;
    GetWindowRect(window, &outer);
    RECT suggested{outer.left, outer.top, outer.left + static_cast<LONG>((outer.right - outer.left) * dpi / 96),
                   outer.top + static_cast<LONG>((outer.bottom - outer.top) * dpi / 96)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    CHECK_EQ(PartText(status, 1), std::string("1:06:26 PM"));
    // The bar as it paints itself, into a bitmap.
    RECT client;
    GetClientRect(status, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(status, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int part = 0; part < 2; ++part) {
      const RECT text = PanelTextRect(status, part, dpi);
      RECT inner{};
      SendMessageW(status, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&inner));
      InflateRect(&inner, -1, -1);
      // A cut text runs into the margin up to the border; a fitted one ends
      // inside its text area.
      int inkInMargin = 0;
      int inkInText = 0;
      for (int y = inner.top; y < inner.bottom; ++y) {
        for (int x = inner.left; x < inner.right; ++x) {
          const bool ink = GetPixel(dc, x, y) != face;
          if (!ink) continue;
          if (x >= text.right) ++inkInMargin;
          else ++inkInText;
        }
      }
      std::printf("  %u dpi, panel %d: %ld px of text area, ink %d inside, %d in the margin\n", dpi, part,
                  static_cast<long>(text.right - text.left), inkInText, inkInMargin);
      CHECK(inkInText > 0);
      CHECK_EQ(inkInMargin, 0);
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
}

int wmain() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  CoInitialize(nullptr);
  const int failed = check::RunAll();
  CoUninitialize();
  return failed;
}
