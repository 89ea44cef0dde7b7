// Reads /sys/class/power_supply for computers without the UPower daemon.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/linux/power/power_mapping.h"

namespace murrelet::linux_platform {

// Nullopt when the class directory cannot be read at all.
std::optional<std::vector<SupplyReading>> ReadPowerSupplies(const std::filesystem::path& sysfsRoot);

}  // namespace murrelet::linux_platform
