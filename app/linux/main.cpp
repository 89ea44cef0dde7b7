// The Linux program: the core over Qt Widgets, sysfs and the system's D-Bus
// services. Everything the platform hands to the program goes through
// TApplication::Deliver.
#include <QApplication>
#include <QDBusConnection>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "charging/application.h"
#include "charging/start_arguments.h"
#include "platform/linux/gui/art.h"
#include "platform/linux/gui/display_check.h"
#include "platform/linux/gui/display_choice.h"
#include "platform/linux/gui/session_end.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/power/power_events.h"
#include "platform/linux/power/run_holds.h"
#include "murrelet_version.h"

using namespace murrelet;
using namespace murrelet::linux_platform;

int main(int argc, char** argv) {
  // The options are answered before any window, lock or bus connection.
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const StartArguments line = ReadStartArguments(args);
  switch (line.action) {
    case StartArguments::Action::PrintVersion: std::printf("murrelet %s\n", MURRELET_VERSION); return 0;
    case StartArguments::Action::PrintUsage:
      std::printf("%s\nThe window needs a display (DISPLAY or WAYLAND_DISPLAY). See murrelet(1).\n",
                  StartUsage().c_str());
      return 0;
    case StartArguments::Action::Refuse:
      std::fprintf(stderr, "murrelet: %s\nTry 'murrelet --help'.\n", line.complaint.c_str());
      return kExitRefusedArguments;
    case StartArguments::Action::OpenWindow: break;
  }
  const std::string missing =
      MissingDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
  if (!missing.empty()) {
    std::fprintf(stderr, "murrelet: no display: %s. Start it in a desktop session.\n", missing.c_str());
    return kExitNoDisplay;
  }
  // The window changes a few small labels once a second. Over shared memory
  // each repaint costs a completion event from the X server, which wakes the
  // X reader thread and then the GUI thread again: two wake-ups a second for
  // a few hundred bytes of pixels. Sent over the socket they cost none.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  // On GNOME and weston under Wayland the windows go through XWayland, whose
  // frames are the desktop's own (see display_choice.h).
  const std::string platform =
      PreferredQtPlatform(qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(),
                          !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"), !qEnvironmentVariableIsEmpty("DISPLAY"),
                          qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
  if (!platform.empty()) qputenv("QT_QPA_PLATFORM", platform.c_str());
  auto noDisplay = std::make_unique<NoDisplayGuard>();  // a display that is set but cannot be reached
  QApplication qapp(argc, argv);
  noDisplay.reset();
  // The program ends its loop itself when the main window is closed.
  QApplication::setQuitOnLastWindowClosed(false);
  QGuiApplication::setDesktopFileName(QStringLiteral("murrelet"));
  QApplication::setWindowIcon(ProgramIcon());

  const QDBusConnection systemBus = QDBusConnection::systemBus();
  LinuxPlatform sys(LinuxPaths::ForThisUser(), systemBus, QDBusConnection::sessionBus());
  TApplication app(sys.platform);

  PowerEvents power(systemBus, sys.power.UPowerChanges(), [&](std::uintptr_t code, std::intptr_t lParam) {
    sys.forms.Deliver([&] {
      TMainForm* main = app.MainForm();
      FormWindow* window = main != nullptr ? sys.forms.WindowOf(*main) : nullptr;
      if (window != nullptr) window->Send(WM_POWERBROADCAST, code, lParam);
    });
  });
  // What is held only during a run follows the core's word on the run: the
  // sleep delay lock from its start (asked again each tick while none is
  // held), and both it and the keep-awake locks given back the moment it ends.
  RunHolds holds(power, sys.execution);
  sys.runStatus.onRunChanged = [&](bool charging) { holds.RunChanged(charging); };
  // Whether a run is going is read from the main window, its one keeper.
  auto runGoing = [&] {
    const TMainForm* main = app.MainForm();
    return main != nullptr && main->Run.Charging;
  };
  sys.forms.SetDelivery([&](const QtFormHost::Action& action) { app.Deliver(action); },
                        [&](bool tick) {
                          if (!tick) return;
                          holds.TickEnded(runGoing());
                          sys.tray.TickEnded();
                        });
  sys.forms.onCloseRequest = [&](Form& form) { app.CloseRequested(form); };
  // Minimised behind the notification-area icon, the window leaves the task bar.
  sys.forms.onMinimize = [&](Form& form) {
    if (form.Role() == WindowRole::Main) app.MainWindowMinimized();
  };
  SessionEnd session([&] { app.SessionEndQueried(); }, [&] { app.WindowsEnding(); });
  QObject::connect(&qapp, &QCoreApplication::aboutToQuit, [&] {
    // Quitting that the program did not ask for comes from the session.
    if (app.Running()) app.WindowsEnding();
  });

  // The log-in entry's start shows the window minimised.
  const auto startedBy = line.bySession ? TApplication::StartedBy::Session : TApplication::StartedBy::User;
  if (app.Start(startedBy) == TApplication::StartResult::SecondCopy) return 0;
  if (!app.Running() || sys.forms.QuitRequested()) return 0;
  QApplication::exec();
  power.RunStateIs(false);
  return 0;
}
