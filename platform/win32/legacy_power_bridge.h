// Wires LegacyPowerEvents into the main window: it sees each power broadcast
// from outside first and sends the window the old broadcasts it calls for.
#pragma once

#include "kit/power.h"
#include "platform/win32/legacy_power_events.h"
#include "platform/win32/suspend_resume_registration.h"
#include "platform/win32/window_hook.h"

namespace murrelet::win32 {

class LegacyPowerBridge {
 public:
  // Registers `window` for suspend notices through `calls` (by default the
  // system's own) until the bridge is destroyed.
  LegacyPowerBridge(WindowHandle window, PowerStatusSource& power,
                    const SuspendResumeCalls& calls = LookUpSuspendResumeCalls());
  // The window's PowerEntry.
  std::intptr_t Receive(std::uintptr_t wParam, std::intptr_t lParam,
                        const std::function<std::intptr_t(std::uintptr_t, std::intptr_t)>& pass);

 private:
  std::uint8_t BatteryFlag();

  WindowHandle window_;
  PowerStatusSource& power_;
  LegacyPowerEvents events_;
  bool forwarding_ = false;  // inside a broadcast already sorted, or one sent from here
  SuspendResumeRegistration registration_;
};

}  // namespace murrelet::win32
