// The run's state on the desktop: the launcher-entry signal as a dock would
// hear it, and notices against python-dbusmock's notification daemon, all on
// a private session bus.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QVariantMap>

#include "platform/linux/system/desktop_run_status.h"
#include "private_bus.h"

using namespace murrelet;
using namespace murrelet::linux_platform;
using murrelet::testing::PrivateBus;
using murrelet::testing::SignalRecorder;
using murrelet::testing::WaitFor;

namespace {

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");

struct LauncherUpdate {
  QString appUri;
  QVariantMap properties;
};

LauncherUpdate Decode(const QDBusMessage& message) {
  LauncherUpdate update;
  const QVariantList args = message.arguments();
  if (args.size() != 2) return update;
  update.appUri = args[0].toString();
  update.properties = qdbus_cast<QVariantMap>(args[1]);
  return update;
}

// The calls of Notify that the mock daemon took, oldest first.
QList<QVariantList> NotifyCalls(PrivateBus& bus) {
  return bus.MethodCalls(kNotifications, kNotificationsPath, QStringLiteral("Notify"));
}

}  // namespace

TEST(LauncherEntry, ProgressGoesOutKeyedByTheDesktopEntryAndIsTakenDownAtTheEnd) {
  PrivateBus bus;
  ASSERT_TRUE(bus.Ok());
  SignalRecorder dock;
  QDBusConnection listener = bus.Connection();
  ASSERT_TRUE(listener.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                       QStringLiteral("Update"), &dock, SLOT(Record(QDBusMessage))));
  {
    DesktopRunStatus status(bus.Connection());
    struct Case {
      TaskbarProgress progress;
      bool visible;
      double value;
    };
    const Case cases[] = {
        {{TaskbarProgressState::Normal, 0}, true, 0.0},
        {{TaskbarProgressState::Normal, 37}, true, 0.37},
        {{TaskbarProgressState::Normal, 100}, true, 1.0},
        {{TaskbarProgressState::None, 0}, false, 0.0},
        {{TaskbarProgressState::Indeterminate, 0}, false, 0.0},  // docks have no indeterminate bar
        {{TaskbarProgressState::Normal, 5}, true, 0.05},
    };
    for (const Case& c : cases) {
      const qsizetype before = dock.seen.size();
      status.SetTaskbarProgress(c.progress);
      ASSERT_TRUE(WaitFor([&] { return dock.seen.size() == before + 1; })) << c.progress.percent;
      const LauncherUpdate update = Decode(dock.seen.back());
      EXPECT_EQ(update.appUri, QStringLiteral("application://murrelet.desktop"));
      EXPECT_EQ(update.properties.value(QStringLiteral("progress-visible")).toBool(), c.visible);
      EXPECT_DOUBLE_EQ(update.properties.value(QStringLiteral("progress")).toDouble(), c.value);
    }
  }
  // Destroyed with a bar shown: the dock is told to hide it.
  ASSERT_TRUE(WaitFor([&] { return dock.seen.size() == 7; }));
  EXPECT_FALSE(Decode(dock.seen.back()).properties.value(QStringLiteral("progress-visible")).toBool());
}

TEST(Notices, GoToTheNotificationServiceAndReplaceTheProgramsPreviousOne) {
  PrivateBus bus;
  ASSERT_TRUE(bus.StartTemplate(QStringLiteral("notification_daemon"), kNotifications));
  DesktopRunStatus status(bus.Connection());
  status.ShowNotice("Murrelet", "充電完了");
  ASSERT_TRUE(WaitFor([&] { return status.LastNoticeId() != 0; }));
  const uint first = status.LastNoticeId();
  status.ShowNotice("Murrelet", "バッテリ稼動のため停止");
  ASSERT_TRUE(WaitFor([&] { return NotifyCalls(bus).size() == 2; }));

  const QList<QVariantList> calls = NotifyCalls(bus);
  // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
  ASSERT_EQ(calls[0].size(), 8);
  EXPECT_EQ(calls[0][0].toString(), QStringLiteral("Murrelet"));
  EXPECT_EQ(calls[0][1].toUInt(), 0u);
  EXPECT_EQ(calls[0][2].toString(), QStringLiteral("murrelet"));
  EXPECT_EQ(calls[0][3].toString(), QStringLiteral("Murrelet"));
  EXPECT_EQ(calls[0][4].toString(), QStringLiteral("充電完了"));
  EXPECT_EQ(calls[0][7].toInt(), -1);
  const QVariantMap hints = qdbus_cast<QVariantMap>(calls[0][6]);
  EXPECT_EQ(hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("murrelet"));
  EXPECT_EQ(calls[1][1].toUInt(), first) << "the second notice replaces the first";
  EXPECT_EQ(calls[1][4].toString(), QStringLiteral("バッテリ稼動のため停止"));
}

TEST(Notices, AMissingServiceIsNoError) {
  PrivateBus bus;
  ASSERT_TRUE(bus.Ok());
  DesktopRunStatus status(bus.Connection());
  status.ShowNotice("Murrelet", "充電完了");
  status.ShowNotice("Murrelet", "充電完了");
  // The error answers arrive and are dropped; nothing was given an id.
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(status.LastNoticeId(), 0u);

  DesktopRunStatus offline(QDBusConnection(QStringLiteral("never-connected")));
  offline.SetTaskbarProgress({TaskbarProgressState::Normal, 50});
  offline.ShowNotice("Murrelet", "充電完了");
  EXPECT_EQ(offline.LastNoticeId(), 0u);
}
