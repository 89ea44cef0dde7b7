// The shutdown request's system calls.
#pragma once

#include "kit/shutdown_platform.h"

namespace murrelet::win32 {

class Win32Shutdown : public ShutdownPlatform {
 public:
  bool GetVersionEx(OSVERSIONINFO& info) override;
  bool OpenProcessToken(std::uint32_t desiredAccess, TokenHandle& token) override;
  bool LookupPrivilegeValue(std::string_view privilegeName, LUID& luid) override;
  bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges, const TOKEN_PRIVILEGES& newState) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  void CloseToken(TokenHandle token) override;
};

}  // namespace murrelet::win32
