#include "platform/linux/power/upower_cache.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>

#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {
namespace {

// A daemon that has not answered by then is asked again at the next reading.
constexpr int kRefreshTimeoutMs = 5000;

}  // namespace

UPowerCache::UPowerCache(QDBusConnection systemBus)
    : bus_(std::move(systemBus)),
      watcher_(QString::fromLatin1(kUPowerService), bus_,
               QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration) {
  if (!bus_.isConnected()) return;
  connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this, &UPowerCache::Appeared);
  connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &UPowerCache::Vanished);
  // Subscribed before the first question, so no change falls between the two.
  WatchUPowerChanges(bus_, true, this, SLOT(DaemonPropertiesChanged(QString, QVariantMap, QStringList)),
                     SLOT(DisplayPropertiesChanged(QString, QVariantMap, QStringList)));
  running_ = ServiceRunning(bus_, kUPowerService);
  // The start's one reading, before the window shows the power state.
  if (running_) {
    reading_ = AskUPower(bus_);
    stale_ = !reading_.has_value();
  }
}

UPowerCache::~UPowerCache() {
  if (!bus_.isConnected()) return;
  WatchUPowerChanges(bus_, false, this, SLOT(DaemonPropertiesChanged(QString, QVariantMap, QStringList)),
                     SLOT(DisplayPropertiesChanged(QString, QVariantMap, QStringList)));
}

std::optional<UPowerReading> UPowerCache::Reading() {
  if (!running_) return std::nullopt;
  // A daemon that is there but did not answer is asked again.
  if (stale_ && !refreshing_) Refresh();
  return reading_;
}

void UPowerCache::Ask(bool display, std::function<void(std::optional<QVariantMap>)> then) {
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(UPowerPropertiesCall(display), kRefreshTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [then = std::move(then)](QDBusPendingCallWatcher* done) {
    done->deleteLater();
    const QDBusMessage reply = done->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return then(std::nullopt);
    then(qdbus_cast<QVariantMap>(reply.arguments().constFirst()));
  });
}

void UPowerCache::Refresh() {
  if (refreshing_) {
    again_ = true;
    return;
  }
  refreshing_ = true;
  again_ = false;
  Ask(false, [this](std::optional<QVariantMap> daemon) {
    if (!daemon) return Answered(std::nullopt);
    Ask(true, [this, daemon = std::move(*daemon)](std::optional<QVariantMap> display) {
      Answered(UPowerReadingOf(daemon, display));
    });
  });
}

void UPowerCache::Answered(std::optional<UPowerReading> reading) {
  refreshing_ = false;
  if (!running_) return;
  // The answers may predate a change reported while they were on their way,
  // the daemon's before it and the display's after: asked again, and the
  // last whole reading kept meanwhile.
  if (again_) return Refresh();
  reading_ = std::move(reading);
  stale_ = !reading_.has_value();
  std::vector<Change> changes;
  changes.swap(changes_);
  for (const Change& change : changes) {
    if (change.display) {
      emit DisplayDeviceChanged(change.changed);
    } else {
      emit DaemonChanged(change.changed);
    }
  }
}

void UPowerCache::DaemonPropertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
  changes_.push_back({false, changed});
  stale_ = true;
  Refresh();
}

void UPowerCache::DisplayPropertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
  changes_.push_back({true, changed});
  stale_ = true;
  Refresh();
}

void UPowerCache::Appeared() {
  running_ = true;
  stale_ = true;
  Refresh();
}

void UPowerCache::Vanished() {
  running_ = false;
  stale_ = true;
  reading_.reset();
  changes_.clear();
}

}  // namespace murrelet::linux_platform
