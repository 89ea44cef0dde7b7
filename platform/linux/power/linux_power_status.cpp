#include "platform/linux/power/linux_power_status.h"

#include "platform/linux/power/power_supply_sysfs.h"
#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {

bool LinuxPowerStatus::GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) {
  if (const std::optional<UPowerReading> reading = ReadUPower(bus_)) {
    status = MapUPower(*reading);
    return true;
  }
  if (const auto supplies = ReadPowerSupplies(sysfsRoot_)) {
    status = MapPowerSupplies(*supplies);
    return true;
  }
  return false;
}

}  // namespace murrelet::linux_platform
