// The user's settings and the state of the charging run.
#pragma once

#include <cstdint>
#include <string>

#include "kit/tapi.h"

namespace murrelet {

struct ChargeSettings {
  std::string HandsetName;
  bool ACPowerFlag = false;
  bool BatteryPowerFlag = false;
  std::int32_t BatteryParcent = 0;
  bool SuspendDisable = false;
  std::int32_t HourTimer = 0;
  std::int32_t MinTimer = 0;
  bool ShutDownFlag = false;
  // Added after 2.0 and written after the eight above; a store without them
  // loads with both off.
  bool AutoCharge = false;        // start a run when the handset is connected
  bool StartWithSession = false;  // start the program when the user logs in
  // Added after those two and written after them; missing means off.
  bool TrayIcon = false;  // an icon in the notification area
};

// What a first start puts in place. The timer fields keep their initial 0.
ChargeSettings FirstStartSettings();

inline constexpr std::int32_t NoTimeLimit = -10;

struct ChargeRun {
  bool Charging = false;
  std::int32_t RemainingSeconds = 0;
  std::int32_t DeviceId = 0;
  HLINEAPP LineApp = 0;
  HLINE Line = 0;
  bool DevicePresent = false;
  bool Configured = false;
};

}  // namespace murrelet
