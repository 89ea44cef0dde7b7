// Since Vista, Windows no longer asks before a suspend (PBT_APMQUERYSUSPEND)
// and no longer reports a low battery (PBT_APMBATTERYLOW); the program ends a
// run on both. This class maps each power broadcast the system sends onto the
// shared PowerEventPolicy, which decides which of the two old broadcasts the
// window should get as well, so that they arrive as they did before, and never
// twice where the system still sends them. A suspend notice that arrives twice
// in a row (the broadcast and the notice for a registered window) counts once.
#pragma once

#include <cstdint>
#include <optional>

#include "services/power_event_policy.h"

namespace murrelet::win32 {

struct BroadcastPlan {
  std::optional<PowerBroadcast> before;  // delivered ahead of the system's broadcast
  bool passOn = true;                    // false: the system's broadcast was already delivered
  std::optional<PowerBroadcast> after;   // delivered once the system's broadcast has been handled
};

class LegacyPowerEvents {
 public:
  // `batteryFlag` is the battery flag at start: a battery already low then
  // is not a crossing.
  explicit LegacyPowerEvents(std::uint8_t batteryFlag) : policy_(WarningOf(batteryFlag)) {}

  // `batteryFlag` is read from the system for PBT_APMPOWERSTATUSCHANGE only;
  // other broadcasts ignore it.
  BroadcastPlan OnSystemBroadcast(std::uintptr_t wParam, std::uint8_t batteryFlag);

  static bool IsLow(std::uint8_t batteryFlag);

 private:
  static unsigned WarningOf(std::uint8_t batteryFlag) {
    return IsLow(batteryFlag) ? kBatteryLowWarning : kNoBatteryWarning;
  }

  PowerEventPolicy policy_;
  bool suspended_ = false;  // the last broadcast was a suspend notice
};

}  // namespace murrelet::win32
