// The D-Bus adapters against python-dbusmock's UPower and logind on a private bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

#include "kit/power.h"
#include "platform/linux/power/keep_awake.h"
#include "platform/linux/power/linux_power_status.h"
#include "platform/linux/power/power_events.h"
#include "platform/linux/power/run_holds.h"
#include "platform/linux/power/upower_client.h"
#include "platform/linux/power/logind_shutdown.h"
#include "private_bus.h"

using namespace murrelet;
using namespace murrelet::linux_platform;
using murrelet::testing::PrivateBus;
using murrelet::testing::WaitFor;

namespace {

const QString kUPower = QStringLiteral("org.freedesktop.UPower");
const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kDisplay = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");

QVariant V(const QVariant& value) { return QVariant::fromValue(QDBusVariant(value)); }

bool SetDisplay(PrivateBus& bus, const QVariantMap& properties) {
  return bus
      .Call(kUPower, QStringLiteral("/org/freedesktop/UPower"), kMock, QStringLiteral("SetDeviceProperties"),
            {QVariant::fromValue(QDBusObjectPath(kDisplay)), properties})
      .has_value();
}

bool SetOnBattery(PrivateBus& bus, bool onBattery) {
  return bus
      .Call(kUPower, QStringLiteral("/org/freedesktop/UPower"), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Set"), {kUPower, QStringLiteral("OnBattery"), V(onBattery)})
      .has_value();
}

bool EmitPrepareForSleep(PrivateBus& bus, bool starting) {
  return bus
      .Call(kLogin, QStringLiteral("/org/freedesktop/login1"), kMock, QStringLiteral("EmitSignal"),
            {QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), QStringLiteral("b"),
             QVariantList{V(starting)}})
      .has_value();
}

struct Broadcast {
  std::uintptr_t code;
  std::intptr_t lParam;
};

// Every question the keep-awake sent has had its answer.
bool Answered(const KeepAwake& awake) { return WaitFor([&] { return !awake.Asking(); }); }

}  // namespace

TEST(UPowerStatus, ReadsTheDaemonAndFallsBackToSysfs) {
  PrivateBus bus;
  ASSERT_TRUE(bus.Ok());
  const std::filesystem::path noSysfs = "/nonexistent-murrelet-sysfs";
  LinuxPowerStatus status(bus.Connection(), noSysfs);
  SYSTEM_POWER_STATUS s;
  EXPECT_FALSE(status.GetSystemPowerStatus(s)) << "neither UPower nor sysfs";

  // UPower appears on the bus, then reports changes: each is in the next
  // reading once its signal has arrived.
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("upower"), kUPower));
  ASSERT_TRUE(SetDisplay(bus, {{"Type", QVariant(2u)},
                               {"IsPresent", QVariant(true)},
                               {"Percentage", QVariant(42.0)},
                               {"State", QVariant(2u)},
                               {"WarningLevel", QVariant(1u)},
                               {"TimeToEmpty", QVariant(qlonglong(3600))}}));
  ASSERT_TRUE(SetOnBattery(bus, true));
  ASSERT_TRUE(WaitFor([&] { return status.GetSystemPowerStatus(s) && s.ACLineStatus == 0; }));
  EXPECT_EQ(s.BatteryFlag, 0);
  EXPECT_EQ(s.BatteryLifePercent, 42);
  EXPECT_EQ(s.BatteryLifeTime, 3600u);

  ASSERT_TRUE(SetOnBattery(bus, false));
  ASSERT_TRUE(SetDisplay(bus, {{"State", QVariant(1u)}, {"Percentage", QVariant(90.0)}}));
  ASSERT_TRUE(WaitFor([&] { return status.GetSystemPowerStatus(s) && s.BatteryLifePercent == 90; }));
  EXPECT_EQ(s.ACLineStatus, 1);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING);
}

TEST(UPowerStatus, AnIdleSecondAsksTheBusNothingAndAReportedChangeIsAskedOnce) {
  PrivateBus bus;
  QTemporaryDir dir;
  const QString log = dir.filePath(QStringLiteral("upower.log"));
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("upower"), kUPower, log));
  ASSERT_TRUE(SetDisplay(bus, {{"Type", QVariant(2u)}, {"IsPresent", QVariant(true)}, {"Percentage", QVariant(60.0)}}));
  const auto questions = [&] {
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(file.readAll().count("GetAll /org/freedesktop/UPower"));
  };
  LinuxPowerStatus status(bus.Connection(), "/nonexistent-murrelet-sysfs");
  SYSTEM_POWER_STATUS s;
  ASSERT_TRUE(WaitFor([&] { return status.GetSystemPowerStatus(s) && s.BatteryLifePercent == 60; }));
  const int first = questions();
  EXPECT_EQ(first, 2) << "the daemon and its display device, once";
  for (int second = 0; second < 5; ++second) {
    QCoreApplication::processEvents();
    ASSERT_TRUE(status.GetSystemPowerStatus(s));
  }
  EXPECT_EQ(questions(), first) << "nothing changed, nothing asked";

  ASSERT_TRUE(SetDisplay(bus, {{"Percentage", QVariant(59.0)}}));
  ASSERT_TRUE(WaitFor([&] { return status.GetSystemPowerStatus(s) && s.BatteryLifePercent == 59; }));
  for (int second = 0; second < 5; ++second) ASSERT_TRUE(status.GetSystemPowerStatus(s));
  EXPECT_EQ(questions(), first + 2);
}

TEST(PowerEvents, DaemonSignalsBecomeBroadcasts) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("upower"), kUPower));
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  ASSERT_TRUE(SetDisplay(bus, {{"Type", QVariant(2u)}, {"IsPresent", QVariant(true)}, {"Percentage", QVariant(50.0)}, {"WarningLevel", QVariant(1u)}}));
  std::vector<Broadcast> seen;
  UPowerCache upower(bus.Connection());
  PowerEvents events(bus.Connection(), upower,
                     [&](std::uintptr_t code, std::intptr_t lParam) { seen.push_back({code, lParam}); });
  auto count = [&](std::uintptr_t code) {
    return std::count_if(seen.begin(), seen.end(), [code](const Broadcast& b) { return b.code == code; });
  };

  ASSERT_TRUE(SetOnBattery(bus, true));
  ASSERT_TRUE(WaitFor([&] { return count(PBT_APMPOWERSTATUSCHANGE) >= 1; }));
  EXPECT_EQ(count(PBT_APMBATTERYLOW), 0);

  ASSERT_TRUE(SetDisplay(bus, {{"WarningLevel", QVariant(3u)}}));
  ASSERT_TRUE(WaitFor([&] { return count(PBT_APMBATTERYLOW) == 1; }));
  ASSERT_TRUE(SetDisplay(bus, {{"WarningLevel", QVariant(3u)}, {"Percentage", QVariant(9.0)}}));  // still low: no new report
  ASSERT_TRUE(SetDisplay(bus, {{"WarningLevel", QVariant(4u)}}));                         // critical: a new crossing
  ASSERT_TRUE(WaitFor([&] { return count(PBT_APMBATTERYLOW) == 2; }));
  ASSERT_TRUE(SetDisplay(bus, {{"WarningLevel", QVariant(1u)}}));
  ASSERT_TRUE(SetDisplay(bus, {{"WarningLevel", QVariant(3u)}}));  // back down and up again
  ASSERT_TRUE(WaitFor([&] { return count(PBT_APMBATTERYLOW) == 3; }));

  seen.clear();
  ASSERT_TRUE(EmitPrepareForSleep(bus, true));
  ASSERT_TRUE(WaitFor([&] { return !seen.empty(); }));
  EXPECT_EQ(seen[0].code, PBT_APMQUERYSUSPEND);
  EXPECT_EQ(seen[0].lParam, 0) << "logind's suspend cannot be refused";
  ASSERT_TRUE(EmitPrepareForSleep(bus, false));
  ASSERT_TRUE(WaitFor([&] { return count(PBT_APMRESUMESUSPEND) == 1; }));
}

// A broadcast for a change UPower reported reads the changed state: the
// display and the AC-only rule see it at once, not a second later.
TEST(PowerEvents, AReadingInsideTheBroadcastSeesTheChange) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("upower"), kUPower));
  ASSERT_TRUE(SetDisplay(bus, {{"Type", QVariant(2u)}, {"IsPresent", QVariant(true)}, {"Percentage", QVariant(50.0)}}));
  LinuxPowerStatus status(bus.Connection(), "/nonexistent-murrelet-sysfs");
  ASSERT_TRUE(status.UPower().has_value());
  ASSERT_EQ(status.UPower()->onBattery, false);
  std::vector<bool> onBatteryInside;
  PowerEvents events(bus.Connection(), status.UPowerChanges(), [&](std::uintptr_t code, std::intptr_t) {
    if (code == PBT_APMPOWERSTATUSCHANGE) onBatteryInside.push_back(status.UPower().value_or(UPowerReading{}).onBattery.value_or(false));
  });
  ASSERT_TRUE(SetOnBattery(bus, true));
  ASSERT_TRUE(WaitFor([&] { return !onBatteryInside.empty(); }));
  EXPECT_TRUE(onBatteryInside.front()) << "the broadcast read the state before the change";
}

TEST(PowerEvents, ARunHoldsASleepDelayUntilItEnds) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  UPowerCache upower(bus.Connection());
  PowerEvents events(bus.Connection(), upower, [](std::uintptr_t, std::intptr_t) {});
  EXPECT_TRUE(LogindInhibitors(bus).isEmpty());
  events.RunStateIs(true);
  EXPECT_TRUE(WaitFor([&] { return events.HoldsSleepDelay(); }));
  EXPECT_EQ(LogindInhibitors(bus), QStringList{"sleep/delay"});
  events.RunStateIs(true);  // still one
  EXPECT_EQ(LogindInhibitors(bus).size(), 1);
  events.RunStateIs(false);
  EXPECT_FALSE(events.HoldsSleepDelay());
  EXPECT_TRUE(WaitFor([&] { return LogindInhibitors(bus).isEmpty(); })) << "the lock's fd was closed";
}

// logind refuses the run's first request for the sleep delay; the next tick
// of the run asks again, and the run holds it from then on.
TEST(RunHolds, ASleepDelayRefusedAtTheStartIsAskedForAgainOnTheNextTick) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral(MURRELET_LOGIND_REFUSES_ONCE_TEMPLATE), kLogin));
  UPowerCache upower(bus.Connection());
  PowerEvents events(bus.Connection(), upower, [](std::uintptr_t, std::intptr_t) {});
  KeepAwake awake(bus.Connection(), bus.Connection());
  RunHolds holds(events, awake);
  holds.TickEnded(false);
  EXPECT_FALSE(events.HoldsSleepDelay()) << "an idle tick takes nothing";
  holds.RunChanged(true);
  ASSERT_TRUE(WaitFor([&] { return !events.AskingSleepDelay(); }));
  ASSERT_FALSE(events.HoldsSleepDelay()) << "refused once";
  holds.TickEnded(true);
  EXPECT_TRUE(WaitFor([&] { return events.HoldsSleepDelay(); }));
  EXPECT_EQ(LogindInhibitors(bus), QStringList{"sleep/delay"});
  holds.TickEnded(true);
  EXPECT_EQ(LogindInhibitors(bus).size(), 1) << "held, not asked again";
  holds.RunChanged(false);
  EXPECT_FALSE(events.HoldsSleepDelay());
  EXPECT_TRUE(WaitFor([&] { return LogindInhibitors(bus).isEmpty(); }));
  holds.TickEnded(false);
  EXPECT_FALSE(events.HoldsSleepDelay());
}

TEST(KeepAwake, HoldsAnIdleInhibitorWhileAskedAndNeverLeavesOneBehind) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  {
    KeepAwake awake(bus.Connection(), bus.Connection());
    EXPECT_NE(awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
    EXPECT_TRUE(WaitFor([&] { return awake.HoldsIdleInhibitor(); }));
    EXPECT_EQ(LogindInhibitors(bus), QStringList{"idle/block"});
    awake.TickEnded(true);
    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    awake.TickEnded(true);
    EXPECT_EQ(LogindInhibitors(bus).size(), 1);
    // The core stops asking: two quiet ticks and it is gone.
    awake.TickEnded(true);
    awake.TickEnded(true);
    EXPECT_FALSE(awake.HoldsIdleInhibitor());
    EXPECT_TRUE(WaitFor([&] { return LogindInhibitors(bus).isEmpty(); }));

    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    EXPECT_TRUE(WaitFor([&] { return LogindInhibitors(bus).size() == 1; }));
  }
  // Destroyed while holding: released.
  EXPECT_TRUE(WaitFor([&] { return LogindInhibitors(bus).isEmpty(); }));

  KeepAwake without(QDBusConnection(QStringLiteral("nothing")), QDBusConnection(QStringLiteral("nothing")));
  EXPECT_EQ(without.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u) << "no lock could be taken";
}

TEST(KeepAwake, WhereADesktopPortalRunsAlsoHoldsItsSuspendInhibitionAndClosesItsRequest) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral(MURRELET_PORTAL_TEMPLATE), kPortal));
  const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/murrelet");
  {
    // No logind on this bus: the portal alone keeps the system awake.
    KeepAwake awake(bus.Connection(), bus.Connection());
    EXPECT_NE(awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
    ASSERT_TRUE(Answered(awake));
    EXPECT_FALSE(awake.HoldsIdleInhibitor());
    EXPECT_TRUE(awake.HoldsPortalInhibit());
    const auto inhibits = bus.MethodCalls(kPortal, kPortalPath, QStringLiteral("Inhibit"));
    ASSERT_EQ(inhibits.size(), 1);
    ASSERT_EQ(inhibits.constFirst().size(), 3);
    EXPECT_EQ(inhibits.constFirst().at(1).toUInt(), 4u) << "the suspend flag only";

    awake.TickEnded(true);
    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    awake.TickEnded(true);
    EXPECT_EQ(bus.MethodCalls(kPortal, kPortalPath, QStringLiteral("Inhibit")).size(), 1) << "asked once while held";

    // The core stops asking: two quiet ticks and the request is closed.
    awake.TickEnded(true);
    awake.TickEnded(true);
    EXPECT_FALSE(awake.HoldsPortalInhibit());
    EXPECT_TRUE(WaitFor([&] { return bus.MethodCalls(kPortal, request, QStringLiteral("Close")).size() == 1; }));

    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    EXPECT_TRUE(WaitFor([&] { return awake.HoldsPortalInhibit(); }));
  }
  EXPECT_TRUE(WaitFor([&] { return bus.MethodCalls(kPortal, request, QStringLiteral("Close")).size() == 2; }))
      << "closed when destroyed holding";

  // A portal that refuses leaves nothing held and the call reports the failure.
  ASSERT_TRUE(bus.Call(kPortal, kPortalPath, kMock, QStringLiteral("AddMethod"),
                       {QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"),
                        QStringLiteral("sua{sv}"), QStringLiteral("o"),
                        QStringLiteral("raise dbus.exceptions.DBusException('refused', "
                                       "name='org.freedesktop.DBus.Error.AccessDenied')")}));
  KeepAwake refused(bus.Connection(), bus.Connection());
  refused.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
  ASSERT_TRUE(Answered(refused));
  EXPECT_FALSE(refused.HoldsPortalInhibit());
}

TEST(KeepAwake, WhereOrgFreedesktopPowerManagementAnswersItsCookieAloneKeepsTheComputerAwake) {
  // KDE Plasma's and Xfce's interface; Xfce's real daemon aborts here when
  // its last inhibitor goes (no DPMS on Xvfb), so it stands in.
  const QString pm = QStringLiteral("org.freedesktop.PowerManagement");
  const QString path = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");
  const QString iface = QStringLiteral("org.freedesktop.PowerManagement.Inhibit");
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral(MURRELET_POWER_MANAGEMENT_TEMPLATE), pm));
  const auto inhibited = [&] {
    const auto reply = bus.Call(pm, path, iface, QStringLiteral("HasInhibit"));
    return reply && !reply->isEmpty() && reply->constFirst().toBool();
  };
  {
    KeepAwake awake(bus.Connection(), bus.Connection(), /*sandboxed=*/false);
    EXPECT_NE(awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
    ASSERT_TRUE(Answered(awake));
    EXPECT_TRUE(awake.HoldsSessionInhibit());
    EXPECT_TRUE(inhibited());
    const auto calls = bus.MethodCalls(pm, path, QStringLiteral("Inhibit"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls.constFirst().at(0).toString(), QStringLiteral("murrelet"));
    // No logind idle block beside it: it would keep KDE's screen from blanking.
    EXPECT_FALSE(awake.HoldsIdleInhibitor());
    EXPECT_TRUE(LogindInhibitors(bus).isEmpty());
    awake.TickEnded(true);
    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    EXPECT_EQ(bus.MethodCalls(pm, path, QStringLiteral("Inhibit")).size(), 1) << "asked once while held";
    awake.RunEnded();
    EXPECT_FALSE(awake.HoldsSessionInhibit());
    EXPECT_FALSE(inhibited());
    const auto uninhibits = bus.MethodCalls(pm, path, QStringLiteral("UnInhibit"));
    ASSERT_EQ(uninhibits.size(), 1);
    EXPECT_EQ(uninhibits.constFirst().at(0).toUInt(), 1u) << "its own cookie, the stand-in's first";
    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    EXPECT_TRUE(WaitFor(inhibited));
  }
  EXPECT_TRUE(WaitFor([&] { return !inhibited(); })) << "given back when destroyed holding";
}

TEST(KeepAwake, InASandboxThePortalSpeaksForTheDesktopAndLogindStandsInOnlyWhileItRefuses) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral(MURRELET_PORTAL_TEMPLATE), kPortal));
  {
    KeepAwake awake(bus.Connection(), bus.Connection(), /*sandboxed=*/true);
    EXPECT_NE(awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
    ASSERT_TRUE(Answered(awake));
    EXPECT_TRUE(awake.HoldsPortalInhibit());
    EXPECT_FALSE(awake.HoldsSessionInhibit());
    EXPECT_FALSE(awake.HoldsIdleInhibitor());
    EXPECT_TRUE(LogindInhibitors(bus).isEmpty());
  }
  ASSERT_TRUE(bus.Call(kPortal, kPortalPath, kMock, QStringLiteral("AddMethod"),
                       {QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"),
                        QStringLiteral("sua{sv}"), QStringLiteral("o"),
                        QStringLiteral("raise dbus.exceptions.DBusException('refused', "
                                       "name='org.freedesktop.DBus.Error.AccessDenied')")}));
  KeepAwake refused(bus.Connection(), bus.Connection(), /*sandboxed=*/true);
  EXPECT_NE(refused.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
  ASSERT_TRUE(Answered(refused));
  EXPECT_FALSE(refused.HoldsPortalInhibit());
  EXPECT_EQ(LogindInhibitors(bus), QStringList{"idle/block"});
  // A refusing portal is asked once a tick, not once for the portal and
  // again as the desktop's manager.
  EXPECT_EQ(bus.MethodCalls(kPortal, kPortalPath, QStringLiteral("Inhibit")).size(), 2) << "this run's and the first's";
  refused.TickEnded(true);
  refused.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
  ASSERT_TRUE(Answered(refused));
  EXPECT_EQ(bus.MethodCalls(kPortal, kPortalPath, QStringLiteral("Inhibit")).size(), 3);
  EXPECT_EQ(LogindInhibitors(bus), QStringList{"idle/block"}) << "the stand-in stays, not asked twice";
}

TEST(KeepAwake, WithoutASessionManagerLogindsIdleBlockStandsInAndTheManagersAreAskedAgainEachTick) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  KeepAwake awake(bus.Connection(), bus.Connection(), /*sandboxed=*/false);
  EXPECT_NE(awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
  ASSERT_TRUE(Answered(awake));
  EXPECT_FALSE(awake.HoldsSessionInhibit());
  EXPECT_EQ(LogindInhibitors(bus), QStringList{"idle/block"});
  // The desktop's manager comes up during the run: the next tick takes its
  // lock, and the idle block goes.
  const QString pm = QStringLiteral("org.freedesktop.PowerManagement");
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral(MURRELET_POWER_MANAGEMENT_TEMPLATE), pm));
  awake.TickEnded(true);
  awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
  ASSERT_TRUE(Answered(awake));
  EXPECT_TRUE(awake.HoldsSessionInhibit());
  EXPECT_FALSE(awake.HoldsIdleInhibitor());
  EXPECT_TRUE(WaitFor([&] { return LogindInhibitors(bus).isEmpty(); }));
}

TEST(LogindShutdown, AsksLogindToPowerOffWithoutInteractionAndReportsARefusal) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  LogindShutdown shutdown(bus.Connection());
  EXPECT_TRUE(shutdown.ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, 0));
  const auto calls = bus.MethodCalls(kLogin, QStringLiteral("/org/freedesktop/login1"), QStringLiteral("PowerOff"));
  ASSERT_EQ(calls.size(), 1);
  ASSERT_EQ(calls.constFirst().size(), 1);
  EXPECT_FALSE(calls.constFirst().constFirst().toBool()) << "not interactive";

  ASSERT_TRUE(bus.Call(kLogin, QStringLiteral("/org/freedesktop/login1"), kMock, QStringLiteral("AddMethod"),
                       {QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"),
                        QStringLiteral("b"), QString(),
                        QStringLiteral("raise dbus.exceptions.DBusException('refused', "
                                       "name='org.freedesktop.DBus.Error.AccessDenied')")}));
  EXPECT_FALSE(shutdown.ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, 0));
}

// A session manager, org.freedesktop.PowerManagement and the portal that the
// bus could start but that are not running: asking starts none of them (each
// answers at once that it is not there), except the portal in a sandbox,
// whose bus starts it for the question, once a tick.
TEST(KeepAwake, AskingStartsNoDesktopServiceButASandboxsPortal) {
  for (const bool sandboxed : {false, true}) {
    QTemporaryDir dir;
    const QString services = dir.filePath(QStringLiteral("services"));
    const QString started = dir.filePath(QStringLiteral("started"));
    ASSERT_TRUE(QDir().mkpath(services));
    for (const char* name : {"org.gnome.SessionManager", "org.freedesktop.PowerManagement", "org.freedesktop.portal.Desktop"}) {
      QFile file(services + "/" + name + ".service");
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      // Started, it only notes so and fails: the question then fails at once.
      file.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=/bin/sh -c 'echo %1 >> %2; exit 1'\n")
                     .arg(QString::fromLatin1(name), started)
                     .toUtf8());
    }
    PrivateBus bus(services);
    ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
    KeepAwake awake(bus.Connection(), bus.Connection(), sandboxed);
    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
    ASSERT_TRUE(Answered(awake)) << sandboxed;
    QFile log(started);
    const QByteArray startedNames = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    EXPECT_EQ(startedNames.toStdString(), sandboxed ? "org.freedesktop.portal.Desktop\n" : "") << sandboxed;
    EXPECT_EQ(LogindInhibitors(bus), QStringList{"idle/block"}) << "the stand-in, since nobody answered";
  }
}

// The desktop's manager is slow to answer: the tick that asks goes on at
// once, the next ticks do not ask again, and the cookie is taken when it
// comes; one that comes after the run has ended goes straight back.
TEST(KeepAwake, AManagerSlowToAnswerHoldsUpNoTickAndItsLateAnswerIsTaken) {
  const QString pm = QStringLiteral("org.freedesktop.PowerManagement");
  const QString path = QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("logind"), kLogin));
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral(MURRELET_HELD_POWER_MANAGEMENT_TEMPLATE), pm));
  const auto inhibited = [&] {
    const auto reply = bus.Call(pm, path, QStringLiteral("org.freedesktop.PowerManagement.Inhibit"),
                                QStringLiteral("HasInhibit"));
    return reply && !reply->isEmpty() && reply->constFirst().toBool();
  };
  const auto mock = [&](const char* method) {
    const auto reply = bus.Call(pm, path, kMock, QString::fromLatin1(method));
    return reply && !reply->isEmpty() ? reply->constFirst().toInt() : -1;
  };
  const auto answer = [&] { return mock("Answer"); };
  KeepAwake awake(bus.Connection(), bus.Connection(), /*sandboxed=*/false);
  EXPECT_NE(awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED), 0u);
  ASSERT_TRUE(awake.Asking()) << "the tick went on without the answer";
  // GNOME's manager is asked first and answers at once that it is not there.
  ASSERT_TRUE(WaitFor([&] { return mock("Waiting") == 1; }));
  for (int tick = 0; tick < 3; ++tick) {
    QCoreApplication::processEvents();
    awake.TickEnded(true);
    awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
  }
  EXPECT_TRUE(awake.Asking()) << "the question is still out";
  EXPECT_FALSE(awake.HoldsSessionInhibit());
  EXPECT_TRUE(LogindInhibitors(bus).isEmpty()) << "no stand-in while the manager may still grant";
  EXPECT_EQ(answer(), 1) << "asked once, not once a tick";
  ASSERT_TRUE(WaitFor([&] { return awake.HoldsSessionInhibit(); }));
  EXPECT_TRUE(inhibited());
  awake.RunEnded();
  EXPECT_TRUE(WaitFor([&] { return !inhibited(); }));

  awake.SetThreadExecutionState(ES_SYSTEM_REQUIRED);
  ASSERT_TRUE(WaitFor([&] { return mock("Waiting") == 1; }));
  awake.RunEnded();
  EXPECT_EQ(answer(), 1);
  ASSERT_TRUE(Answered(awake));
  EXPECT_FALSE(awake.HoldsSessionInhibit());
  EXPECT_TRUE(WaitFor([&] { return !inhibited(); })) << "a cookie for a finished run is given back";
}
