#include "services/power_monitor.h"

namespace murrelet {

const char* ACPowerStatusText(std::uint8_t acLineStatus) {
  switch (acLineStatus) {
    case 0: return "OffLine";
    case 1: return "OnLine";
    default: return "Unknown";
  }
}

const char* BatteryChargeStatusText(std::uint8_t batteryFlag) {
  // Each row matches only a flag with no bit outside its own, so combinations
  // such as 9 (high and charging) fall through to "Unknown".
  if ((batteryFlag & ~BATTERY_FLAG_HIGH & 0xFF) == 0) return "High";
  if (batteryFlag == BATTERY_FLAG_LOW) return "Low";
  if (batteryFlag == BATTERY_FLAG_CRITICAL) return "Critical";
  if (batteryFlag == BATTERY_FLAG_CHARGING) return "Charging";
  if (batteryFlag == BATTERY_FLAG_NO_BATTERY) return "No Battery";
  return "Unknown";
}

TAPM::TAPM(OwnerWindow* owner, PowerStatusSource& source) : owner_(owner), source_(source) {
  Refresh();
  HookOwnerWindow();
}

TAPM::~TAPM() { UnhookOwnerWindow(); }

void TAPM::Refresh() {
  SYSTEM_POWER_STATUS status;
  if (!source_.GetSystemPowerStatus(status)) return;
  ACPowerStatusFlag = status.ACLineStatus;
  ACPowerStatus = ACPowerStatusText(status.ACLineStatus);
  BatteryChargeStatusFlag = status.BatteryFlag;
  BatteryChargeStatus = BatteryChargeStatusText(status.BatteryFlag);
  BatteryLifePercent = status.BatteryLifePercent;
  BatteryLifeTime = status.BatteryLifeTime;
  BatteryLifeFullTime = status.BatteryFullLifeTime;
}

void TAPM::HookOwnerWindow() {
  if (owner_ == nullptr) return;
  PrevWndProc = owner_->GetWindowProcedure();
  HookInstance = std::make_shared<const WindowProcedure>(
      [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        return PowerWndProc(message, wParam, lParam);
      });
  owner_->SetWindowProcedure(HookInstance);
}

void TAPM::UnhookOwnerWindow() {
  if (owner_ != nullptr && PrevWndProc) owner_->SetWindowProcedure(PrevWndProc);
  HookInstance.reset();
  PrevWndProc.reset();
}

std::intptr_t TAPM::PowerWndProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  // The previous procedure always runs first; the events follow.
  const std::intptr_t previous = owner_->CallWindowProcedure(PrevWndProc, message, wParam, lParam);
  return Dispatch(message, wParam, lParam, previous);
}

std::intptr_t TAPM::Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                             std::intptr_t previousResult) {
  if (message != WM_POWERBROADCAST || !Enabled) return previousResult;
  switch (wParam) {
    case PBT_APMQUERYSUSPEND:
      if ((static_cast<std::uintptr_t>(lParam) & 0xFFFF) == 1) {
        bool CanSuspend = true;
        if (OnOverrideableSuspendQuery) OnOverrideableSuspendQuery(*this, CanSuspend);
        return CanSuspend ? 0 : BROADCAST_QUERY_DENY;
      }
      if (OnSuspendQuery) OnSuspendQuery(*this);
      break;
    case PBT_APMQUERYSUSPENDFAILED:
      if (OnSuspendDenied) OnSuspendDenied(*this);
      break;
    case PBT_APMSUSPEND:
      if (OnSuspend) OnSuspend(*this);
      break;
    case PBT_APMRESUMECRITICAL:
      if (OnResumeAfterCritical) OnResumeAfterCritical(*this);
      break;
    case PBT_APMRESUMESUSPEND:
      if (OnResumeAfterSuspend) OnResumeAfterSuspend(*this);
      break;
    case PBT_APMBATTERYLOW:
      if (OnBatteryLow) OnBatteryLow(*this);
      break;
    case PBT_APMPOWERSTATUSCHANGE:
      if (OnPowerStatusChange) OnPowerStatusChange(*this);
      break;
    case PBT_APMOEMEVENT:
      if (OnOEMEvent) OnOEMEvent(*this, static_cast<std::int32_t>(static_cast<std::uint32_t>(lParam)));
      break;
    default:
      break;
  }
  return previousResult;
}

}  // namespace murrelet
