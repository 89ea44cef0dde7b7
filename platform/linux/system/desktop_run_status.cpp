#include "platform/linux/system/desktop_run_status.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace murrelet::linux_platform {
namespace {

constexpr const char* kLauncherPath = "/com/canonical/unity/launcherentry/murrelet";
constexpr const char* kLauncherInterface = "com.canonical.Unity.LauncherEntry";
constexpr const char* kNotifications = "org.freedesktop.Notifications";
constexpr const char* kNotificationsPath = "/org/freedesktop/Notifications";
// A notice is not worth waiting long for; the answer only carries its id.
constexpr int kNoticeTimeoutMs = 5000;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

DesktopRunStatus::DesktopRunStatus(QDBusConnection sessionBus, QString desktopId, QString iconName)
    : bus_(std::move(sessionBus)),
      appUri_(QStringLiteral("application://%1.desktop").arg(desktopId)),
      desktopId_(std::move(desktopId)),
      iconName_(std::move(iconName)) {}

DesktopRunStatus::~DesktopRunStatus() {
  if (progressShown_) SendProgress(false, 0.0);
}

void DesktopRunStatus::SetTaskbarProgress(const TaskbarProgress& progress) {
  // The launcher entry has no indeterminate bar: an untimed run shows none.
  const bool visible = progress.state == TaskbarProgressState::Normal;
  SendProgress(visible, visible ? progress.percent / 100.0 : 0.0);
}

void DesktopRunStatus::SendProgress(bool visible, double value) {
  if (!bus_.isConnected()) return;
  QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kLauncherPath),
                                                   QString::fromLatin1(kLauncherInterface), QStringLiteral("Update"));
  QVariantMap properties;
  properties.insert(QStringLiteral("progress"), value);
  properties.insert(QStringLiteral("progress-visible"), visible);
  signal << appUri_ << properties;
  // A signal needs no listener: without a dock it goes nowhere.
  if (bus_.send(signal)) progressShown_ = visible;
}

void DesktopRunStatus::ShowNotice(std::string_view title, std::string_view text) {
  if (!bus_.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kNotifications),
                                                     QString::fromLatin1(kNotificationsPath),
                                                     QString::fromLatin1(kNotifications), QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), desktopId_);
  call << FromUtf8(title) << lastNoticeId_ << iconName_ << FromUtf8(title) << FromUtf8(text) << QStringList()
       << hints << qint32{-1};
  // Asynchronous: a missing or slow service never holds up the window. An
  // error answer (no service) leaves the last id as it was.
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kNoticeTimeoutMs), &replies_);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_, [this](QDBusPendingCallWatcher* done) {
    const QDBusPendingReply<uint> reply = *done;
    if (!reply.isError()) lastNoticeId_ = reply.value();
    done->deleteLater();
  });
}

void DesktopRunStatus::RunChanged(bool charging) {
  if (onRunChanged) onRunChanged(charging);
}

}  // namespace murrelet::linux_platform
