// A returning user's world for tests on the simulated platform: the eight
// settings as a normal close writes them, and the handset plugged in.
#pragma once

#include <cstdint>
#include <string>

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

}  // namespace murrelet::testing
