// The status call: UPower when it runs, the kernel's power_supply class otherwise.
#pragma once

#include <QDBusConnection>
#include <filesystem>

#include "kit/power.h"
#include "platform/linux/power/power_supply_sysfs.h"
#include "platform/linux/power/upower_cache.h"

namespace murrelet::linux_platform {

class LinuxPowerStatus : public PowerStatusSource {
 public:
  LinuxPowerStatus(QDBusConnection systemBus, std::filesystem::path sysfsRoot)
      : upower_(std::move(systemBus)), supplies_(sysfsRoot) {}
  bool GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) override;
  // UPower's reading as the status call last had it (asked now if stale).
  std::optional<UPowerReading> UPower() { return upower_.Reading(); }
  // The cache, whose change signals the power events follow.
  UPowerCache& UPowerChanges() { return upower_; }

 private:
  UPowerCache upower_;
  PowerSupplyReader supplies_;
};

}  // namespace murrelet::linux_platform
