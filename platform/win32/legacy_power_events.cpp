#include "platform/win32/legacy_power_events.h"

#include "kit/power.h"

namespace murrelet::win32 {

bool LegacyPowerEvents::IsLow(std::uint8_t batteryFlag) {
  // 255 (unknown) and 128 (no battery) say nothing about a charge level.
  if (batteryFlag == BATTERY_FLAG_UNKNOWN || (batteryFlag & BATTERY_FLAG_NO_BATTERY) != 0) return false;
  return (batteryFlag & (BATTERY_FLAG_LOW | BATTERY_FLAG_CRITICAL)) != 0;
}

BroadcastPlan LegacyPowerEvents::OnSystemBroadcast(std::uintptr_t wParam, std::uint8_t batteryFlag) {
  BroadcastPlan plan;
  // The window is registered for suspend notices and also gets the broadcast,
  // so one suspend can arrive twice in a row; the second adds nothing. Any
  // other broadcast between them makes the next notice a suspend of its own.
  const bool repeated = wParam == PBT_APMSUSPEND && suspended_;
  suspended_ = wParam == PBT_APMSUSPEND;
  if (repeated) {
    plan.passOn = false;
    return plan;
  }
  switch (wParam) {
    case PBT_APMQUERYSUSPEND:
      queried_ = true;
      break;
    case PBT_APMSUSPEND:
      // A suspend nobody was asked about: ask now, as a query that cannot be
      // refused, so the run ends before the system sleeps.
      if (!queried_) plan.before = Broadcast{PBT_APMQUERYSUSPEND, 0};
      queried_ = false;
      break;
    case PBT_APMQUERYSUSPENDFAILED:
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMESTANDBY:
    case PBT_APMRESUMEAUTOMATIC:
      queried_ = false;
      break;
    case PBT_APMBATTERYLOW:
      // The system reports this crossing itself; once is enough.
      plan.passOn = !low_;
      low_ = true;
      break;
    case PBT_APMPOWERSTATUSCHANGE:
      if (batteryFlag == BATTERY_FLAG_UNKNOWN) break;
      if (IsLow(batteryFlag)) {
        if (!low_) plan.after = Broadcast{PBT_APMBATTERYLOW, 0};
        low_ = true;
      } else {
        low_ = false;
      }
      break;
    default:
      break;
  }
  return plan;
}

}  // namespace murrelet::win32
