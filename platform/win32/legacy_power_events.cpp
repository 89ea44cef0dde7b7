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
      policy_.SuspendQueried();
      break;
    case PBT_APMSUSPEND:
      plan.before = policy_.Suspending();
      break;
    case PBT_APMQUERYSUSPENDFAILED:
    case PBT_APMRESUMECRITICAL:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMESTANDBY:
    case PBT_APMRESUMEAUTOMATIC:
      policy_.SuspendSettled();
      break;
    case PBT_APMBATTERYLOW:
      plan.passOn = policy_.BatteryLowReported();
      break;
    case PBT_APMPOWERSTATUSCHANGE:
      // An unknown flag says nothing: the crossing stays as it was.
      if (batteryFlag == BATTERY_FLAG_UNKNOWN) break;
      if (policy_.BatteryReading(WarningOf(batteryFlag))) plan.after = PowerBroadcast{PBT_APMBATTERYLOW, 0};
      break;
    default:
      break;
  }
  return plan;
}

}  // namespace murrelet::win32
