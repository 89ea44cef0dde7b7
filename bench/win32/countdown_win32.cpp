// A timed run on the Win32 message loop with the program's real windows and
// timer host (run it under Wine). The line service, the store and the guard
// are simulated, so the run can start without a handset and beside a running
// copy of the program. Arguments: minutes and, for a quick check, seconds.
#include <cstdlib>
#include <functional>

#include "bench/countdown_probe.h"
#include "charging/application.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_store.h"
#include "platform/sim/sim_tapi.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/windows_api.h"

namespace {
std::function<void()> pending;  // the action of the one half-second wait
void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (pending) pending();
}
}  // namespace

int main(int argc, char** argv) {
  using namespace murrelet;
  using namespace murrelet::win32;
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 10;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;

  sim::SimTapi tapi;
  tapi.recordCalls = false;
  sim::SimLineDevice handset;
  handset.name = "KESTRA T48R";
  tapi.devices.push_back(handset);
  sim::SimStore store;
  auto& key = store.keys[SettingsKeyPath()];
  key["KestraName"] = std::string("KESTRA T48R");
  for (const char* name : {"ACPowerFlag", "BatteryPowerFlag", "SuspendDisable", "HourTimer", "MinTimer", "ShutDownFlag"}) {
    key[name] = std::uint32_t{0};
  }
  key["BatteryParcent"] = std::uint32_t{30};
  sim::SimLocks locks;
  // The windows, power, clock and task-bar progress are the program's own.
  Win32Desktop desktop;
  Platform platform = desktop.With(tapi, store, locks);
  Win32Forms& forms = desktop.forms;

  TApplication app(platform);
  forms.Connect([&app](const std::function<void()>& action) { app.Deliver(action); },
                [&app](Form& form) { app.CloseRequested(form); }, [&app] { app.WindowsEnding(); });
  if (app.Start() != TApplication::StartResult::Running) return 2;
  bench::CountdownProbe probe(
      *app.MainForm(), minutes, seconds,
      [&app](std::function<void()> action) {
        pending = [&app, action] { app.Deliver(action); };
        SetTimer(nullptr, 0, 500, RunPending);
      },
      [&forms] { forms.Quit(); });
  forms.RunMessageLoop();
  probe.Print("win32");
  app.WindowsEnding();
  return probe.Finished() ? 0 : 1;
}
