#include "platform/win32/legacy_power_bridge.h"

#include "kit/scope_exit.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

LegacyPowerBridge::LegacyPowerBridge(WindowHandle window, PowerStatusSource& power, const SuspendResumeCalls& calls)
    : window_(window), power_(power), events_(BatteryFlag()), registration_(window, calls) {}

std::uint8_t LegacyPowerBridge::BatteryFlag() {
  SYSTEM_POWER_STATUS status;
  return power_.GetSystemPowerStatus(status) ? status.BatteryFlag : BATTERY_FLAG_UNKNOWN;
}

std::intptr_t LegacyPowerBridge::Receive(std::uintptr_t wParam, std::intptr_t lParam,
                                         const std::function<std::intptr_t(std::uintptr_t, std::intptr_t)>& pass) {
  if (forwarding_) return pass(wParam, lParam);
  const std::uint8_t flag = wParam == PBT_APMPOWERSTATUSCHANGE ? BatteryFlag() : BATTERY_FLAG_UNKNOWN;
  const BroadcastPlan plan = events_.OnSystemBroadcast(wParam, flag);

  forwarding_ = true;
  const ScopeExit done([this] { forwarding_ = false; });
  // Sent, not posted: the window answers them before the system's own
  // broadcast is answered, as the system would have waited for them.
  if (plan.before) SendMessageW(window_, WM_POWERBROADCAST, plan.before->wParam, plan.before->lParam);
  const std::intptr_t result = plan.passOn ? pass(wParam, lParam) : TRUE;
  if (plan.after) SendMessageW(window_, WM_POWERBROADCAST, plan.after->wParam, plan.after->lParam);
  return result;
}

}  // namespace murrelet::win32
