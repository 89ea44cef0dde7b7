// The power side of the platform: the status call, the keep-awake signal, the
// GUI-thread wait, and the power broadcast codes the main window receives.
#pragma once

#include <cstdint>

namespace murrelet {

inline constexpr std::uint32_t WM_POWERBROADCAST = 0x0218;
inline constexpr std::uintptr_t PBT_APMQUERYSUSPEND = 0;
inline constexpr std::uintptr_t PBT_APMQUERYSTANDBY = 1;
inline constexpr std::uintptr_t PBT_APMQUERYSUSPENDFAILED = 2;
inline constexpr std::uintptr_t PBT_APMQUERYSTANDBYFAILED = 3;
inline constexpr std::uintptr_t PBT_APMSUSPEND = 4;
inline constexpr std::uintptr_t PBT_APMSTANDBY = 5;
inline constexpr std::uintptr_t PBT_APMRESUMECRITICAL = 6;
inline constexpr std::uintptr_t PBT_APMRESUMESUSPEND = 7;
inline constexpr std::uintptr_t PBT_APMRESUMESTANDBY = 8;
inline constexpr std::uintptr_t PBT_APMBATTERYLOW = 9;
inline constexpr std::uintptr_t PBT_APMPOWERSTATUSCHANGE = 10;
inline constexpr std::uintptr_t PBT_APMOEMEVENT = 11;
inline constexpr std::uintptr_t PBT_APMRESUMEAUTOMATIC = 18;
inline constexpr std::intptr_t BROADCAST_QUERY_DENY = 0x424D5144;

inline constexpr std::uint32_t ES_SYSTEM_REQUIRED = 0x00000001;

// Battery flag bits of the status record.
inline constexpr std::uint8_t BATTERY_FLAG_HIGH = 1;
inline constexpr std::uint8_t BATTERY_FLAG_LOW = 2;
inline constexpr std::uint8_t BATTERY_FLAG_CRITICAL = 4;
inline constexpr std::uint8_t BATTERY_FLAG_CHARGING = 8;
inline constexpr std::uint8_t BATTERY_FLAG_NO_BATTERY = 128;
inline constexpr std::uint8_t BATTERY_FLAG_UNKNOWN = 255;

struct SYSTEM_POWER_STATUS {
  std::uint8_t ACLineStatus = 255;
  std::uint8_t BatteryFlag = 255;
  std::uint8_t BatteryLifePercent = 255;
  std::uint8_t Reserved1 = 0;
  std::uint32_t BatteryLifeTime = 0xFFFFFFFF;
  std::uint32_t BatteryFullLifeTime = 0xFFFFFFFF;
};

class PowerStatusSource {
 public:
  virtual ~PowerStatusSource() = default;
  // Fills `status`; false when the system could not tell.
  virtual bool GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) = 0;
};

class ExecutionState {
 public:
  virtual ~ExecutionState() = default;
  // Returns the previous state, or 0 on failure, like the system call.
  virtual std::uint32_t SetThreadExecutionState(std::uint32_t esFlags) = 0;
};

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace murrelet
