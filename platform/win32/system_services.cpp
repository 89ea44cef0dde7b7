#include "platform/win32/system_services.h"

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

bool Win32Power::GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) {
  ::SYSTEM_POWER_STATUS native{};
  if (!::GetSystemPowerStatus(&native)) return false;
  status.ACLineStatus = native.ACLineStatus;
  status.BatteryFlag = native.BatteryFlag;
  status.BatteryLifePercent = native.BatteryLifePercent;
  status.Reserved1 = native.Reserved1;
  status.BatteryLifeTime = native.BatteryLifeTime;
  status.BatteryFullLifeTime = native.BatteryFullLifeTime;
  return true;
}

std::uint32_t Win32Power::SetThreadExecutionState(std::uint32_t esFlags) {
  return ::SetThreadExecutionState(static_cast<EXECUTION_STATE>(esFlags));
}

void Win32Power::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

TimeOfDay Win32Clock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond};
}

void Win32Clock::FormatLongTime(const TimeOfDay& time, std::string& out) {
  SYSTEMTIME at{};
  at.wYear = 2000;
  at.wMonth = 1;
  at.wDay = 1;
  at.wHour = static_cast<WORD>(time.hour);
  at.wMinute = static_cast<WORD>(time.minute);
  at.wSecond = static_cast<WORD>(time.second);
  wchar_t text[80];
  const int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &at, nullptr, text, 80);
  if (length <= 1) {
    out.clear();
    return;
  }
  Narrow(std::wstring_view(text, static_cast<std::size_t>(length - 1)), out);
}

namespace {

class HeldMutex : public HeldLock {
 public:
  explicit HeldMutex(HANDLE mutex) : mutex_(mutex) {}
  ~HeldMutex() override { CloseHandle(mutex_); }
  HeldMutex(const HeldMutex&) = delete;
  HeldMutex& operator=(const HeldMutex&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace

LockAttempt Win32Mutexes::Acquire(std::string_view name) {
  // Creating and looking at ERROR_ALREADY_EXISTS is one step: two copies
  // started together cannot both see the name free.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
  const DWORD error = GetLastError();
  if (mutex == nullptr) {
    // A copy of another user or integrity level holds the name.
    if (error == ERROR_ACCESS_DENIED) return {LockOutcome::HeldByAnotherCopy, nullptr};
    return {LockOutcome::Unavailable, nullptr};
  }
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return {LockOutcome::HeldByAnotherCopy, nullptr};
  }
  return {LockOutcome::Acquired, std::make_unique<HeldMutex>(mutex)};
}

void Win32MessageBoxes::Show(BoxKind kind, std::string_view caption, std::string_view text) {
  HWND owner = owner_ ? static_cast<HWND>(owner_()) : nullptr;
  const UINT icon = kind == BoxKind::Error ? MB_ICONERROR : MB_ICONINFORMATION;
  MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | icon);
}

}  // namespace murrelet::win32
