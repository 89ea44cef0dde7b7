#include "platform/win32/suspend_resume_registration.h"

#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

SuspendResumeCalls LookUpSuspendResumeCalls() {
  SuspendResumeCalls calls;
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return calls;
  // GetProcAddress hands back a generic function pointer; these are the
  // calls' own types.
  calls.registerNotification = reinterpret_cast<SuspendResumeCalls::Register>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "RegisterSuspendResumeNotification")));
  calls.unregisterNotification = reinterpret_cast<SuspendResumeCalls::Unregister>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "UnregisterSuspendResumeNotification")));
  return calls;
}

SuspendResumeRegistration::SuspendResumeRegistration(HWND__* window, const SuspendResumeCalls& calls) : calls_(calls) {
  // A registration that could not be undone is not made.
  if (window == nullptr || calls_.registerNotification == nullptr || calls_.unregisterNotification == nullptr) return;
  registration_ = calls_.registerNotification(window, kNotifyWindowHandle);
}

SuspendResumeRegistration::~SuspendResumeRegistration() {
  if (registration_ != nullptr) calls_.unregisterNotification(registration_);
}

}  // namespace murrelet::win32
