// Reads /sys/class/power_supply for computers without the UPower daemon.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/power/power_mapping.h"
#include "platform/linux/system/sysfs_reading.h"

namespace murrelet::linux_platform {

// Read once a second: the class folder stays open and the readings keep their
// storage, so a pass over unchanged supplies allocates nothing.
class PowerSupplyReader {
 public:
  explicit PowerSupplyReader(const std::filesystem::path& sysfsRoot);

  // Every supply listed now; nullptr when the class folder cannot be read.
  const std::vector<SupplyReading>* Read();

 private:
  void ReadSupply(const char* name, SupplyReading& supply);

  KeptDirectory classDir_;
  std::vector<SupplyReading> supplies_;
  std::string path_;
  std::string value_;
};

// One pass with a fresh reader; nullopt when the class folder cannot be read.
std::optional<std::vector<SupplyReading>> ReadPowerSupplies(const std::filesystem::path& sysfsRoot);

}  // namespace murrelet::linux_platform
