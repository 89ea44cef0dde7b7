#include "charging/auto_charge.h"

namespace murrelet {

bool AutoChargeTrigger::Poll(HandsetSeen seen, bool enabled, bool canStartNow) {
  if (seen == HandsetSeen::Unknown) return false;
  if (seen == HandsetSeen::Absent) {
    armed_ = true;
    return false;
  }
  if (!armed_ || !canStartNow) return false;
  // This connection's chance is taken now, whether the setting asks for a
  // start or not: turning the setting on later starts the next connection.
  armed_ = false;
  return enabled;
}

}  // namespace murrelet
