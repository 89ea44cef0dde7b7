#include "platform/linux/power/keep_awake_policy.h"

namespace murrelet::linux_platform {

KeepAwakeAsks LocksToAsk(bool sandboxed, bool managerHolds) {
  KeepAwakeAsks asks;
  if (sandboxed) {
    // The portal is the sandbox's one way to the desktop; logind only where
    // it refused, for the sandboxes that may reach the system bus.
    asks.portal = true;
    asks.activatePortal = true;
    asks.logindIdle = !managerHolds;
    return asks;
  }
  asks.sessionManagers = true;
  if (managerHolds) return asks;
  asks.portal = true;
  asks.logindIdle = true;
  return asks;
}

void KeepAwakePolicy::Asked() {
  askedThisTick_ = true;
  quietTicks_ = 0;
  holding_ = true;
}

bool KeepAwakePolicy::Release() {
  quietTicks_ = 0;
  if (!holding_) return false;
  holding_ = false;
  return true;
}

bool KeepAwakePolicy::TickEnded(bool charging) {
  const bool asked = askedThisTick_;
  askedThisTick_ = false;
  if (!charging) return Release();
  if (asked) return false;
  if (++quietTicks_ >= kQuietTicks) return Release();
  return false;
}

bool KeepAwakePolicy::RunEnded() { return Release(); }

}  // namespace murrelet::linux_platform
