// The Windows program: the platform's adapters handed to the core, then the
// message loop until the main window is closed or Windows ends.
#include <string>
#include <string_view>
#include <vector>

#include "charging/application.h"
#include "charging/start_arguments.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/system_services.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_tapi.h"
#include "platform/win32/windows_api.h"

#include <shellapi.h>

namespace {

// The command line as the program's one reader sees it, without the program's
// name. A program without a console has nowhere to print a usage, a version or
// a refusal: whatever else it reads, it opens its window.
murrelet::StartArguments ReadCommandLine() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> narrow;
  for (int n = 1; words != nullptr && n < count; ++n) narrow.push_back(murrelet::win32::Narrow(words[n]));
  if (words != nullptr) LocalFree(words);
  const std::vector<std::string_view> arguments(narrow.begin(), narrow.end());
  return murrelet::ReadStartArguments(arguments);
}

}  // namespace

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
  forms.onMinimized = [&app] { app.MainWindowMinimized(); };
  desktop.tray.Connect([&app](const std::function<void()>& action) { app.Deliver(action); });
  // The log-in entry's start shows the window minimised.
  const auto startedBy = ReadCommandLine().bySession ? TApplication::StartedBy::Session : TApplication::StartedBy::User;
  // A second copy ends here, silently, with exit code 0.
  if (app.Start(startedBy) == TApplication::StartResult::SecondCopy) return 0;
  forms.RunMessageLoop();
  return 0;
}
