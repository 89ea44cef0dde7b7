// The Linux program: the core over Qt Widgets, sysfs and the system's D-Bus
// services. Everything the platform hands to the program goes through
// TApplication::Deliver.
#include <QApplication>
#include <QDBusConnection>
#include <cstdio>
#include <string_view>
#include <vector>

#include "charging/application.h"
#include "charging/start_arguments.h"
#include "platform/linux/gui/art.h"
#include "platform/linux/gui/session_end.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/power/power_events.h"
#include "murrelet_version.h"

using namespace murrelet;
using namespace murrelet::linux_platform;

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const StartArguments start = ReadStartArguments(arguments);
  // Answered before any window, lock or bus connection.
  if (start.version && arguments.size() == 1) {
    std::printf("murrelet %s\n", MURRELET_VERSION);
    return 0;
  }
  // The window changes a few small labels once a second. Over shared memory
  // each repaint costs a completion event from the X server, which wakes the
  // X reader thread and then the GUI thread again: two wake-ups a second for
  // a few hundred bytes of pixels. Sent over the socket they cost none.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication qapp(argc, argv);
  // The program ends its loop itself when the main window is closed.
  QApplication::setQuitOnLastWindowClosed(false);
  QGuiApplication::setDesktopFileName(QStringLiteral("murrelet"));
  QApplication::setWindowIcon(ProgramIcon());

  const QDBusConnection systemBus = QDBusConnection::systemBus();
  LinuxPlatform sys(LinuxPaths::ForThisUser(), systemBus, QDBusConnection::sessionBus());
  TApplication app(sys.platform);

  PowerEvents power(systemBus, sys.power.UPower(), [&](std::uintptr_t code, std::intptr_t lParam) {
    sys.forms.Deliver([&] {
      TMainForm* main = app.MainForm();
      FormWindow* window = main != nullptr ? sys.forms.WindowOf(*main) : nullptr;
      if (window != nullptr) window->Send(WM_POWERBROADCAST, code, lParam);
    });
  });
  // What is held only during a run follows the core's word on the run: the
  // sleep delay lock from its start, and both it and the keep-awake locks
  // given back the moment it ends.
  sys.runStatus.onRunChanged = [&](bool charging) {
    power.RunStateIs(charging);
    if (!charging) sys.execution.RunEnded();
  };
  // The keep-awake locks also go after two ticks of a run that no longer asks.
  sys.forms.SetDelivery([&](const QtFormHost::Action& action) { app.Deliver(action); },
                        [&](bool tick) {
                          if (tick) sys.execution.TickEnded(sys.runStatus.Charging());
                        });
  sys.forms.onCloseRequest = [&](Form& form) { app.CloseRequested(form); };
  SessionEnd session([&] { app.WindowsEnding(); });
  QObject::connect(&qapp, &QCoreApplication::aboutToQuit, [&] {
    // Quitting that the program did not ask for comes from the session.
    if (app.Running()) app.WindowsEnding();
  });

  // The log-in entry's start shows the window minimised.
  const auto startedBy = start.bySession ? TApplication::StartedBy::Session : TApplication::StartedBy::User;
  if (app.Start(startedBy) == TApplication::StartResult::SecondCopy) return 0;
  if (!app.Running() || sys.forms.QuitRequested()) return 0;
  QApplication::exec();
  power.RunStateIs(false);
  return 0;
}
