// The Windows adapters against the real system calls (run under Wine in CI):
// the registry, the single-instance mutex seen from a second process, the
// window-procedure hook with real messages, TAPI, the clock and the calls of
// a shutdown request up to, never including, the request itself.
#include <memory>
#include <string>
#include <vector>

#include "charging/application.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "kit/platform.h"
#include "kit/power.h"
#include "kit/tapi.h"
#include "platform/win32/custom_drawing.h"
#include "platform/win32/legacy_power_bridge.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/run_key_session_start.h"
#include "platform/win32/shell_run_status.h"
#include "platform/win32/shutdown_calls.h"
#include "platform/win32/suspend_resume_registration.h"
#include "platform/win32/system_services.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/ui_metrics.h"
#include "platform/win32/tapi_calls.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_tapi.h"
#include "platform/win32/window_hook.h"
#include "services/handset_line.h"
#include "services/power_monitor.h"
#include "platform/sim/sim_platform.h"
#include "tests/win32/check.h"
#include "tests/win32/tapi_shaped_lines.h"
#include "platform/win32/windows_api.h"
#include "tests/stored_settings.h"

#include <shellapi.h>

using namespace murrelet;
using namespace murrelet::win32;

namespace {

std::string TestKeyPath() {
  return "Software\\Quillon SoftWare\\Gannetry\\AdapterTest" + std::to_string(GetCurrentProcessId());
}

struct TestKey {
  ~TestKey() { RegDeleteTreeW(HKEY_CURRENT_USER, Widen(TestKeyPath()).c_str()); }
};

}  // namespace

TEST_CASE("registry: texts and numbers round-trip, missing and wrong types are told apart") {
  TestKey cleanup;
  RegistryStore store;
  CHECK(store.OpenReadOnly(TestKeyPath()) == nullptr);
  {
    auto key = store.OpenWritable(TestKeyPath());
    CHECK(key != nullptr);
    CHECK(key->WriteString("KestraName", "KESTRA T48R 携帯"));
    CHECK(key->WriteString("Empty", ""));
    CHECK(key->WriteDword("BatteryParcent", 30));
    CHECK(key->WriteDword("Large", 0xFFFFFFFFu));
  }
  auto key = store.OpenReadOnly(TestKeyPath());
  CHECK(key != nullptr);
  const StoreRead<std::string> name = key->ReadString("KestraName");
  CHECK(name.status == ReadStatus::Ok);
  CHECK_EQ(name.value, std::string("KESTRA T48R 携帯"));
  CHECK(key->ReadString("Empty").status == ReadStatus::Ok);
  CHECK(key->ReadString("Empty").value.empty());
  CHECK(key->ReadDword("BatteryParcent").status == ReadStatus::Ok);
  CHECK_EQ(key->ReadDword("BatteryParcent").value, std::uint32_t{30});
  CHECK_EQ(key->ReadDword("Large").value, 0xFFFFFFFFu);

  CHECK(key->ReadDword("HourTimer").status == ReadStatus::Missing);
  CHECK(key->ReadString("Nothing").status == ReadStatus::Missing);
  CHECK(key->ReadDword("KestraName").status == ReadStatus::WrongType);
  CHECK(key->ReadString("BatteryParcent").status == ReadStatus::WrongType);
  // A read-only key refuses writes rather than failing silently later.
  CHECK(!key->WriteDword("MinTimer", 1));
}

namespace {

// The Run value as Windows would read it at log-in; empty when absent.
std::wstring RunValue(const std::wstring& keyPath, DWORD* type = nullptr) {
  wchar_t data[1024] = {};
  DWORD bytes = sizeof(data) - sizeof(wchar_t);
  DWORD kind = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), kRunValueName, RRF_RT_ANY | RRF_NOEXPAND, &kind, data,
                   &bytes) != ERROR_SUCCESS) {
    return {};
  }
  if (type != nullptr) *type = kind;
  return data;
}

bool RunValueThere(const std::wstring& keyPath) {
  return RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), kRunValueName, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

}  // namespace

TEST_CASE("log-in entry: the Run value holds the quoted program and the session's argument, and goes again") {
  // The test's own Wine prefix: the real Run key, left as it was found.
  const std::wstring before = RunValue(kRunKeyPath);
  const std::wstring program = L"C:\\Program Files\\Murrelet\\murrelet.exe";
  RunKeySessionStart entry(program);
  CHECK(entry.Set(true));
  DWORD type = 0;
  CHECK(RunValue(kRunKeyPath, &type) == L"\"C:\\Program Files\\Murrelet\\murrelet.exe\" --session-start");
  CHECK(type == REG_SZ);
  CHECK(entry.Set(true));  // written again over itself
  CHECK(entry.Set(false));
  CHECK(RunValue(kRunKeyPath).empty());
  CHECK(entry.Set(false));  // nothing to remove is no failure
  // A Run key that is not there yet is made; an unusable path is refused.
  const std::wstring fresh = Widen(TestKeyPath()) + L"\\Run";
  RunKeySessionStart elsewhere(program, fresh);
  CHECK(elsewhere.Set(false));
  CHECK(elsewhere.Set(true));
  CHECK(!RunValue(fresh).empty());
  CHECK(!RunKeySessionStart(L"", fresh).Set(true));
  CHECK(!RunKeySessionStart(L"C:\\a\"b.exe", fresh).Set(true));
  CHECK(RunValue(fresh) == RunValueText(program));
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(TestKeyPath()).c_str());
  CHECK(RunningProgramPath().find(L"win32_adapter_tests.exe") != std::wstring::npos);
  if (!before.empty()) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, REG_SZ, before.c_str(),
                    static_cast<DWORD>((before.size() + 1) * sizeof(wchar_t)));
  }
}

namespace {

std::wstring ShortPath(const std::wstring& path) {
  std::wstring shortened(MAX_PATH, L'\0');
  shortened.resize(GetShortPathNameW(path.c_str(), shortened.data(), MAX_PATH));
  return shortened;
}

std::wstring Upper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

}  // namespace

// Another copy of the program in another folder writes the same value: the
// entry shows as set, and unticking removes it, only while it starts this
// very file, as Windows reads the value and compares file names.
TEST_CASE("log-in entry: set and removed only while the Run value starts this program, read as Windows reads it") {
  const std::wstring installed = L"C:\\Program Files\\Murrelet\\murrelet.exe";
  const std::wstring self = RunningProgramPath();  // a file that exists, so it has a short name
  const std::wstring selfShort = ShortPath(self);
  std::printf("  this program: %s, short: %s\n", Narrow(self).c_str(), Narrow(selfShort).c_str());
  CHECK(!selfShort.empty() && selfShort != self);
  SetEnvironmentVariableW(L"MURRELET_TEST_FOLDER", L"C:\\Program Files\\Murrelet");
  struct Row {
    const wchar_t* what;
    const std::wstring& program;
    DWORD type;
    std::wstring value;
    bool starts;
  };
  const Row rows[] = {
      {L"as written", installed, REG_SZ, RunValueText(installed), true},
      {L"quoted, no argument", installed, REG_SZ, L"\"" + installed + L"\"", true},
      {L"other letter case", installed, REG_SZ, Upper(RunValueText(installed)), true},
      {L"unquoted with spaces", installed, REG_SZ, installed + L" --session-start", true},
      {L"unquoted, alone", installed, REG_SZ, installed, true},
      {L"blanks before", installed, REG_SZ, L"  \t" + RunValueText(installed), true},
      {L"without .exe", installed, REG_SZ, L"\"C:\\Program Files\\Murrelet\\murrelet\" --session-start", true},
      {L"slashes and ..", installed, REG_SZ, L"\"C:/Program Files/Other/../Murrelet/./murrelet.exe\" --session-start", true},
      {L"environment strings", installed, REG_EXPAND_SZ, L"\"%MURRELET_TEST_FOLDER%\\murrelet.exe\" --session-start", true},
      {L"short name", self, REG_SZ, RunValueText(selfShort), true},
      {L"another folder", installed, REG_SZ, RunValueText(L"C:\\Tools\\Murrelet\\murrelet.exe"), false},
      {L"another folder, unquoted", installed, REG_SZ, L"C:\\Program Files\\Murrelet 2\\murrelet.exe --session-start", false},
      {L"a longer name", installed, REG_SZ, RunValueText(installed + L".bak"), false},
      {L"the folder only", installed, REG_SZ, L"\"C:\\Program Files\\Murrelet\" --session-start", false},
      {L"not absolute", installed, REG_SZ, L"murrelet.exe --session-start", false},
      {L"unclosed quote", installed, REG_SZ, L"\"" + installed + L" --session-start", false},
      {L"empty", installed, REG_SZ, L"", false},
  };
  const std::wstring keyPath = Widen(TestKeyPath()) + L"\\Run";
  for (const Row& row : rows) {
    RegSetKeyValueW(HKEY_CURRENT_USER, keyPath.c_str(), kRunValueName, row.type, row.value.c_str(),
                    static_cast<DWORD>((row.value.size() + 1) * sizeof(wchar_t)));
    RunKeySessionStart entry(row.program, keyPath);
    const bool shown = entry.IsSet();
    const bool removed = entry.Set(false) && !RunValueThere(keyPath);
    if (shown != row.starts || removed != row.starts) {
      std::printf("  %s: \"%s\" shown %d, removed %d\n", Narrow(row.what).c_str(), Narrow(row.value).c_str(), shown,
                  removed);
    }
    CHECK_EQ(shown, row.starts);
    CHECK_EQ(removed, row.starts);
  }
  // A value of another type starts nothing and is no one's to remove.
  const DWORD number = 1;
  RegSetKeyValueW(HKEY_CURRENT_USER, keyPath.c_str(), kRunValueName, REG_DWORD, &number, sizeof(number));
  RunKeySessionStart entry(installed, keyPath);
  CHECK(!entry.IsSet());
  CHECK(entry.Set(false));
  CHECK(RunValueThere(keyPath));
  // Ticking the box makes the value this program's, whoever's it was.
  CHECK(entry.Set(true));
  CHECK(entry.IsSet());
  CHECK(RunValue(keyPath) == RunValueText(installed));
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(TestKeyPath()).c_str());
  SetEnvironmentVariableW(L"MURRELET_TEST_FOLDER", nullptr);
}

TEST_CASE("registry: a store from 2.0 (the eight values only) loads silently and the close adds the two") {
  // The settings key of this test's own Wine prefix, put back as it was.
  const std::wstring settings = Widen(SettingsKeyPath());
  const std::wstring kept = Widen(TestKeyPath()) + L"\\Kept";
  HKEY existing = nullptr;
  const bool hadKey = RegOpenKeyExW(HKEY_CURRENT_USER, settings.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS;
  if (hadKey) {
    HKEY copy = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kept.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &copy, nullptr);
    RegCopyTreeW(existing, nullptr, copy);
    RegCloseKey(copy);
    RegCloseKey(existing);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, settings.c_str());
  RegistryStore store;
  {
    auto key = store.OpenWritable(SettingsKeyPath());
    CHECK(key != nullptr);
    CHECK(key->WriteString(kValueKestraName, "KESTRA T48R"));
    for (const char* name : {kValueACPowerFlag, kValueBatteryPowerFlag, kValueSuspendDisable, kValueHourTimer,
                             kValueMinTimer, kValueShutDownFlag}) {
      CHECK(key->WriteDword(name, 1));
    }
    CHECK(key->WriteDword(kValueBatteryParcent, 40));
  }
  {
    sim::SimPlatform sim;
    Platform platform{sim.tapi, sim.power, sim.execution, sim.sleeper, sim.shutdown, store,
                      sim.locks, sim.clock, sim.boxes, sim.forms, sim.runStatus, sim.sessionStart};
    TApplication app(platform);
    app.Start();
    CHECK(sim.boxes.shown.empty());
    CHECK(app.MainForm()->Run.Configured);
    CHECK(app.MainForm()->Settings.ShutDownFlag);
    CHECK(!app.MainForm()->Settings.AutoCharge);
    CHECK(!app.MainForm()->Settings.StartWithSession);
    app.CloseMainWindow();
    CHECK(sim.boxes.shown.empty());
  }
  auto key = store.OpenReadOnly(SettingsKeyPath());
  CHECK(key != nullptr);
  CHECK(key->ReadDword(kValueAutoCharge).status == ReadStatus::Ok);
  CHECK_EQ(key->ReadDword(kValueAutoCharge).value, std::uint32_t{0});
  CHECK_EQ(key->ReadDword(kValueStartWithSession).value, std::uint32_t{0});
  CHECK_EQ(key->ReadDword(kValueBatteryParcent).value, std::uint32_t{40});
  key.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, settings.c_str());
  if (hadKey) {
    HKEY copy = nullptr;
    HKEY restored = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, kept.c_str(), 0, KEY_READ, &copy);
    RegCreateKeyExW(HKEY_CURRENT_USER, settings.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &restored, nullptr);
    RegCopyTreeW(copy, nullptr, restored);
    RegCloseKey(restored);
    RegCloseKey(copy);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(TestKeyPath()).c_str());
}

TEST_CASE("registry: odd stored shapes read safely") {
  TestKey cleanup;
  RegistryStore store;
  store.OpenWritable(TestKeyPath());
  HKEY raw = nullptr;
  CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, Widen(TestKeyPath()).c_str(), 0, KEY_WRITE, &raw) == ERROR_SUCCESS);
  const wchar_t unterminated[] = {L'K', L'E', L'S'};
  RegSetValueExW(raw, L"Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated), sizeof(unterminated));
  const BYTE four[] = {1, 0, 0, 0};
  RegSetValueExW(raw, L"Binary", 0, REG_BINARY, four, sizeof(four));
  const BYTE two[] = {1, 0};
  RegSetValueExW(raw, L"ShortDword", 0, REG_DWORD, two, sizeof(two));
  RegCloseKey(raw);

  auto key = store.OpenReadOnly(TestKeyPath());
  CHECK_EQ(key->ReadString("Unterminated").value, std::string("KES"));
  CHECK(key->ReadDword("Binary").status == ReadStatus::WrongType);
  CHECK(key->ReadDword("ShortDword").status == ReadStatus::WrongType);
  CHECK(key->ReadString("Binary").status == ReadStatus::WrongType);
  CHECK(key->ReadString("ShortDword").status == ReadStatus::WrongType);
  CHECK(key->ReadDword("Unterminated").status == ReadStatus::WrongType);
  CHECK(key->ReadString("Absent").status == ReadStatus::Missing);
  CHECK(key->ReadDword("Absent").status == ReadStatus::Missing);
}

namespace {

std::wstring BesideThisProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path);
  directory.resize(directory.find_last_of(L"\\/") + 1);
  return directory + file;
}

DWORD RunProbe(const std::string& name) {
  std::wstring command = L"\"" + BesideThisProgram(L"mutex_probe.exe") + L"\" " + Widen(name);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 99;
  }
  WaitForSingleObject(process.hProcess, 20000);
  DWORD code = 98;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace

TEST_CASE("mutex: a second process sees the name held, and free again once released") {
  const std::string name = "EX_GANNET_TEST_" + std::to_string(GetCurrentProcessId());
  Win32Mutexes mutexes;
  LockAttempt first = mutexes.Acquire(name);
  CHECK(first.outcome == LockOutcome::Acquired);
  CHECK(first.lock != nullptr);
  CHECK(mutexes.Acquire(name).outcome == LockOutcome::HeldByAnotherCopy);
  CHECK_EQ(RunProbe(name), DWORD{3});
  first.lock.reset();
  CHECK_EQ(RunProbe(name), DWORD{0});
}

namespace {

struct NativeLog {
  std::vector<std::pair<UINT, WPARAM>> seen;
};
NativeLog* g_native = nullptr;

LRESULT CALLBACK NativeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_POWERBROADCAST) {
    if (g_native) g_native->seen.emplace_back(message, wParam);
    return 77;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = NativeProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MurreletHookTest";
    return RegisterClassW(&windowClass) != 0;
  }();
  CHECK(registered);
  return CreateWindowExW(0, L"MurreletHookTest", L"hook test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

class FakePower : public PowerStatusSource {
 public:
  bool GetSystemPowerStatus(murrelet::SYSTEM_POWER_STATUS& status) override {
    status.BatteryFlag = batteryFlag;
    status.ACLineStatus = 1;
    status.BatteryLifePercent = 80;
    return true;
  }
  std::uint8_t batteryFlag = BATTERY_FLAG_HIGH;
};

// A window whose broadcasts reach a TAPM through the hook and the bridge of
// the old broadcasts, as the main window's do, over `calls` for the suspend
// notices; the window's own procedure logs into `log`.
struct BridgedMonitor {
  explicit BridgedMonitor(const SuspendResumeCalls& calls) {
    g_native = &log;
    window = MakeWindow();
    hook = std::make_unique<HookableWindow>(window, nullptr);
    bridge = std::make_unique<LegacyPowerBridge>(window, power, calls);
    hook->SetPowerEntry(
        [this](std::uintptr_t w, std::intptr_t l, const auto& pass) { return bridge->Receive(w, l, pass); });
    monitor = std::make_unique<TAPM>(hook.get(), power);
  }
  ~BridgedMonitor() {
    monitor.reset();
    bridge.reset();
    hook.reset();
    DestroyWindow(window);
    g_native = nullptr;
  }
  BridgedMonitor(const BridgedMonitor&) = delete;
  BridgedMonitor& operator=(const BridgedMonitor&) = delete;
  LRESULT Send(WPARAM code) { return SendMessageW(window, WM_POWERBROADCAST, code, 0); }

  NativeLog log;
  HWND window = nullptr;
  FakePower power;
  std::unique_ptr<HookableWindow> hook;
  std::unique_ptr<LegacyPowerBridge> bridge;
  std::unique_ptr<TAPM> monitor;
};

}  // namespace

TEST_CASE("hook: the power monitor answers real WM_POWERBROADCAST messages and gives the window back") {
  NativeLog log;
  g_native = &log;
  HWND window = MakeWindow();
  CHECK(window != nullptr);
  const auto native = GetWindowLongPtrW(window, GWLP_WNDPROC);
  std::vector<std::string> delivered;
  int caught = 0;
  {
    HookableWindow hook(window, [&caught](const std::function<void()>& action) {
      try {
        action();
      } catch (const std::exception&) {
        ++caught;
      }
    });
    FakePower power;
    auto monitor = std::make_unique<TAPM>(&hook, power);
    CHECK(GetWindowLongPtrW(window, GWLP_WNDPROC) != native);
    bool refuse = true;
    monitor->OnOverrideableSuspendQuery = [&](TAPM&, bool& canSuspend) {
      delivered.push_back("overrideable");
      canSuspend = !refuse;
    };
    monitor->OnPowerStatusChange = [&](TAPM&) { delivered.push_back("status"); };
    monitor->OnBatteryLow = [&](TAPM&) { throw std::runtime_error("from a handler"); };

    CHECK_EQ(SendMessageW(window, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 1), LRESULT{BROADCAST_QUERY_DENY});
    refuse = false;
    CHECK_EQ(SendMessageW(window, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 1), LRESULT{0});
    // Everything else answers what the window's own procedure answered.
    CHECK_EQ(SendMessageW(window, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0), LRESULT{77});
    // An error in a handler is shown by the program, not thrown into Windows.
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0);
    CHECK_EQ(caught, 1);
    CHECK_EQ(delivered, (std::vector<std::string>{"overrideable", "overrideable", "status"}));
    CHECK_EQ(log.seen.size(), std::size_t{4});  // the window's own procedure ran first every time

    monitor.reset();
    CHECK_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), native);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    CHECK_EQ(delivered.size(), std::size_t{3});
  }
  DestroyWindow(window);
  g_native = nullptr;
}

TEST_CASE("hook: a suspend without a query and a battery turning low reach the monitor as the old broadcasts") {
  BridgedMonitor bridged(LookUpSuspendResumeCalls());
  TAPM& monitor = *bridged.monitor;
  std::vector<std::string> events;
  monitor.OnSuspendQuery = [&](TAPM&) { events.push_back("query"); };
  monitor.OnOverrideableSuspendQuery = [&](TAPM&, bool&) { events.push_back("overrideable"); };
  monitor.OnSuspend = [&](TAPM&) { events.push_back("suspend"); };
  monitor.OnPowerStatusChange = [&](TAPM&) { events.push_back("status"); };
  monitor.OnBatteryLow = [&](TAPM&) { events.push_back("low"); };

  bridged.Send(PBT_APMSUSPEND);
  bridged.power.batteryFlag = BATTERY_FLAG_LOW;
  bridged.Send(PBT_APMPOWERSTATUSCHANGE);
  bridged.Send(PBT_APMPOWERSTATUSCHANGE);
  bridged.Send(PBT_APMBATTERYLOW);  // the system's own, same crossing
  CHECK_EQ(events, (std::vector<std::string>{"query", "suspend", "status", "low", "status"}));
}

namespace {

// Stand-ins for RegisterSuspendResumeNotification and its undoing.
struct RegistrationLog {
  std::vector<std::pair<HWND, unsigned long>> registered;
  std::vector<void*> unregistered;
  void* answer = reinterpret_cast<void*>(0x5150);
};
RegistrationLog* g_registrations = nullptr;

void* __stdcall FakeRegister(void* recipient, unsigned long flags) {
  g_registrations->registered.emplace_back(static_cast<HWND>(recipient), flags);
  return g_registrations->answer;
}

int __stdcall FakeUnregister(void* registration) {
  g_registrations->unregistered.push_back(registration);
  return TRUE;
}

}  // namespace

TEST_CASE("hook: the main window registers for suspend notices while it hears broadcasts, where the system can") {
  HWND window = MakeWindow();
  FakePower power;
  RegistrationLog log;
  g_registrations = &log;
  const SuspendResumeCalls both{FakeRegister, FakeUnregister};
  {
    LegacyPowerBridge bridge(window, power, both);
    CHECK_EQ(log.registered.size(), std::size_t{1});
    CHECK(log.registered.at(0).first == window);
    CHECK_EQ(log.registered.at(0).second, kNotifyWindowHandle);
    CHECK(log.unregistered.empty());
  }
  CHECK_EQ(log.unregistered, (std::vector<void*>{log.answer}));  // undone once, at the end

  // A system without the calls (before Windows 8), or with only one of them:
  // nothing is registered, and broadcasts still arrive.
  log = RegistrationLog{};
  for (const SuspendResumeCalls& calls : {SuspendResumeCalls{}, SuspendResumeCalls{nullptr, FakeUnregister},
                                          SuspendResumeCalls{FakeRegister, nullptr}}) {
    LegacyPowerBridge bridge(window, power, calls);
    int passed = 0;
    bridge.Receive(PBT_APMPOWERSTATUSCHANGE, 0, [&passed](std::uintptr_t, std::intptr_t) { return ++passed; });
    CHECK_EQ(passed, 1);
  }
  CHECK(log.registered.empty());
  CHECK(log.unregistered.empty());

  // A refused registration is not undone.
  log.answer = nullptr;
  { LegacyPowerBridge bridge(window, power, both); }
  CHECK_EQ(log.registered.size(), std::size_t{1});
  CHECK(log.unregistered.empty());
  g_registrations = nullptr;

  // The system's own calls: found in pairs or not at all, and a registration
  // made with them is undone without harm.
  const SuspendResumeCalls system = LookUpSuspendResumeCalls();
  CHECK_EQ(system.registerNotification == nullptr, system.unregisterNotification == nullptr);
  { SuspendResumeRegistration registration(window, system); }
  DestroyWindow(window);
}

TEST_CASE("hook: a suspend both broadcast and sent to the registered window is asked about once") {
  BridgedMonitor bridged(SuspendResumeCalls{});
  TAPM& monitor = *bridged.monitor;
  std::vector<std::string> events;
  monitor.OnSuspendQuery = [&](TAPM&) { events.push_back("query"); };
  monitor.OnSuspend = [&](TAPM&) { events.push_back("suspend"); };
  monitor.OnResumeAfterSuspend = [&](TAPM&) { events.push_back("resume"); };

  bridged.Send(PBT_APMSUSPEND);
  CHECK_EQ(bridged.Send(PBT_APMSUSPEND), LRESULT{TRUE});
  bridged.Send(PBT_APMRESUMESUSPEND);
  bridged.Send(PBT_APMSUSPEND);
  CHECK_EQ(events, (std::vector<std::string>{"query", "suspend", "resume", "query", "suspend"}));
}

TEST_CASE("tapi: Tapi32.dll's answers reach the core safely and leave nothing open") {
  Win32Tapi tapi;
  HLINEAPP app = 0xDEAD;
  std::uint32_t devices = 0xDEAD;
  const std::int32_t started = tapi.lineInitialize(&app, &devices);
  if (started == 0) {
    CHECK(app != 0);
    CHECK_EQ(tapi.lineShutdown(app), std::int32_t{0});
  } else {
    // Wine answers success without a handle: that is no line application.
    CHECK(started < 0);
    CHECK_EQ(app, HLINEAPP{0});
    CHECK_EQ(devices, std::uint32_t{0});
  }
  CHECK_EQ(tapi.LiveLineApps(), std::size_t{0});
  // Zero, unknown and already released handles are refused without a call.
  CHECK(tapi.lineClose(0) != 0);
  CHECK(tapi.lineShutdown(0) != 0);
  CHECK(tapi.lineShutdown(app) != 0);
  CHECK(tapi.lineClose(12345) != 0);

  CHECK_EQ(FindHandsetLine(tapi, "KESTRA T48R"), kNoDevice);
  // A start that failed, or gave no handle, is a search that could not look,
  // never a computer without lines: it says nothing about the handset.
  if (started != 0) CHECK(!SearchHandsetLine(tapi, "KESTRA T48R").looked);
  HLINEAPP lineApp = 7;
  HLINE line = 7;
  OpenHandsetLine(tapi, 0, lineApp, line);
  if (line != 0) CloseHandsetLine(tapi, lineApp, line);
  CloseHandsetLine(tapi, 0, 0);
  CHECK_EQ(tapi.LiveLineApps(), std::size_t{0});
  CHECK_EQ(tapi.LiveLines(), std::size_t{0});
  // A LINE_CLOSE through the registered callback about a line the program
  // does not hold closes nothing of its own.
  tapi32::LineMessage(0x51, 3 /* LINE_CLOSE */, 0, 0, 0, 0);
  CHECK(!tapi32::ClosedBySystem(0x51));
  CHECK(!tapi.LineClosedBySystem(12345));
  CHECK(!tapi.LineClosedBySystem(0));
}

TEST_CASE("clock, power and the shutdown request's preparations work against the system") {
  Win32Clock clock;
  const TimeOfDay now = clock.Now();
  CHECK(now.hour >= 0 && now.hour < 24 && now.minute >= 0 && now.minute < 60);
  std::string text = "old";
  clock.FormatLongTime({13, 5, 9}, text);
  CHECK(text.find("05") != std::string::npos);
  CHECK(text.find("09") != std::string::npos);

  Win32Power power;
  murrelet::SYSTEM_POWER_STATUS status;
  CHECK(power.GetSystemPowerStatus(status));

  // Everything up to the request; ExitWindowsEx is never called here.
  Win32Shutdown shutdown;
  murrelet::OSVERSIONINFO version;
  version.dwOSVersionInfoSize = kOsVersionInfoSize;
  CHECK(shutdown.GetVersionEx(version));
  CHECK_EQ(version.dwPlatformId, VER_PLATFORM_WIN32_NT);
  TokenHandle token = 0;
  CHECK(shutdown.OpenProcessToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token));
  CHECK(token != 0);
  murrelet::LUID luid;
  CHECK(shutdown.LookupPrivilegeValue("SeShutdownPrivilege", luid));
  CHECK(!shutdown.LookupPrivilegeValue("NoSuchPrivilege", luid));
  murrelet::TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Luid = luid;
  privileges.Attributes = SE_PRIVILEGE_ENABLED;
  CHECK(shutdown.AdjustTokenPrivileges(token, false, privileges));
  shutdown.CloseToken(token);
  shutdown.CloseToken(0);
}

TEST_CASE("status text: a message wider than its panel gets a narrower font that fits, a short one none") {
  HDC dc = CreateCompatibleDC(nullptr);
  const OwnedFont owned = CreateWindowFont(kDesignFont, 96, false);
  HFONT font = owned.get();
  CHECK(dc != nullptr && font != nullptr);
  if (dc == nullptr || font == nullptr) return;
  const std::wstring message = Widen("KESTRA T48Rが接続されていません。");
  auto extent = [&](HFONT shown) {
    HGDIOBJ previous = SelectObject(dc, shown);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, message.c_str(), static_cast<int>(message.size()), &size);
    SelectObject(dc, previous);
    return static_cast<int>(size.cx);
  };
  const int natural = extent(font);
  CHECK(natural > 0);
  CHECK(CondensedFont(dc, font, message, natural) == nullptr);
  CHECK(CondensedFont(dc, font, L"", 10) == nullptr);
  for (const int width : {natural - 1, natural * 3 / 4, natural / 2}) {
    const OwnedFont narrow = CondensedFont(dc, font, message, width);
    CHECK(narrow != nullptr);
    if (narrow == nullptr) continue;
    CHECK(extent(narrow.get()) <= width);
    CHECK(extent(narrow.get()) >= width * 3 / 4);  // narrowed to fit, not to a sliver
  }
  DeleteDC(dc);
}

TEST_CASE("shell: the task-bar progress calls and the notice's icon are made without error, the icon goes with its balloon") {
  // A stand-in for the task-bar button's window: a shown pop-up with a caption.
  const HWND button = CreateWindowExW(0, L"STATIC", L"Murrelet", WS_POPUP | WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  CHECK(button != nullptr);
  ShowWindow(button, SW_SHOWNOACTIVATE);
  {
    ShellRunStatus status(button);
    const TaskbarProgress steps[] = {{TaskbarProgressState::Normal, 0}, {TaskbarProgressState::Normal, 42},
                                     {TaskbarProgressState::Normal, 100}, {TaskbarProgressState::Indeterminate, 0},
                                     {TaskbarProgressState::None, 0}};
    for (const TaskbarProgress& step : steps) {
      status.SetTaskbarProgress(step);
      std::printf("  task bar: state %d, %d %% -> 0x%08lx\n", static_cast<int>(step.state), step.percent,
                  static_cast<unsigned long>(status.LastTaskbarResult()));
      CHECK(SUCCEEDED(status.LastTaskbarResult()));
    }

    status.ShowNotice("Murrelet", "充電完了");
    CHECK(status.LastNoticeAccepted());
    CHECK(status.NoticeIconShown());
    // A second notice while the first shows replaces it in place.
    status.ShowNotice("Murrelet", "バッテリ残量が30％以下のため停止");
    CHECK(status.LastNoticeAccepted());
    CHECK(status.NoticeIconShown());
    // The shell reports the balloon gone: the icon is taken out of the notification area.
    HWND callbacks = nullptr;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"MurreletForm", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"MurreletForm", nullptr)) {
      if (GetWindowTextLengthW(w) == 0 && IsWindowVisible(w) == FALSE) callbacks = w;
    }
    CHECK(callbacks != nullptr);
    SendMessageW(callbacks, WM_APP + 11, 1, NIN_BALLOONTIMEOUT);
    CHECK(!status.NoticeIconShown());
    status.ShowNotice("Murrelet", "ローバッテリのため充電停止");
    CHECK(status.NoticeIconShown());
  }  // destroyed with the icon shown: removed with it
  DestroyWindow(button);

  // No window to show progress on: nothing happens, nothing fails.
  ShellRunStatus orphan(nullptr);
  orphan.SetTaskbarProgress({TaskbarProgressState::Normal, 10});
  CHECK_EQ(orphan.LastTaskbarResult(), 0L);
}

// Explorer restarting during a run: the shell broadcasts "TaskbarCreated" to
// every top-level window and sends "TaskbarButtonCreated" to the window with
// the button. The run's progress goes to the new button, a pending notice's
// icon into the new notification area; while idle nothing is given.
TEST_CASE("shell: after Explorer restarts, the run's progress and a pending notice's icon come back") {
  Win32Desktop desktop;
  const HWND button = desktop.forms.ApplicationHandle();
  CHECK(button != nullptr);
  const UINT buttonCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  ShellRunStatus& status = desktop.runStatus;

  SendMessageW(button, buttonCreated, 0, 0);
  CHECK_EQ(status.TaskbarUpdates(), 0);  // idle: nothing to give again

  status.SetTaskbarProgress({TaskbarProgressState::Normal, 42});
  const int given = status.TaskbarUpdates();
  CHECK_EQ(given, 1);
  SendMessageW(button, buttonCreated, 0, 0);
  CHECK_EQ(status.TaskbarUpdates(), given + 1);
  CHECK(SUCCEEDED(status.LastTaskbarResult()));

  status.ShowNotice("Murrelet", "充電完了");
  CHECK(status.NoticeIconShown());
  const int adds = status.NoticeIconAdds();
  // As the shell does it: to every top-level window.
  SendMessageTimeoutW(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  CHECK_EQ(status.NoticeIconAdds(), adds + 1);
  CHECK(status.NoticeIconShown());

  status.SetTaskbarProgress({});
  const int ended = status.TaskbarUpdates();
  SendMessageW(button, buttonCreated, 0, 0);
  CHECK_EQ(status.TaskbarUpdates(), ended);  // the run is over: the new button shows none
}

TEST_CASE("texts convert between UTF-8 and UTF-16 without loss") {
  const std::string japanese = "充電中（残り 0:09:59)ｷｬﾝｾﾙ";
  CHECK_EQ(Narrow(Widen(japanese)), japanese);
  CHECK(Widen("").empty());
  CHECK_EQ(Widen("\xE7\x92\xB0").size(), std::size_t{1});
}

namespace {

// The user locale the run was started for (second argument); empty: any.
std::wstring g_expectedLocale;

std::wstring UserLocaleName() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  return GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) > 0 ? name : L"";
}

bool HasDayHalf(const std::string& text) {
  return text.find("AM") != std::string::npos || text.find("PM") != std::string::npos ||
         text.find("\xE5\x8D\x88") != std::string::npos;  // 午前, 午後
}

}  // namespace

TEST_CASE("locale: the countdown reads as a duration; the clock panel keeps the desktop's format") {
  const std::wstring locale = UserLocaleName();
  if (!g_expectedLocale.empty()) CHECK(locale == g_expectedLocale);
  const bool english = locale.rfind(L"en", 0) == 0;
  Win32Clock clock;
  std::string text;
  clock.FormatLongTime({0, 9, 59}, text);
  // An English desktop tells the time with AM and PM, a Japanese one without.
  CHECK_EQ(HasDayHalf(text), english);

  // The program on simulated devices and settings, with the system's clock.
  const std::vector<std::string> panels = murrelet::testing::PanelsOfTheFirstTimedTick(clock);
  CHECK_EQ(panels[0], std::string("充電中（残り 0:09:59)"));
  CHECK_EQ(HasDayHalf(panels[1]), english);
}

TEST_CASE("tapi: a Japanese handset name in the system's code page 932 is found among other lines") {
  CHECK_EQ(GetACP(), UINT{932});
  testing::TapiShapedLines tapi(testing::JapaneseHandsetAmongOthers(), AnsiToUtf8);
  CHECK_EQ(FindHandsetLine(tapi, testing::kKestraUtf8), std::int32_t{4});
  CHECK_EQ(FindHandsetLine(tapi, "Standard 56000 bps Modem"), std::int32_t{0});
  CHECK_EQ(tapi.appsAlive, 0);
}

// Arguments: the first letters of the cases to run ("*" for all), and the
// user locale the run expects (for instance "locale:" "en-US").
int wmain(int argc, wchar_t** argv) {
  if (argc > 2) g_expectedLocale = argv[2];
  const std::string prefix = argc > 1 ? Narrow(argv[1]) : std::string("*");
  return check::RunAll(prefix == "*" ? std::string() : prefix);
}
