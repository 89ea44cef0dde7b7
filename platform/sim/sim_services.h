// Simulated power, keep-awake, waiting, shutdown calls, named locks and clock.
// Each records what the program asked of it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "kit/clock.h"
#include "kit/named_lock.h"
#include "kit/power.h"
#include "kit/shutdown_platform.h"

namespace murrelet::sim {

class SimPower : public PowerStatusSource {
 public:
  bool GetSystemPowerStatus(SYSTEM_POWER_STATUS& out) override;
  // A notebook on AC power with a battery between low and high.
  SYSTEM_POWER_STATUS status{1, 0, 80, 0, 0xFFFFFFFF, 0xFFFFFFFF};
  bool fail = false;
  std::int64_t calls = 0;
};

class SimExecution : public ExecutionState {
 public:
  std::uint32_t SetThreadExecutionState(std::uint32_t esFlags) override {
    values.push_back(esFlags);
    return 0x80000000u;
  }
  std::vector<std::uint32_t> values;
};

class SimSleeper : public Sleeper {
 public:
  void Sleep(std::uint32_t milliseconds) override { waits.push_back(milliseconds); }
  std::vector<std::uint32_t> waits;
};

struct ShutdownCall {
  std::string op;
  std::vector<std::pair<std::string, std::string>> args;  // values already in JSON
  bool result = false;
};

class SimShutdown : public ShutdownPlatform {
 public:
  bool GetVersionEx(OSVERSIONINFO& info) override;
  bool OpenProcessToken(std::uint32_t desiredAccess, TokenHandle& token) override;
  bool LookupPrivilegeValue(std::string_view privilegeName, LUID& luid) override;
  bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges, const TOKEN_PRIVILEGES& newState) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  void CloseToken(TokenHandle token) override;

  bool nt = true;
  bool tokenOk = true, lookupOk = true, adjustOk = true, exitOk = true;
  std::vector<ShutdownCall> calls;
  std::set<TokenHandle> openTokens;
  int accepted = 0;  // shutdown requests the system took

 private:
  TokenHandle nextToken_ = 0x40;
};

// Names held by the copies running on this simulated desktop.
class SimLocks : public NamedLocks {
 public:
  LockAttempt Acquire(std::string_view name) override;
  bool unavailable = false;
  std::set<std::string, std::less<>> held;
};

class SimClock : public Clock {
 public:
  TimeOfDay Now() override;
  // "H:mm:ss", the long time format of a Japanese desktop; with `twelveHour`
  // "h:mm:ss AM", an English (United States) one.
  void FormatLongTime(const TimeOfDay& time, std::string& out) override;
  void Advance() { secondsOfDay = (secondsOfDay + 1) % 86400; }
  int secondsOfDay = 12 * 3600;
  bool twelveHour = false;
};

}  // namespace murrelet::sim
