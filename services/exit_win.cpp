#include "services/exit_win.h"

#include "kit/scope_exit.h"

namespace murrelet {

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
  // The token is closed once the request has been made, on every path.
  const ScopeExit closeToken([this, token] { platform_.CloseToken(token); });

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
