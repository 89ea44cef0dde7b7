#include "platform/linux/power/logind_shutdown.h"

#include "platform/linux/power/logind.h"

namespace murrelet::linux_platform {

bool LogindShutdown::GetVersionEx(OSVERSIONINFO& info) {
  if (info.dwOSVersionInfoSize < kOsVersionInfoSize) return false;
  info.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
  return true;
}

bool LogindShutdown::OpenProcessToken(std::uint32_t, TokenHandle& token) {
  token = 0;
  return false;
}

bool LogindShutdown::ExitWindowsEx(std::uint32_t flags, std::uint32_t /*reserved*/) {
  // Only a power-off is ever asked for; anything else is refused rather than guessed.
  if ((flags & (EWX_SHUTDOWN | EWX_POWEROFF)) == 0) return false;
  return RequestPowerOff(bus_);
}

}  // namespace murrelet::linux_platform
