#include "services/exit_win.h"

namespace murrelet {
namespace {

// Closes the process token once the request has been made.
class TokenGuard {
 public:
  TokenGuard(ShutdownPlatform& platform, TokenHandle token) : platform_(platform), token_(token) {}
  ~TokenGuard() { platform_.CloseToken(token_); }
  TokenGuard(const TokenGuard&) = delete;
  TokenGuard& operator=(const TokenGuard&) = delete;

 private:
  ShutdownPlatform& platform_;
  TokenHandle token_;
};

}  // namespace

bool TExitWin::IsWinNT() {
  OSVERSIONINFO info;
  info.dwOSVersionInfoSize = kOsVersionInfoSize;
  platform_.GetVersionEx(info);
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool TExitWin::ShutDownSystem() {
  if (IsWinNT()) return ShutDownNT();
  if (!platform_.ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, 0)) throw EExitError(kPowerOffMessage);
  return true;
}

bool TExitWin::ShutDownNT() {
  TokenHandle token = 0;
  if (!platform_.OpenProcessToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token)) throw EExitError(kTokenMessage);
  TokenGuard guard(platform_, token);

  TOKEN_PRIVILEGES privileges;
  if (!platform_.LookupPrivilegeValue("SeShutdownPrivilege", privileges.Luid)) return false;
  privileges.PrivilegeCount = 1;
  privileges.Attributes = SE_PRIVILEGE_ENABLED;

  const bool adjusted = platform_.AdjustTokenPrivileges(token, false, privileges);
  // A refused request gets the same message as a privilege that cannot be set.
  if (!adjusted || !platform_.ExitWindowsEx(EWX_SHUTDOWN, 0)) throw EExitError(kPrivilegeMessage);
  return true;
}

}  // namespace murrelet
