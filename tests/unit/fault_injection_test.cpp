// Every platform call the program makes, failing in turn: for each user or
// system action (start, tick, start and stop clicks, the settings dialog,
// close, power broadcasts) each call that the action makes is failed once,
// by its position, and the program must keep its rules between actions and
// give back every handle when it is closed afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "charging/application.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_platform.h"
#include "tools/soak/state_checks.h"
#include "tests/stored_settings.h"

namespace murrelet {
namespace {

// Counts the calls of each operation and fails the `at`-th call of `op`.
struct FaultPlan {
  std::string op;
  int at = 0;
  std::map<std::string, int> calls;

  bool Hit(const char* name) {
    const int n = ++calls[name];
    return op == name && n == at;
  }
};

class FaultyTapi : public Tapi {
 public:
  FaultyTapi(sim::SimTapi& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) override {
    if (plan_.Hit("lineInitialize")) return LINEERR_REINIT;
    return real_.lineInitialize(lineApp, numDevs);
  }
  std::int32_t lineNegotiateAPIVersion(HLINEAPP app, std::uint32_t id, std::uint32_t low, std::uint32_t high,
                                       std::uint32_t* version, LINEEXTENSIONID* extension) override {
    if (plan_.Hit("lineNegotiateAPIVersion")) return LINEERR_INCOMPATIBLEAPIVERSION;
    return real_.lineNegotiateAPIVersion(app, id, low, high, version, extension);
  }
  std::int32_t lineGetDevCaps(HLINEAPP app, std::uint32_t id, std::uint32_t version, std::uint32_t ext,
                              std::span<std::byte> caps) override {
    if (plan_.Hit("lineGetDevCaps")) return LINEERR_OPERATIONFAILED;
    return real_.lineGetDevCaps(app, id, version, ext, caps);
  }
  std::int32_t lineOpen(HLINEAPP app, std::uint32_t id, HLINE* line, std::uint32_t version, std::uint32_t ext,
                        std::uint32_t instance, std::uint32_t privileges, std::uint32_t media) override {
    if (plan_.Hit("lineOpen")) return LINEERR_OPERATIONFAILED;
    return real_.lineOpen(app, id, line, version, ext, instance, privileges, media);
  }
  // A close that fails leaves the line to the line application's end; one
  // that throws must not keep the application from ending.
  std::int32_t lineClose(HLINE line) override {
    if (plan_.Hit("lineClose")) return LINEERR_OPERATIONFAILED;
    if (plan_.Hit("lineClose throws")) throw std::runtime_error("lineClose");
    return real_.lineClose(line);
  }
  // The system ends the application but answers with an error: the program
  // must not act on the answer.
  std::int32_t lineShutdown(HLINEAPP app) override {
    const std::int32_t result = real_.lineShutdown(app);
    return plan_.Hit("lineShutdown") ? LINEERR_OPERATIONFAILED : result;
  }

 private:
  sim::SimTapi& real_;
  FaultPlan& plan_;
};

class FaultyPower : public PowerStatusSource {
 public:
  FaultyPower(sim::SimPower& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  bool GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) override {
    if (plan_.Hit("GetSystemPowerStatus")) return false;
    return real_.GetSystemPowerStatus(status);
  }

 private:
  sim::SimPower& real_;
  FaultPlan& plan_;
};

class FaultyKey : public StoreKey {
 public:
  FaultyKey(std::unique_ptr<StoreKey> real, FaultPlan& plan) : real_(std::move(real)), plan_(plan) {}
  StoreRead<std::string> ReadString(std::string_view name) override {
    if (plan_.Hit("ReadString")) return {ReadStatus::Missing, {}};
    return real_->ReadString(name);
  }
  StoreRead<std::uint32_t> ReadDword(std::string_view name) override {
    if (plan_.Hit("ReadDword")) return {ReadStatus::Missing, 0};
    return real_->ReadDword(name);
  }
  bool WriteString(std::string_view name, std::string_view value) override {
    return !plan_.Hit("WriteString") && real_->WriteString(name, value);
  }
  bool WriteDword(std::string_view name, std::uint32_t value) override {
    return !plan_.Hit("WriteDword") && real_->WriteDword(name, value);
  }

 private:
  std::unique_ptr<StoreKey> real_;
  FaultPlan& plan_;
};

class FaultyStore : public SettingsStore {
 public:
  FaultyStore(sim::SimStore& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  std::unique_ptr<StoreKey> OpenReadOnly(std::string_view path) override {
    return plan_.Hit("OpenReadOnly") ? nullptr : Wrap(real_.OpenReadOnly(path));
  }
  std::unique_ptr<StoreKey> OpenWritable(std::string_view path) override {
    return plan_.Hit("OpenWritable") ? nullptr : Wrap(real_.OpenWritable(path));
  }

 private:
  std::unique_ptr<StoreKey> Wrap(std::unique_ptr<StoreKey> key) {
    if (!key) return nullptr;
    return std::make_unique<FaultyKey>(std::move(key), plan_);
  }
  sim::SimStore& real_;
  FaultPlan& plan_;
};

class FaultyShutdown : public ShutdownPlatform {
 public:
  FaultyShutdown(sim::SimShutdown& real, FaultPlan& plan) : real_(real), plan_(plan) {}
  // A failed version query leaves the record as it was: platform id 0.
  bool GetVersionEx(OSVERSIONINFO& info) override { return !plan_.Hit("GetVersionEx") && real_.GetVersionEx(info); }
  bool OpenProcessToken(std::uint32_t access, TokenHandle& token) override {
    return !plan_.Hit("OpenProcessToken") && real_.OpenProcessToken(access, token);
  }
  bool LookupPrivilegeValue(std::string_view name, LUID& luid) override {
    return !plan_.Hit("LookupPrivilegeValue") && real_.LookupPrivilegeValue(name, luid);
  }
  bool AdjustTokenPrivileges(TokenHandle token, bool disableAll, const TOKEN_PRIVILEGES& state) override {
    return !plan_.Hit("AdjustTokenPrivileges") && real_.AdjustTokenPrivileges(token, disableAll, state);
  }
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override {
    return !plan_.Hit("ExitWindowsEx") && real_.ExitWindowsEx(flags, reserved);
  }
  void CloseToken(TokenHandle token) override { real_.CloseToken(token); }

 private:
  sim::SimShutdown& real_;
  FaultPlan& plan_;
};

// The program on the simulated platform, every failing call routed through
// the plan. The handset is plugged in and the settings are stored.
struct World {
  sim::SimPlatform sim;
  FaultPlan plan;
  FaultyTapi tapi{sim.tapi, plan};
  FaultyPower power{sim.power, plan};
  FaultyStore store{sim.store, plan};
  FaultyShutdown shutdown{sim.shutdown, plan};
  Platform platform{tapi, power, sim.execution, sim.sleeper, shutdown, store, sim.locks, sim.clock, sim.boxes, sim.forms,
                    sim.runStatus, sim.sessionStart};
  std::unique_ptr<TApplication> app;

  explicit World(bool configured) {
    sim.tapi.recordCalls = false;
    for (const char* name : {"Modem", "KESTRA T48R"}) {
      sim::SimLineDevice device;
      device.name = name;
      sim.tapi.devices.push_back(device);
    }
    if (!configured) return;
    murrelet::testing::StoredSettings settings;
    settings.shutDownAtEnd = 1;
    murrelet::testing::StoreSettings(sim.store, settings);
  }
  ~World() { app.reset(); }

  TMainForm& Main() { return *app->MainForm(); }
  void Start() {
    app = std::make_unique<TApplication>(platform);
    app->Start();
  }
  void Tick(int count = 1) {
    for (int n = 0; n < count; ++n) {
      sim.clock.Advance();
      app->Deliver([this] { Main().Timer1.Fire(); });
    }
  }
  void Click(TButton& button) {
    app->Deliver([&button] { button.UserClick(); });
  }
  void Spin(TSpinEdit& spin, int value) {
    app->Deliver([&spin, value] { spin.UserSetValue(value); });
  }
  void Broadcast(std::uintptr_t code, std::intptr_t lParam) {
    sim::SimWindow* window = sim.forms.WindowOf(Main());
    app->Deliver([window, code, lParam] { window->Send(WM_POWERBROADCAST, code, lParam); });
  }
  void DialogOk() {
    TConfForm& conf = *app->ConfForm();
    sim.forms.modalScript = [&conf](Form&) {
      conf.CheckBox3.UserSetChecked(!conf.CheckBox3.Checked());
      conf.SpinEdit1.UserStep(+1);
      conf.Button1.UserClick();
    };
    Click(Main().SpeedButton1);
    sim.forms.modalScript = nullptr;
  }
  void StartRun() {
    Tick();
    Click(Main().SpeedButton2);
  }
};

// One action: how to reach the state it starts from, and the action itself.
struct Action {
  const char* name;
  bool configured;
  std::function<void(World&)> before;
  std::function<void(World&)> action;
};

std::vector<Action> Actions() {
  const auto running = [](World& w) {
    w.Start();
    w.StartRun();
  };
  const auto timedRunAtItsEnd = [](World& w) {
    w.Start();
    w.Spin(w.Main().SpinEdit2, 10);
    w.StartRun();
    w.Tick(600);  // the 601st tick ends the run and shuts down
  };
  std::vector<Action> actions = {
      {"first start", false, [](World&) {}, [](World& w) { w.Start(); }},
      {"start with stored settings", true, [](World&) {}, [](World& w) { w.Start(); }},
      {"idle tick", true, [](World& w) { w.Start(); }, [](World& w) { w.Tick(); }},
      {"charging tick", true, running, [](World& w) { w.Tick(); }},
      {"tick ending a timed run (NT)", true, timedRunAtItsEnd, [](World& w) { w.Tick(); }},
      {"tick ending a timed run (other family)", true,
       [timedRunAtItsEnd](World& w) {
         w.sim.shutdown.nt = false;
         timedRunAtItsEnd(w);
       },
       [](World& w) { w.Tick(); }},
      {"tick stopping at the battery threshold", true,
       [running](World& w) {
         running(w);
         w.Main().Settings.BatteryPowerFlag = true;
         w.sim.power.status.BatteryLifePercent = 10;
       },
       [](World& w) { w.Tick(); }},
      {"tick on battery with the AC-only rule", true,
       [running](World& w) {
         running(w);
         w.Main().Settings.ACPowerFlag = true;
         w.sim.power.status.ACLineStatus = 0;
       },
       [](World& w) { w.Tick(); }},
      {"start click", true, [](World& w) { w.Start(); w.Tick(); }, [](World& w) { w.Click(w.Main().SpeedButton2); }},
      {"stop click", true, running, [](World& w) { w.Click(w.Main().SpeedButton3); }},
      {"settings dialog OK", false, [](World& w) { w.Start(); }, [](World& w) { w.DialogOk(); }},
      {"close while idle", true, [](World& w) { w.Start(); }, [](World& w) { w.app->CloseMainWindow(); }},
      {"close while charging", true, running, [](World& w) { w.app->CloseMainWindow(); }},
  };
  struct Code {
    std::uintptr_t wParam;
    std::intptr_t lParam;
    const char* name;
  };
  for (const Code& code : {Code{PBT_APMQUERYSUSPEND, 1, "overrideable suspend query while charging"},
                           Code{PBT_APMQUERYSUSPEND, 0, "suspend query while charging"},
                           Code{PBT_APMBATTERYLOW, 0, "low battery while charging"},
                           Code{PBT_APMPOWERSTATUSCHANGE, 0, "power status change while charging"},
                           Code{PBT_APMSUSPEND, 0, "suspend while charging"},
                           Code{PBT_APMRESUMESUSPEND, 0, "resume while charging"},
                           Code{PBT_APMOEMEVENT, -1, "OEM event while charging"},
                           Code{PBT_APMRESUMEAUTOMATIC, 0, "automatic resume while charging"}}) {
    actions.push_back({code.name, true, running, [code](World& w) { w.Broadcast(code.wParam, code.lParam); }});
  }
  return actions;
}

// What the action leaves must keep the program's rules, and a normal close
// afterwards must give every handle back.
void ExpectSound(World& w, const std::string& what) {
  for (const auto& finding : soak::CheckState(w.sim, w.app.get())) {
    ADD_FAILURE() << what << ": [" << finding.id << "] " << finding.detail;
  }
  if (w.app->Running()) w.app->CloseMainWindow();
  EXPECT_EQ(w.sim.tapi.LineAppsAlive(), 0u) << what;
  EXPECT_EQ(w.sim.tapi.LinesOpen(), 0u) << what;
  EXPECT_EQ(w.sim.store.openKeys, 0) << what;
  EXPECT_TRUE(w.sim.shutdown.openTokens.empty()) << what;
  EXPECT_LE(w.sim.tapi.MaxLineAppsAlive(), 1u) << what;
}

TEST(FaultInjection, EveryActionKeepsItsRulesWhicheverPlatformCallFails) {
  std::set<std::string> failed;
  int cases = 0;
  for (const Action& action : Actions()) {
    // A clean run tells which calls the action makes, and how often.
    std::map<std::string, int> calls;
    {
      World w(action.configured);
      action.before(w);
      w.plan.calls.clear();
      action.action(w);
      calls = w.plan.calls;
      ExpectSound(w, std::string(action.name) + " without a fault");
    }
    calls["lineClose throws"] = calls["lineClose"];
    for (const auto& [op, count] : calls) {
      for (int at = 1; at <= count; ++at) {
        const std::string what = std::string(action.name) + ", call " + std::to_string(at) + " of " + op + " failing";
        World w(action.configured);
        action.before(w);
        w.plan.calls.clear();
        w.plan.op = op;
        w.plan.at = at;
        EXPECT_NO_THROW(action.action(w)) << what;
        w.plan.op.clear();
        ExpectSound(w, what);
        failed.insert(op);
        ++cases;
      }
    }
  }
  // Every failing platform call was reached by some action.
  for (const char* op : {"lineInitialize", "lineNegotiateAPIVersion", "lineGetDevCaps", "lineOpen", "lineClose",
                         "lineClose throws", "lineShutdown", "GetSystemPowerStatus", "OpenReadOnly", "OpenWritable",
                         "ReadString", "ReadDword", "WriteString", "WriteDword", "GetVersionEx", "OpenProcessToken",
                         "LookupPrivilegeValue", "AdjustTokenPrivileges", "ExitWindowsEx"}) {
    EXPECT_EQ(failed.count(op), 1u) << op << " was never failed";
  }
  EXPECT_GT(cases, 100);
  std::cout << cases << " faults injected\n";
}

}  // namespace
}  // namespace murrelet
