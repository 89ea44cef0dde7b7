// The operating-system calls of a shutdown request, one method each.
#pragma once

#include <cstdint>
#include <string_view>

namespace murrelet {

inline constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;
inline constexpr std::uint32_t TOKEN_ADJUST_PRIVILEGES = 0x20;
inline constexpr std::uint32_t TOKEN_QUERY = 0x08;
inline constexpr std::uint32_t SE_PRIVILEGE_ENABLED = 2;
inline constexpr std::uint32_t EWX_SHUTDOWN = 1;
inline constexpr std::uint32_t EWX_POWEROFF = 8;
inline constexpr std::uint32_t kOsVersionInfoSize = 148;

struct OSVERSIONINFO {
  std::uint32_t dwOSVersionInfoSize = 0;
  std::uint32_t dwPlatformId = 0;
};

struct LUID {
  std::uint32_t LowPart = 0;
  std::int32_t HighPart = 0;
};

struct TOKEN_PRIVILEGES {
  std::uint32_t PrivilegeCount = 0;
  LUID Luid;
  std::uint32_t Attributes = 0;
};

using TokenHandle = std::uintptr_t;

class ShutdownPlatform {
 public:
  virtual ~ShutdownPlatform() = default;
  // Each returns the system call's success (non-zero) as true.
  virtual bool GetVersionEx(OSVERSIONINFO& info) = 0;
  virtual bool OpenProcessToken(std::uint32_t desiredAccess, TokenHandle& token) = 0;
  virtual bool LookupPrivilegeValue(std::string_view privilegeName, LUID& luid) = 0;
  virtual bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                                     const TOKEN_PRIVILEGES& newState) = 0;
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) = 0;
  virtual void CloseToken(TokenHandle token) = 0;
};

}  // namespace murrelet
