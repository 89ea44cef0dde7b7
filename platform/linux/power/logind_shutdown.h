// The shutdown calls over logind. The program takes the path of systems
// without per-process privileges: it asks logind to power off, and logind's
// own policy decides whether this user may.
#pragma once

#include <QDBusConnection>

#include "kit/shutdown_platform.h"

namespace murrelet::linux_platform {

class LogindShutdown : public ShutdownPlatform {
 public:
  explicit LogindShutdown(QDBusConnection systemBus) : bus_(std::move(systemBus)) {}

  bool GetVersionEx(OSVERSIONINFO& info) override;
  // The privilege calls belong to the other path and are never reached; they refuse.
  bool OpenProcessToken(std::uint32_t, TokenHandle& token) override;
  bool LookupPrivilegeValue(std::string_view, LUID&) override { return false; }
  bool AdjustTokenPrivileges(TokenHandle, bool, const TOKEN_PRIVILEGES&) override { return false; }
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  void CloseToken(TokenHandle) override {}

 private:
  QDBusConnection bus_;
};

}  // namespace murrelet::linux_platform
