// The desktop hears of each run once at its start and once at its end,
// whichever path ends it, and never of a run that did not start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charging/application.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_platform.h"
#include "tests/stored_settings.h"

namespace murrelet {
namespace {

// The simulated desktop's run status, with every start and end written down.
class RecordingRunStatus : public RunStatusSink {
 public:
  explicit RecordingRunStatus(RunStatusSink& shown) : shown_(shown) {}
  void SetTaskbarProgress(const TaskbarProgress& progress) override { shown_.SetTaskbarProgress(progress); }
  void ShowNotice(std::string_view title, std::string_view text) override { shown_.ShowNotice(title, text); }
  void RunChanged(bool charging) override { changes.push_back(charging); }
  std::vector<bool> changes;

 private:
  RunStatusSink& shown_;
};

struct World {
  sim::SimPlatform sim;
  RecordingRunStatus status{sim.runStatus};
  Platform platform{sim.tapi,  sim.power, sim.execution, sim.sleeper, sim.shutdown, sim.store,
                    sim.locks, sim.clock, sim.boxes,     sim.forms,   status, sim.sessionStart};
  TApplication app{platform};

  World() {
    murrelet::testing::PlugIn(sim.tapi);
    murrelet::testing::StoreSettings(sim.store);
    app.Start();
    Tick();
  }
  ~World() {
    if (app.Running()) app.WindowsEnding();
  }
  TMainForm& Main() { return *app.MainForm(); }
  void Tick() {
    sim.clock.Advance();
    app.Deliver([this] { Main().Timer1.Fire(); });
  }
  void Click(TButton& button) {
    app.Deliver([&button] { button.UserClick(); });
  }
  void Broadcast(std::uintptr_t code, std::intptr_t lParam) {
    sim::SimWindow* window = sim.forms.WindowOf(Main());
    app.Deliver([window, code, lParam] { window->Send(WM_POWERBROADCAST, code, lParam); });
  }
};

TEST(RunChanges, EachPathOutOfARunIsHeardOnceAndAnIdleRuleNotAtAll) {
  struct Case {
    const char* path;
    void (*end)(World&);
  };
  const Case cases[] = {
      {"stop button", [](World& w) { w.Click(w.Main().SpeedButton3); }},
      {"low battery", [](World& w) { w.Broadcast(PBT_APMBATTERYLOW, 0); }},
      {"suspend query", [](World& w) { w.Broadcast(PBT_APMQUERYSUSPEND, 0); }},
      {"overrideable suspend query", [](World& w) { w.Broadcast(PBT_APMQUERYSUSPEND, 1); }},
      {"AC-only rule", [](World& w) {
         w.Main().Settings.ACPowerFlag = true;
         w.sim.power.status.ACLineStatus = 0;
         w.Tick();
       }},
      {"closing", [](World& w) { w.app.CloseMainWindow(); }},
  };
  for (const Case& c : cases) {
    World w;
    w.Click(w.Main().SpeedButton2);
    ASSERT_TRUE(w.Main().Run.Charging) << c.path;
    c.end(w);
    EXPECT_EQ(w.status.changes, (std::vector<bool>{true, false})) << c.path;
    // The same rule again, now while idle, says nothing more.
    if (w.app.Running()) w.Broadcast(PBT_APMBATTERYLOW, 0);
    EXPECT_EQ(w.status.changes, (std::vector<bool>{true, false})) << c.path;
  }
}

// Closing ends the run before anything else it does: while the box of a
// failing settings write is open, its ticks find no run going, the line
// already closed and no keep-awake request, as the task bar already says.
TEST(RunChanges, ClosingEndsTheRunBeforeWritingTheSettings) {
  World w;
  w.Click(w.Main().SpeedButton2);
  ASSERT_TRUE(w.Main().Run.Charging);
  w.sim.store.createFail = true;
  struct Seen {
    bool charging;
    std::size_t linesOpen;
    TaskbarProgressState taskbar;
    std::size_t keepAwakeRequests;
  };
  std::vector<Seen> seen;
  w.sim.boxes.modalTicks = 3;
  w.sim.boxes.runTicks = [&w, &seen](int ticks) {
    for (int n = 0; n < ticks; ++n) {
      const std::size_t asked = w.sim.execution.values.size();
      w.Tick();
      seen.push_back({w.Main().Run.Charging, w.sim.tapi.LinesOpen(), w.sim.runStatus.progress.state,
                      w.sim.execution.values.size() - asked});
    }
  };
  w.app.CloseMainWindow();
  ASSERT_EQ(seen.size(), 3u) << "the write's error box ran its ticks";
  for (const Seen& tick : seen) {
    EXPECT_FALSE(tick.charging);
    EXPECT_EQ(tick.linesOpen, 0u);
    EXPECT_EQ(tick.taskbar, TaskbarProgressState::None);
    EXPECT_EQ(tick.keepAwakeRequests, 0u);
  }
  EXPECT_EQ(w.status.changes, (std::vector<bool>{true, false}));
}

TEST(RunChanges, AStartWhoseLineDoesNotOpenIsNoRun) {
  World w;
  w.sim.tapi.devices.front().openOk = false;
  w.Click(w.Main().SpeedButton2);
  EXPECT_FALSE(w.Main().Run.Charging);
  EXPECT_TRUE(w.status.changes.empty());
}

TEST(RunChanges, ATimedRunThatRunsOutIsHeardOnce) {
  World w;
  w.app.Deliver([&w] { w.Main().SpinEdit2.UserStep(+1); });
  w.Click(w.Main().SpeedButton2);
  for (int n = 0; n < 601; ++n) w.Tick();
  EXPECT_FALSE(w.Main().Run.Charging);
  EXPECT_EQ(w.status.changes, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace murrelet
