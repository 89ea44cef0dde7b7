#include "platform/win32/shutdown_calls.h"

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

bool Win32Shutdown::GetVersionEx(OSVERSIONINFO& info) {
  // RtlGetVersion tells the truth whatever the manifest declares; the platform
  // family is all that is read.
  OSVERSIONINFOW native{};
  native.dwOSVersionInfoSize = sizeof(native);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto getVersion =
      ntdll ? reinterpret_cast<RtlGetVersionCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  if (getVersion == nullptr || getVersion(&native) != 0) return false;
  info.dwPlatformId = native.dwPlatformId;
  return true;
}

bool Win32Shutdown::OpenProcessToken(std::uint32_t desiredAccess, TokenHandle& token) {
  HANDLE handle = nullptr;
  if (!::OpenProcessToken(GetCurrentProcess(), desiredAccess, &handle)) return false;
  token = reinterpret_cast<TokenHandle>(handle);
  return true;
}

bool Win32Shutdown::LookupPrivilegeValue(std::string_view privilegeName, LUID& luid) {
  ::LUID native{};
  if (!LookupPrivilegeValueW(nullptr, Widen(privilegeName).c_str(), &native)) return false;
  luid.LowPart = native.LowPart;
  luid.HighPart = native.HighPart;
  return true;
}

bool Win32Shutdown::AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                                          const TOKEN_PRIVILEGES& newState) {
  ::TOKEN_PRIVILEGES native{};
  native.PrivilegeCount = newState.PrivilegeCount;
  native.Privileges[0].Luid.LowPart = newState.Luid.LowPart;
  native.Privileges[0].Luid.HighPart = newState.Luid.HighPart;
  native.Privileges[0].Attributes = newState.Attributes;
  return ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), disableAllPrivileges ? TRUE : FALSE, &native, 0,
                                 nullptr, nullptr) != FALSE;
}

bool Win32Shutdown::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  return ::ExitWindowsEx(flags, reserved) != FALSE;
}

void Win32Shutdown::CloseToken(TokenHandle token) {
  if (token != 0) CloseHandle(reinterpret_cast<HANDLE>(token));
}

}  // namespace murrelet::win32
