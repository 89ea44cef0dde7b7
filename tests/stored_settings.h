// A returning user's world for tests on the simulated platform: the eight
// settings as a normal close writes them, the handset plugged in, and a run
// watched through another clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "charging/application.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_platform.h"

namespace murrelet::testing {

struct StoredSettings {
  std::string handsetName = "KESTRA T48R";
  std::uint32_t acPowerOnly = 0;
  std::uint32_t batteryThresholdOn = 0;
  std::uint32_t batteryPercent = 30;
  std::uint32_t suspendDisable = 1;
  std::uint32_t hours = 0;
  std::uint32_t minutes = 0;
  std::uint32_t shutDownAtEnd = 0;
};

inline void StoreSettings(sim::SimStore& store, const StoredSettings& settings = {}) {
  auto& key = store.keys[SettingsKeyPath()];
  key[kValueKestraName] = settings.handsetName;
  key[kValueACPowerFlag] = settings.acPowerOnly;
  key[kValueBatteryPowerFlag] = settings.batteryThresholdOn;
  key[kValueBatteryParcent] = settings.batteryPercent;
  key[kValueSuspendDisable] = settings.suspendDisable;
  key[kValueHourTimer] = settings.hours;
  key[kValueMinTimer] = settings.minutes;
  key[kValueShutDownFlag] = settings.shutDownAtEnd;
}

inline void PlugIn(sim::SimTapi& tapi, const std::string& name = "KESTRA T48R") {
  sim::SimLineDevice device;
  device.name = name;
  tapi.devices.push_back(device);
}

// The program on the simulated platform with another clock (the desktop's
// own): panels 0 and 1 after the first tick of a ten-minute run.
inline std::vector<std::string> PanelsOfTheFirstTimedTick(Clock& clock) {
  sim::SimPlatform sim;
  PlugIn(sim.tapi);
  StoredSettings settings;
  settings.minutes = 10;
  StoreSettings(sim.store, settings);
  Platform platform{sim.tapi, sim.power, sim.execution, sim.sleeper, sim.shutdown,
                    sim.store, sim.locks, clock,         sim.boxes,   sim.forms, sim.runStatus, sim.sessionStart};
  TApplication app(platform);
  app.Start();
  TMainForm& main = *app.MainForm();
  app.Deliver([&main] { main.SpeedButton2.UserClick(); });
  app.Deliver([&main] { main.Timer1.Fire(); });
  return {main.StatusBar.Panel(0), main.StatusBar.Panel(1)};
}

}  // namespace murrelet::testing
