// On machines with Modern Standby (S0 low-power idle) Windows broadcasts no
// PBT_APMSUSPEND to top-level windows: only a window registered with
// RegisterSuspendResumeNotification hears that the system sleeps. The main
// window registers for as long as it hears power broadcasts. The call exists
// from Windows 8 on and is looked up at run time, so that older systems (and
// a Wine without it) still start; there the window hears the broadcast alone.
#pragma once

struct HWND__;

namespace murrelet::win32 {

// The calls' own types (HPOWERNOTIFY, HANDLE, DWORD and BOOL spelt out), so
// that this header needs no <windows.h>.
struct SuspendResumeCalls {
  using Register = void*(__stdcall*)(void* recipient, unsigned long flags);
  using Unregister = int(__stdcall*)(void* registration);
  Register registerNotification = nullptr;
  Unregister unregisterNotification = nullptr;
};

// The two calls from user32.dll, each null where the system lacks it.
SuspendResumeCalls LookUpSuspendResumeCalls();

// DEVICE_NOTIFY_WINDOW_HANDLE: the notices arrive as WM_POWERBROADCAST.
inline constexpr unsigned long kNotifyWindowHandle = 0;

class SuspendResumeRegistration {
 public:
  // Registers `window` when both calls exist; otherwise does nothing.
  SuspendResumeRegistration(HWND__* window, const SuspendResumeCalls& calls);
  ~SuspendResumeRegistration();  // unregisters
  SuspendResumeRegistration(const SuspendResumeRegistration&) = delete;
  SuspendResumeRegistration& operator=(const SuspendResumeRegistration&) = delete;

  bool Registered() const { return registration_ != nullptr; }

 private:
  SuspendResumeCalls calls_;
  void* registration_ = nullptr;
};

}  // namespace murrelet::win32
