// How the Linux power daemons' readings become the status record the core
// reads, and the battery warning a warning level carries. Pure
// functions: the D-Bus and sysfs readers only gather the inputs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kit/power.h"

namespace murrelet::linux_platform {

// UPower's enums as it publishes them.
enum class UpDeviceState : std::uint32_t { Unknown = 0, Charging = 1, Discharging = 2, Empty = 3, FullyCharged = 4,
                                           PendingCharge = 5, PendingDischarge = 6 };
enum class UpWarningLevel : std::uint32_t { Unknown = 0, None = 1, Discharging = 2, Low = 3, Critical = 4, Action = 5 };
inline constexpr std::uint32_t kUpDeviceTypeBattery = 2;

// What UPower says: the daemon's OnBattery and its display device.
struct UPowerReading {
  std::optional<bool> onBattery;
  bool displayPresent = false;       // IsPresent of the display device
  std::uint32_t displayType = 0;     // Type of the display device
  std::optional<double> percentage;  // 0..100
  std::uint32_t state = 0;           // UpDeviceState
  std::uint32_t warningLevel = 0;    // UpWarningLevel
  std::int64_t timeToEmpty = 0;      // seconds, 0 when unknown
};

SYSTEM_POWER_STATUS MapUPower(const UPowerReading& reading);

// What /sys/class/power_supply says, one entry per supply.
struct SupplyReading {
  std::string type;           // "Mains", "Battery", "USB", ...
  std::optional<bool> online; // Mains/USB
  std::optional<bool> present;
  std::optional<int> capacity;
  std::string status;         // "Charging", "Discharging", "Full", "Not charging", "Unknown"
  std::string capacityLevel;  // "Critical", "Low", "Normal", "High", "Full", "Unknown"
  std::string scope;          // "Device" for peripherals (mice, handsets): not the computer's power
  std::optional<std::int64_t> timeToEmpty;  // seconds
};

SYSTEM_POWER_STATUS MapPowerSupplies(const std::vector<SupplyReading>& supplies);

// The battery warning UPower's warning level carries, for PowerEventPolicy:
// low, critical and action are ever worse warnings; the others are none.
unsigned BatteryWarningOf(std::uint32_t warningLevel);

}  // namespace murrelet::linux_platform
