// The Windows program: the platform's adapters handed to the core, then the
// message loop until the main window is closed or Windows ends.
#include "charging/application.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/system_services.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_tapi.h"
#include "platform/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace murrelet;
  using namespace murrelet::win32;

  Win32Tapi tapi;
  RegistryStore store;
  Win32Mutexes mutexes;
  Win32Desktop desktop;
  Platform platform = desktop.With(tapi, store, mutexes);
  TApplication app(platform);
  Win32Forms& forms = desktop.forms;
  forms.Connect([&app](const std::function<void()>& action) { app.Deliver(action); },
                [&app](Form& form) { app.CloseRequested(form); }, [&app] { app.WindowsEnding(); });
  forms.sessionEndQueried = [&app] { app.SessionEndQueried(); };
  // A second copy ends here, silently, with exit code 0.
  if (app.Start() == TApplication::StartResult::SecondCopy) return 0;
  forms.RunMessageLoop();
  return 0;
}
