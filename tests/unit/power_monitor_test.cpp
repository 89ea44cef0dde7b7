// The power status monitor: its two text mappings, the raw snapshot, and the
// dispatch of power broadcasts on a hooked window with the answer rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_services.h"
#include "services/power_monitor.h"

namespace murrelet {
namespace {

TEST(ACPowerStatusText, NamesOnlyZeroAndOne) {
  const std::pair<std::uint8_t, const char*> cases[] = {
      {0, "OffLine"}, {1, "OnLine"}, {2, "Unknown"}, {128, "Unknown"}, {254, "Unknown"}, {255, "Unknown"},
  };
  for (const auto& [flag, text] : cases) EXPECT_STREQ(ACPowerStatusText(flag), text) << int(flag);
}

TEST(BatteryChargeStatusText, MatchesSingleFlagsOnly) {
  const std::pair<std::uint8_t, const char*> cases[] = {
      {0, "High"},       {1, "High"},     {2, "Low"},      {3, "Unknown"},   {4, "Critical"}, {5, "Unknown"},
      {6, "Unknown"},    {8, "Charging"}, {9, "Unknown"},  {10, "Unknown"},  {12, "Unknown"}, {16, "Unknown"},
      {128, "No Battery"}, {129, "Unknown"}, {136, "Unknown"}, {255, "Unknown"},
  };
  for (const auto& [flag, text] : cases) EXPECT_STREQ(BatteryChargeStatusText(flag), text) << int(flag);
}

// Counts every event the monitor raises.
struct EventLog {
  void Bind(TAPM& apm) {
    apm.OnBatteryLow = [this](TAPM&) { names.push_back("BatteryLow"); };
    apm.OnOEMEvent = [this](TAPM&, std::int32_t code) {
      names.push_back("OEMEvent");
      codes.push_back(code);
    };
    apm.OnSuspend = [this](TAPM&) { names.push_back("Suspend"); };
    apm.OnSuspendQuery = [this](TAPM&) { names.push_back("SuspendQuery"); };
    apm.OnOverrideableSuspendQuery = [this](TAPM&, bool& canSuspend) {
      names.push_back("OverrideableSuspendQuery");
      entry.push_back(canSuspend);
      canSuspend = answer;
    };
    apm.OnSuspendDenied = [this](TAPM&) { names.push_back("SuspendDenied"); };
    apm.OnResumeAfterCritical = [this](TAPM&) { names.push_back("ResumeAfterCritical"); };
    apm.OnResumeAfterSuspend = [this](TAPM&) { names.push_back("ResumeAfterSuspend"); };
    apm.OnPowerStatusChange = [this](TAPM&) { names.push_back("PowerStatusChange"); };
  }
  std::vector<std::string> names;
  std::vector<std::int32_t> codes;
  std::vector<bool> entry;
  bool answer = true;
};

class HookedMonitor : public ::testing::Test {
 protected:
  HookedMonitor() {
    window.defaultResult = 77;
    apm = std::make_unique<TAPM>(&window, power);
    log.Bind(*apm);
  }
  std::intptr_t Broadcast(std::uintptr_t wParam, std::intptr_t lParam) {
    return window.Send(WM_POWERBROADCAST, wParam, lParam);
  }

  sim::SimWindow window;
  sim::SimPower power;
  std::unique_ptr<TAPM> apm;
  EventLog log;
};

TEST_F(HookedMonitor, RaisesOneEventPerKnownCode) {
  const std::pair<std::uintptr_t, const char*> cases[] = {
      {PBT_APMQUERYSUSPENDFAILED, "SuspendDenied"}, {PBT_APMSUSPEND, "Suspend"},
      {PBT_APMRESUMECRITICAL, "ResumeAfterCritical"}, {PBT_APMRESUMESUSPEND, "ResumeAfterSuspend"},
      {PBT_APMBATTERYLOW, "BatteryLow"},           {PBT_APMPOWERSTATUSCHANGE, "PowerStatusChange"},
      {PBT_APMOEMEVENT, "OEMEvent"},
  };
  for (const auto& [code, name] : cases) {
    log.names.clear();
    EXPECT_EQ(Broadcast(code, 0), 77) << name;  // the previous procedure's answer
    EXPECT_EQ(log.names, std::vector<std::string>{name});
  }
}

TEST_F(HookedMonitor, OtherCodesAndMessagesRaiseNothing) {
  for (const std::uintptr_t code : {std::uintptr_t{1}, std::uintptr_t{3}, std::uintptr_t{5}, std::uintptr_t{8},
                                    std::uintptr_t{12}, PBT_APMRESUMEAUTOMATIC, ~std::uintptr_t{0}}) {
    EXPECT_EQ(Broadcast(code, 1), 77) << code;
  }
  EXPECT_EQ(window.Send(0x0010, PBT_APMBATTERYLOW, 1), 77);  // not a power broadcast
  EXPECT_TRUE(log.names.empty());
  EXPECT_EQ(window.defaultSeen.size(), 8u);  // every message still reached the window
}

TEST_F(HookedMonitor, OverrideableQueryIsAnsweredByTheHandler) {
  EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), 0);  // granted: 0, not the previous 77 and not 1
  log.answer = false;
  EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), BROADCAST_QUERY_DENY);
  EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 0x70001), BROADCAST_QUERY_DENY);  // only the low 16 bits count
  EXPECT_EQ(log.entry, (std::vector<bool>{true, true, true}));  // CanSuspend is true on entry
  EXPECT_EQ(log.names, std::vector<std::string>(3, "OverrideableSuspendQuery"));

  apm->OnOverrideableSuspendQuery = nullptr;
  EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), 0);  // no handler: granted
}

TEST_F(HookedMonitor, PlainQueryRaisesOnlyTheSuspendQuery) {
  log.answer = false;
  for (const std::intptr_t lParam : {std::intptr_t{0}, std::intptr_t{2}, std::intptr_t{0x10000}}) {
    log.names.clear();
    EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, lParam), 77) << lParam;
    EXPECT_EQ(log.names, std::vector<std::string>{"SuspendQuery"});
  }
}

TEST_F(HookedMonitor, ThePreviousProcedureRunsFirst) {
  std::size_t seenBefore = 99;
  apm->OnBatteryLow = [&](TAPM&) { seenBefore = window.defaultSeen.size(); };
  Broadcast(PBT_APMBATTERYLOW, 0);
  EXPECT_EQ(seenBefore, 1u);
}

TEST_F(HookedMonitor, DisabledAnswersWithThePreviousResultAndRaisesNothing) {
  apm->Enabled = false;
  log.answer = false;
  EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), 77);
  EXPECT_EQ(Broadcast(PBT_APMBATTERYLOW, 0), 77);
  EXPECT_TRUE(log.names.empty());
  EXPECT_EQ(window.defaultSeen.size(), 2u);
  EXPECT_TRUE(apm->Hooked());  // writing Enabled does not unhook
  apm->Enabled = true;
  EXPECT_EQ(Broadcast(PBT_APMQUERYSUSPEND, 1), BROADCAST_QUERY_DENY);
}

TEST_F(HookedMonitor, OemEventCarriesLParamAsASignedCode) {
  Broadcast(PBT_APMOEMEVENT, 5);
  Broadcast(PBT_APMOEMEVENT, static_cast<std::intptr_t>(0x80000005u));
  Broadcast(PBT_APMOEMEVENT, -1);
  EXPECT_EQ(log.codes, (std::vector<std::int32_t>{5, -2147483643, -1}));
}

TEST_F(HookedMonitor, StatusChangeDoesNotRefreshBySelf) {
  power.status = {0, 2, 12, 0, 3600, 7200};
  Broadcast(PBT_APMPOWERSTATUSCHANGE, 0);
  EXPECT_EQ(apm->ACPowerStatusFlag, 1);
  EXPECT_EQ(apm->BatteryLifePercent, 80);
  apm->Refresh();
  EXPECT_EQ(apm->ACPowerStatusFlag, 0);
  EXPECT_EQ(apm->ACPowerStatus, "OffLine");
  EXPECT_EQ(apm->BatteryChargeStatus, "Low");
  EXPECT_EQ(apm->BatteryLifePercent, 12);
  EXPECT_EQ(apm->BatteryLifeTime, 3600u);
  EXPECT_EQ(apm->BatteryLifeFullTime, 7200u);
}

// The first snapshot keeps the raw values as they come (a flag no text names
// reads "Unknown"); a failed first call leaves one undetermined.
TEST(PowerMonitor, KeepsRawValuesAsTheyComeAndAFailedFirstCallLeavesThemUndetermined) {
  struct Case {
    const char* what;
    SYSTEM_POWER_STATUS status;
    bool fail;
    std::uint8_t charge;
    std::uint32_t fullTime;
  };
  const Case cases[] = {
      {"raw values", {255, 9, 255, 0x5A, 0xFFFFFFFF, 0xFFFFFFFE}, false, 9, 0xFFFFFFFEu},
      {"a failed first call", {0, 1, 80, 0, 100, 200}, true, 255, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::SimPower power;
    power.status = c.status;
    power.fail = c.fail;
    TAPM apm(nullptr, power);
    EXPECT_EQ(apm.ACPowerStatusFlag, 255);
    EXPECT_EQ(apm.ACPowerStatus, "Unknown");
    EXPECT_EQ(apm.BatteryChargeStatusFlag, c.charge);
    EXPECT_EQ(apm.BatteryChargeStatus, "Unknown");
    EXPECT_EQ(apm.BatteryLifePercent, 255);
    EXPECT_EQ(apm.BatteryLifeTime, 0xFFFFFFFFu);
    EXPECT_EQ(apm.BatteryLifeFullTime, c.fullTime);
    if (!c.fail) {
      EXPECT_TRUE(apm.Enabled);
    }
  }
}

TEST(PowerMonitor, WithoutAnOwnerItHasASnapshotAndNeverRaisesAnEvent) {
  sim::SimPower power;
  power.status = {0, 1, 42, 0, 100, 200};
  sim::SimWindow window;
  const WindowProcedureRef original = window.GetWindowProcedure();
  TAPM apm(nullptr, power);
  EventLog log;
  log.Bind(apm);
  EXPECT_FALSE(apm.Hooked());
  EXPECT_EQ(apm.ACPowerStatus, "OffLine");
  EXPECT_EQ(apm.BatteryChargeStatus, "High");
  EXPECT_EQ(apm.BatteryLifePercent, 42);
  for (std::uintptr_t code = 0; code <= 11; ++code) window.Send(WM_POWERBROADCAST, code, 1);
  EXPECT_TRUE(log.names.empty());
  EXPECT_EQ(window.GetWindowProcedure(), original);
}

TEST(PowerMonitor, DestroyingItGivesTheWindowItsProcedureBack) {
  sim::SimPower power;
  sim::SimWindow window;
  const WindowProcedureRef original = window.GetWindowProcedure();
  EventLog log;
  {
    TAPM apm(&window, power);
    EXPECT_NE(window.GetWindowProcedure(), original);
    log.Bind(apm);
    window.Send(WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0);
    EXPECT_EQ(log.names.size(), 1u);
  }
  EXPECT_EQ(window.GetWindowProcedure(), original);
  EXPECT_EQ(window.Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 1), 1);  // the window's own answer
  window.Send(WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0);
  EXPECT_EQ(log.names.size(), 1u);
}

TEST(PowerMonitor, AFailedStatusCallKeepsThePreviousSnapshot) {
  sim::SimPower power;
  TAPM apm(nullptr, power);
  power.status = {0, 4, 3, 0, 1, 2};
  power.fail = true;
  apm.Refresh();
  EXPECT_EQ(apm.ACPowerStatusFlag, 1);
  EXPECT_EQ(apm.BatteryLifePercent, 80);
}


}  // namespace
}  // namespace murrelet
