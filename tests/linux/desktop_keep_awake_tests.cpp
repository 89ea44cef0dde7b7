// The keep-awake signal against a desktop's real power manager on the session
// bus: GNOME's gnome-session, or KDE's powerdevil (or Xfce's
// xfce4-power-manager) for the org.freedesktop.PowerManagement interface.
// scripts/test-desktops and scripts/test-daemons start the desktop and name it
// in MURRELET_DESKTOP ("gnome", "kde" or "xfce"). A run goes over a handset on a pseudo-terminal; logind
// is python-dbusmock's, on a private system bus.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "charging/application.h"
#include "platform/linux/gui/qt_form_host.h"
#include "platform/linux/line/tty_tapi.h"
#include "platform/linux/power/keep_awake.h"
#include "platform/linux/system/desktop_run_status.h"
#include "platform/sim/sim_platform.h"
#include "fake_machine.h"
#include "private_bus.h"
#include "tests/stored_settings.h"

using namespace murrelet;
using namespace murrelet::linux_platform;
using murrelet::testing::FakeMachine;
using murrelet::testing::PrivateBus;
using murrelet::testing::WaitFor;

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");

bool Gnome() { return qgetenv("MURRELET_DESKTOP") == "gnome"; }
bool Kde() { return qgetenv("MURRELET_DESKTOP") == "kde"; }

QVariantList Ask(const QString& service, const QString& path, const QString& interface, const QString& method,
                 const QVariantList& args = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(args);
  const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
  return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments() : QVariantList{};
}

// Whether the desktop's power manager answers at all.
bool ManagerAnswers() {
  return !Ask(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
              QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"),
              {Gnome() ? QStringLiteral("org.gnome.SessionManager") : QStringLiteral("org.freedesktop.PowerManagement")})
              .isEmpty();
}

// Whether the desktop's power manager keeps suspend inhibited now.
bool SuspendInhibited() {
  const QVariantList reply =
      Gnome() ? Ask(QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
                    QStringLiteral("org.gnome.SessionManager"), QStringLiteral("IsInhibited"), {4u})
              : Ask(QStringLiteral("org.freedesktop.PowerManagement"),
                    QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                    QStringLiteral("org.freedesktop.PowerManagement.Inhibit"), QStringLiteral("HasInhibit"));
  return !reply.isEmpty() && reply.constFirst().toBool();
}

// KDE's power manager's inhibitions as it lists them: "application/reason".
// It enforces an inhibition a few seconds after the call, and lists it only then.
QStringList KdeInhibitions() {
  QStringList out;
  const QVariantList reply = Ask(QStringLiteral("org.kde.Solid.PowerManagement.PolicyAgent"),
                                 QStringLiteral("/org/kde/Solid/PowerManagement/PolicyAgent"),
                                 QStringLiteral("org.kde.Solid.PowerManagement.PolicyAgent"),
                                 QStringLiteral("ListInhibitions"));
  if (reply.isEmpty()) return out;
  const QDBusArgument arg = reply.constFirst().value<QDBusArgument>();
  arg.beginArray();
  while (!arg.atEnd()) {
    QString application, reason;
    arg.beginStructure();
    arg >> application >> reason;
    arg.endStructure();
    out << application + "/" + reason;
  }
  arg.endArray();
  return out;
}

// GNOME's inhibitors as "app id/flags".
QStringList GnomeInhibitors() {
  QStringList out;
  const QVariantList reply = Ask(QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
                                 QStringLiteral("org.gnome.SessionManager"), QStringLiteral("GetInhibitors"));
  if (reply.isEmpty()) return out;
  const QDBusArgument arg = reply.constFirst().value<QDBusArgument>();
  arg.beginArray();
  while (!arg.atEnd()) {
    QDBusObjectPath path;
    arg >> path;
    const QString inhibitor = QStringLiteral("org.gnome.SessionManager.Inhibitor");
    const QVariantList app = Ask(QStringLiteral("org.gnome.SessionManager"), path.path(), inhibitor,
                                 QStringLiteral("GetAppId"));
    const QVariantList flags = Ask(QStringLiteral("org.gnome.SessionManager"), path.path(), inhibitor,
                                   QStringLiteral("GetFlags"));
    if (!app.isEmpty() && !flags.isEmpty()) out << app.constFirst().toString() + "/" + flags.constFirst().toString();
  }
  arg.endArray();
  return out;
}

// The program as app/linux/main.cpp puts it together, with the handset's line
// on a pseudo-terminal and the rest of the computer simulated.
struct ProgramOnDesktop {
  explicit ProgramOnDesktop(const QDBusConnection& systemBus)
      : tapi(machine.Sys(), machine.Dev()),
        awake(systemBus, QDBusConnection::sessionBus(), /*sandboxed=*/false),
        runStatus(QDBusConnection::sessionBus()) {
    machine.AddTty("ttyACM0", "KESTRA T48R");
    murrelet::testing::StoreSettings(sim.store);  // keep-awake on
    runStatus.onRunChanged = [this](bool charging) {
      if (!charging) awake.RunEnded();
    };
    forms.SetDelivery([this](const QtFormHost::Action& action) { app.Deliver(action); },
                      [this](bool tick) {
                        if (tick) awake.TickEnded(app.MainForm() != nullptr && app.MainForm()->Run.Charging);
                      });
    forms.onCloseRequest = [this](Form& form) { app.CloseRequested(form); };
  }
  ~ProgramOnDesktop() { app.WindowsEnding(); }

  void Tick() { forms.Deliver([this] { app.MainForm()->Timer1.Fire(); }, true); }
  void Press(const char* button) {
    qobject_cast<QPushButton*>(forms.WindowOf(*app.MainForm())->ObjectOf(button))->click();
  }
  // Started, with one tick of the run behind it.
  bool StartRun() {
    app.Start();
    Tick();  // finds the handset
    Press("SpeedButton2");
    Tick();
    return app.MainForm()->Run.Charging;
  }

  FakeMachine machine;
  sim::SimPlatform sim;
  TtyTapi tapi;
  KeepAwake awake;
  DesktopRunStatus runStatus;
  QtFormHost forms;
  Platform platform{tapi,      sim.power, awake, sim.sleeper, sim.shutdown, sim.store, sim.locks, sim.clock,
                    sim.boxes, forms, runStatus, sim.sessionStart};
  TApplication app{platform};
};

// The holder of the kill test: charges until killed.
constexpr const char* kHoldEnv = "MURRELET_HOLD_UNTIL_KILLED";

}  // namespace

TEST(DesktopKeepAwake, ARunHoldsTheSessionManagersSuspendLockAndItsEndGivesItBack) {
  ASSERT_TRUE(ManagerAnswers());
  PrivateBus system;
  ASSERT_TRUE(system.StartTemplate(QStringLiteral("logind"), kLogin));
  ASSERT_FALSE(SuspendInhibited()) << "the desktop starts with nothing inhibited";
  ProgramOnDesktop program(system.Connection());
  ASSERT_TRUE(program.StartRun());
  EXPECT_TRUE(WaitFor([&] { return program.awake.HoldsSessionInhibit(); }));
  if (Kde()) {
    // powerdevil puts an inhibition into force (and lists it) about five
    // seconds after the call: the run is held that long.
    EXPECT_TRUE(WaitFor([] { return KdeInhibitions() == QStringList{"murrelet/Charging the handset"}; }, 10000))
        << KdeInhibitions().join(',').toStdString();
  }
  EXPECT_TRUE(SuspendInhibited());
  if (Gnome()) {
    EXPECT_EQ(GnomeInhibitors(), QStringList{"murrelet/4"}) << "suspend only: the screen may blank";
  }
  // The session's own manager answered: no logind idle block, which would
  // keep some desktops' screens from blanking.
  EXPECT_TRUE(LogindInhibitors(system).isEmpty());
  program.Tick();
  EXPECT_TRUE(SuspendInhibited());

  program.Press("SpeedButton3");  // stop
  EXPECT_FALSE(program.app.MainForm()->Run.Charging);
  EXPECT_FALSE(program.awake.HoldsSessionInhibit());
  EXPECT_TRUE(WaitFor([] { return !SuspendInhibited(); }, 5000));
  EXPECT_TRUE(ManagerAnswers()) << "the manager is still there after the lock went back";
  if (Gnome()) {
    EXPECT_TRUE(GnomeInhibitors().isEmpty());
  }
  if (Kde()) {
    EXPECT_TRUE(WaitFor([] { return KdeInhibitions().isEmpty(); }, 10000));
  }
}

TEST(DesktopKeepAwake, AProgramKilledDuringARunLeavesNoLockBehind) {
  QProcess holder;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QString::fromLatin1(kHoldEnv), QStringLiteral("1"));
  holder.setProcessEnvironment(env);
  holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  holder.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=DesktopKeepAwake.HolderChargesUntilKilled")});
  ASSERT_TRUE(holder.waitForStarted(5000));
  QByteArray said;
  ASSERT_TRUE(WaitFor(
      [&] {
        said += holder.readAllStandardOutput();
        return said.contains("charging\n");
      },
      20000))
      << said.toStdString();
  if (Kde()) {
    EXPECT_TRUE(WaitFor([] { return !KdeInhibitions().isEmpty(); }, 10000)) << "in force before the kill";
  }
  EXPECT_TRUE(SuspendInhibited());
  ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
  ASSERT_TRUE(holder.waitForFinished(5000));
  // The holder's fake machine, which its own end never removed.
  said += holder.readAllStandardOutput();
  const qsizetype at = said.indexOf("machine ");
  if (at >= 0) {
    const QByteArray root = said.mid(at + 8, said.indexOf('\n', at) - at - 8);
    if (root.startsWith("/tmp/murrelet-line-")) std::filesystem::remove_all(root.toStdString());
  }
  // The manager drops a cookie whose holder has left the bus.
  EXPECT_TRUE(WaitFor([] { return !SuspendInhibited(); }, 5000));
  if (Gnome()) {
    EXPECT_TRUE(GnomeInhibitors().isEmpty());
  }
  if (Kde()) {
    EXPECT_TRUE(WaitFor([] { return KdeInhibitions().isEmpty(); }, 10000));
  }
  EXPECT_TRUE(ManagerAnswers());
}

TEST(DesktopKeepAwake, HolderChargesUntilKilled) {
  if (qEnvironmentVariableIsEmpty(kHoldEnv)) GTEST_SKIP() << "started by the kill test only";
  // No system bus: a private one would outlive the kill.
  ProgramOnDesktop program(QDBusConnection(QStringLiteral("no system bus")));
  ASSERT_TRUE(program.StartRun());
  ASSERT_TRUE(WaitFor([&] { return program.awake.HoldsSessionInhibit(); }));
  std::printf("machine %s\ncharging\n", program.machine.Root().c_str());
  std::fflush(stdout);
  WaitFor([] { return false; }, 60000);  // killed long before
}

