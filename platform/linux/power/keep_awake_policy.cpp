#include "platform/linux/power/keep_awake_policy.h"

namespace murrelet::linux_platform {

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
