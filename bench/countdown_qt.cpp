// A timed run on the Qt event loop with the program's real windows and timer
// host (run it with QT_QPA_PLATFORM=offscreen). Arguments: minutes (10, 20 ...)
// and, for a quick check, seconds to cut the run to.
#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "bench/countdown_probe.h"
#include "charging/application.h"
#include "charging/settings_key.h"
#include "platform/linux/gui/qt_form_host.h"
#include "platform/sim/sim_platform.h"

using namespace murrelet;

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 10;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;

  sim::SimPlatform sim;
  sim.tapi.recordCalls = false;
  sim::SimLineDevice handset;
  handset.name = "KESTRA T48R";
  sim.tapi.devices.push_back(handset);
  auto& key = sim.store.keys[SettingsKeyPath()];
  key["KestraName"] = std::string("KESTRA T48R");
  for (const char* name : {"ACPowerFlag", "BatteryPowerFlag", "SuspendDisable", "HourTimer", "MinTimer", "ShutDownFlag"}) {
    key[name] = std::uint32_t{0};
  }
  key["BatteryParcent"] = std::uint32_t{30};

  linux_platform::QtFormHost forms;
  Platform platform{sim.tapi, sim.power, sim.execution, sim.sleeper, sim.shutdown, sim.store,
                    sim.locks, sim.clock, sim.boxes, forms, sim.runStatus, sim.sessionStart};
  TApplication app(platform);
  forms.SetDelivery([&](const linux_platform::QtFormHost::Action& action) { app.Deliver(action); }, nullptr);
  if (app.Start() != TApplication::StartResult::Running) return 2;

  bench::CountdownProbe probe(
      *app.MainForm(), minutes, seconds,
      [&](std::function<void()> action) {
        QTimer::singleShot(500, Qt::PreciseTimer, [&forms, action] { forms.Deliver(action); });
      },
      [] { QTimer::singleShot(0, [] { QCoreApplication::exit(0); }); });
  QApplication::exec();
  probe.Print("qt");
  app.WindowsEnding();
  return probe.Finished() ? 0 : 1;
}
