#include "platform/linux/power/linux_power_status.h"

namespace murrelet::linux_platform {

bool LinuxPowerStatus::GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) {
  if (const std::optional<UPowerReading> reading = upower_.Reading()) {
    status = MapUPower(*reading);
    return true;
  }
  if (const std::vector<SupplyReading>* supplies = supplies_.Read()) {
    status = MapPowerSupplies(*supplies);
    return true;
  }
  return false;
}

}  // namespace murrelet::linux_platform
