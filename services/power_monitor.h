// The power status monitor: a snapshot of the computer's power status, read on
// demand, and the owner window's power broadcasts turned into events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "kit/power.h"
#include "kit/window_procedure.h"

namespace murrelet {

class TAPM;

using TNotifyEvent = std::function<void(TAPM& Sender)>;
using TBatteryLowEvent = TNotifyEvent;
using TSuspendEvent = TNotifyEvent;
using TSuspendRequestEvent = TNotifyEvent;
using TSuspendRequestDeniedEvent = TNotifyEvent;
using TResumeAfterCriticalEvent = TNotifyEvent;
using TResumeAfterSuspendEvent = TNotifyEvent;
using TPowerStatusChangeEvent = TNotifyEvent;
using TOEMEvent = std::function<void(TAPM& Sender, std::int32_t EventCode)>;
using TOverrideSuspendRequestEvent = std::function<void(TAPM& Sender, bool& CanSuspend)>;

// The two text mappings of the snapshot.
const char* ACPowerStatusText(std::uint8_t acLineStatus);
const char* BatteryChargeStatusText(std::uint8_t batteryFlag);

class TAPM {
 public:
  // Reads the power status and, with an owner window, hooks its window
  // procedure. Without an owner the component never raises events.
  TAPM(OwnerWindow* owner, PowerStatusSource& source);
  ~TAPM();
  TAPM(const TAPM&) = delete;
  TAPM& operator=(const TAPM&) = delete;

  // Re-reads the power status; raises no event. When the status call fails
  // the previous snapshot is kept; before any good reading it is the
  // undetermined one below, its texts matching its flags.
  void Refresh();

  // Snapshot properties (read and writable; a write is overwritten by Refresh).
  std::string ACPowerStatus = "Unknown";
  std::uint8_t ACPowerStatusFlag = 255;
  std::string BatteryChargeStatus = "Unknown";
  std::uint8_t BatteryChargeStatusFlag = 255;
  std::uint8_t BatteryLifePercent = 255;
  std::uint32_t BatteryLifeTime = 0xFFFFFFFF;
  std::uint32_t BatteryLifeFullTime = 0xFFFFFFFF;
  bool Enabled = true;

  TBatteryLowEvent OnBatteryLow;
  TOEMEvent OnOEMEvent;
  TSuspendEvent OnSuspend;
  TSuspendRequestEvent OnSuspendQuery;
  TOverrideSuspendRequestEvent OnOverrideableSuspendQuery;
  TSuspendRequestDeniedEvent OnSuspendDenied;
  TResumeAfterCriticalEvent OnResumeAfterCritical;
  TResumeAfterSuspendEvent OnResumeAfterSuspend;
  TPowerStatusChangeEvent OnPowerStatusChange;

  bool Hooked() const { return HookInstance != nullptr; }

  // The monitor's answer to a message, given what the previous window
  // procedure answered; raises the events the message calls for.
  std::intptr_t Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                         std::intptr_t previousResult);

 private:
  void HookOwnerWindow();
  void UnhookOwnerWindow();
  std::intptr_t PowerWndProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  OwnerWindow* owner_;
  PowerStatusSource& source_;
  WindowProcedureRef PrevWndProc;
  WindowProcedureRef HookInstance;
};

}  // namespace murrelet
