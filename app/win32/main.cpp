// The Windows program: the platform's adapters handed to the core, then the
// message loop until the main window is closed or Windows ends.
#include "charging/application.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/shell_run_status.h"
#include "platform/win32/shutdown_calls.h"
#include "platform/win32/system_services.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_tapi.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace murrelet;
  using namespace murrelet::win32;

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  Win32Tapi tapi;
  Win32Power power;
  Win32Shutdown shutdown;
  RegistryStore store;
  Win32Mutexes mutexes;
  Win32Clock clock;
  Win32Forms forms(power);
  Win32MessageBoxes boxes([&forms] { return forms.BoxOwner(); });
  ShellRunStatus runStatus(forms.ApplicationHandle());
  Platform platform{tapi, power, power, power, shutdown, store, mutexes, clock, boxes, forms, runStatus};

  TApplication app(platform);
  forms.Connect([&app](const std::function<void()>& action) { app.Deliver(action); },
                [&app](Form& form) { app.CloseRequested(form); }, [&app] { app.WindowsEnding(); });
  // A second copy ends here, silently, with exit code 0.
  if (app.Start() == TApplication::StartResult::SecondCopy) return 0;
  forms.RunMessageLoop();
  return 0;
}
