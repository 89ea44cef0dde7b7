#include "platform/sim/sim_services.h"

#include <cstdio>

namespace murrelet::sim {
namespace {

std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

class SimHeldLock : public HeldLock {
 public:
  SimHeldLock(SimLocks& locks, std::string name) : locks_(locks), name_(std::move(name)) {}
  ~SimHeldLock() override { locks_.held.erase(name_); }

 private:
  SimLocks& locks_;
  std::string name_;
};

}  // namespace

bool SimPower::GetSystemPowerStatus(SYSTEM_POWER_STATUS& out) {
  ++calls;
  if (fail) return false;
  out = status;
  return true;
}

bool SimShutdown::GetVersionEx(OSVERSIONINFO& info) {
  info.dwPlatformId = nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
  calls.push_back({"GetVersionEx", {{"dwOSVersionInfoSize", std::to_string(info.dwOSVersionInfoSize)}}, true});
  return true;
}

bool SimShutdown::OpenProcessToken(std::uint32_t desiredAccess, TokenHandle& token) {
  if (tokenOk) {
    token = nextToken_++;
    openTokens.insert(token);
  }
  calls.push_back({"OpenProcessToken", {{"desiredAccess", std::to_string(desiredAccess)}}, tokenOk});
  return tokenOk;
}

bool SimShutdown::LookupPrivilegeValue(std::string_view privilegeName, LUID& luid) {
  if (lookupOk) luid = LUID{0x13, 0};
  calls.push_back({"LookupPrivilegeValue", {{"systemName", "null"}, {"name", Quoted(privilegeName)}}, lookupOk});
  return lookupOk;
}

bool SimShutdown::AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                                        const TOKEN_PRIVILEGES& newState) {
  const bool ok = adjustOk && openTokens.count(token) != 0;
  calls.push_back({"AdjustTokenPrivileges",
                   {{"token", std::to_string(token)},
                    {"disableAllPrivileges", disableAllPrivileges ? "true" : "false"},
                    {"privilegeCount", std::to_string(newState.PrivilegeCount)},
                    {"luid", std::to_string(newState.Luid.LowPart)},
                    {"attributes", std::to_string(newState.Attributes)},
                    {"bufferLength", "0"}},
                   ok});
  return ok;
}

bool SimShutdown::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  calls.push_back({"ExitWindowsEx", {{"flags", std::to_string(flags)}, {"reserved", std::to_string(reserved)}},
                   exitOk});
  if (exitOk) ++accepted;
  return exitOk;
}

void SimShutdown::CloseToken(TokenHandle token) {
  openTokens.erase(token);
  calls.push_back({"CloseHandle", {{"token", std::to_string(token)}}, true});
}

LockAttempt SimLocks::Acquire(std::string_view name) {
  if (unavailable) return {LockOutcome::Unavailable, nullptr};
  if (held.count(name) != 0) return {LockOutcome::HeldByAnotherCopy, nullptr};
  held.emplace(name);
  return {LockOutcome::Acquired, std::make_unique<SimHeldLock>(*this, std::string(name))};
}

TimeOfDay SimClock::Now() { return {secondsOfDay / 3600, secondsOfDay % 3600 / 60, secondsOfDay % 60}; }

void SimClock::FormatLongTime(const TimeOfDay& time, std::string& out) {
  char buffer[48];
  const int n = twelveHour ? std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", (time.hour + 11) % 12 + 1,
                                           time.minute, time.second, time.hour < 12 ? "AM" : "PM")
                           : std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", time.hour, time.minute, time.second);
  out.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace murrelet::sim
