// The status call: UPower when it runs, the kernel's power_supply class otherwise.
#pragma once

#include <QDBusConnection>
#include <filesystem>

#include "kit/power.h"

namespace murrelet::linux_platform {

class LinuxPowerStatus : public PowerStatusSource {
 public:
  LinuxPowerStatus(QDBusConnection systemBus, std::filesystem::path sysfsRoot)
      : bus_(std::move(systemBus)), sysfsRoot_(std::move(sysfsRoot)) {}
  bool GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) override;

 private:
  QDBusConnection bus_;
  std::filesystem::path sysfsRoot_;
};

}  // namespace murrelet::linux_platform
