// Where the settings live in the per-user store, and their value names.
#pragma once

#include <string>

namespace murrelet {

// As written; the leading backslash makes it absolute under the user's root
// and the trailing one is tolerated.
inline constexpr const char* kSettingsKey = "\\Software\\Quillon SoftWare\\Gannetry\\V2.0\\";

// The key path with the leading and trailing backslashes taken off.
std::string SettingsKeyPath();

inline constexpr const char* kValueKestraName = "KestraName";
inline constexpr const char* kValueACPowerFlag = "ACPowerFlag";
inline constexpr const char* kValueBatteryPowerFlag = "BatteryPowerFlag";
inline constexpr const char* kValueBatteryParcent = "BatteryParcent";
inline constexpr const char* kValueSuspendDisable = "SuspendDisable";
inline constexpr const char* kValueHourTimer = "HourTimer";
inline constexpr const char* kValueMinTimer = "MinTimer";
inline constexpr const char* kValueShutDownFlag = "ShutDownFlag";
// Optional: a store from 2.0 lacks them, and that is no fault.
inline constexpr const char* kValueAutoCharge = "AutoCharge";
inline constexpr const char* kValueStartWithSession = "StartWithSession";
inline constexpr const char* kValueTrayIcon = "TrayIcon";

}  // namespace murrelet
