#include "platform/linux/power/power_mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "services/power_event_policy.h"

namespace murrelet::linux_platform {
namespace {

// The thresholds the record's flag bits have always meant: high above 66 %,
// low below 33 %, critical below 5 %.
constexpr int kHighAbove = 66;
constexpr int kLowBelow = 33;
constexpr int kCriticalBelow = 5;

std::uint8_t LevelBits(int percent, bool warnedLow, bool warnedCritical) {
  if (warnedCritical || percent < kCriticalBelow) return BATTERY_FLAG_CRITICAL;
  if (warnedLow || percent < kLowBelow) return BATTERY_FLAG_LOW;
  if (percent > kHighAbove) return BATTERY_FLAG_HIGH;
  return 0;
}

std::uint8_t Percent(double value) {
  if (!std::isfinite(value)) return 255;
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 100L));
}

std::uint32_t Seconds(std::int64_t value) {
  if (value <= 0 || value >= static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max())) return 0xFFFFFFFF;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

SYSTEM_POWER_STATUS MapUPower(const UPowerReading& reading) {
  SYSTEM_POWER_STATUS status;
  status.ACLineStatus = reading.onBattery ? (*reading.onBattery ? 0 : 1) : 255;
  const bool battery = reading.displayPresent && reading.displayType == kUpDeviceTypeBattery;
  if (!battery) {
    status.BatteryFlag = BATTERY_FLAG_NO_BATTERY;
    return status;
  }
  if (!reading.percentage) {
    status.BatteryFlag = BATTERY_FLAG_UNKNOWN;
    return status;
  }
  status.BatteryLifePercent = Percent(*reading.percentage);
  if (status.BatteryLifePercent == 255) {
    status.BatteryFlag = BATTERY_FLAG_UNKNOWN;
    return status;
  }
  const auto level = static_cast<UpWarningLevel>(reading.warningLevel);
  std::uint8_t flag = LevelBits(status.BatteryLifePercent, level == UpWarningLevel::Low,
                                level == UpWarningLevel::Critical || level == UpWarningLevel::Action);
  if (static_cast<UpDeviceState>(reading.state) == UpDeviceState::Charging) flag |= BATTERY_FLAG_CHARGING;
  status.BatteryFlag = flag;
  if (status.ACLineStatus == 0) status.BatteryLifeTime = Seconds(reading.timeToEmpty);
  return status;
}

SYSTEM_POWER_STATUS MapPowerSupplies(const std::vector<SupplyReading>& supplies) {
  SYSTEM_POWER_STATUS status;
  bool sawMains = false;
  bool mainsOnline = false;
  const SupplyReading* battery = nullptr;
  for (const SupplyReading& supply : supplies) {
    if (supply.scope == "Device") continue;
    if (supply.type == "Battery") {
      if (supply.present.value_or(true) && battery == nullptr) battery = &supply;
    } else if (supply.type == "Mains" || supply.type == "USB" || supply.type.rfind("USB_", 0) == 0) {
      sawMains = true;
      mainsOnline = mainsOnline || supply.online.value_or(false);
    }
  }
  if (battery == nullptr) {
    // A computer without a battery runs on mains whatever its supplies say.
    status.ACLineStatus = 1;
    status.BatteryFlag = BATTERY_FLAG_NO_BATTERY;
    return status;
  }
  if (sawMains) {
    status.ACLineStatus = mainsOnline ? 1 : 0;
  } else if (battery->status == "Discharging") {
    status.ACLineStatus = 0;
  } else if (battery->status == "Charging" || battery->status == "Full" || battery->status == "Not charging") {
    status.ACLineStatus = 1;
  }
  if (!battery->capacity) {
    status.BatteryFlag = BATTERY_FLAG_UNKNOWN;
    return status;
  }
  status.BatteryLifePercent = Percent(*battery->capacity);
  std::uint8_t flag = LevelBits(status.BatteryLifePercent, battery->capacityLevel == "Low",
                                battery->capacityLevel == "Critical");
  if (battery->status == "Charging") flag |= BATTERY_FLAG_CHARGING;
  status.BatteryFlag = flag;
  if (status.ACLineStatus == 0 && battery->timeToEmpty) status.BatteryLifeTime = Seconds(*battery->timeToEmpty);
  return status;
}

unsigned BatteryWarningOf(std::uint32_t warningLevel) {
  switch (static_cast<UpWarningLevel>(warningLevel)) {
    case UpWarningLevel::Low:
      return kBatteryLowWarning;
    case UpWarningLevel::Critical:
      return kBatteryLowWarning + 1;
    case UpWarningLevel::Action:
      return kBatteryLowWarning + 2;
    default:
      return kNoBatteryWarning;
  }
}

}  // namespace murrelet::linux_platform
