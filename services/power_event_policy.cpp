#include "services/power_event_policy.h"

#include "kit/power.h"

namespace murrelet {

std::optional<PowerBroadcast> PowerEventPolicy::Suspending() {
  std::optional<PowerBroadcast> query;
  if (!queried_) query = PowerBroadcast{PBT_APMQUERYSUSPEND, 0};
  queried_ = false;
  return query;
}

bool PowerEventPolicy::BatteryReading(unsigned warning) {
  const bool rose = warning > warning_;
  warning_ = warning;
  return rose;
}

bool PowerEventPolicy::BatteryLowReported() {
  if (warning_ >= kBatteryLowWarning) return false;
  warning_ = kBatteryLowWarning;
  return true;
}

}  // namespace murrelet
