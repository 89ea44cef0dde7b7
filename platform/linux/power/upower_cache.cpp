#include "platform/linux/power/upower_cache.h"

#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {

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
}

UPowerCache::~UPowerCache() {
  if (!bus_.isConnected()) return;
  WatchUPowerChanges(bus_, false, this, SLOT(DaemonPropertiesChanged(QString, QVariantMap, QStringList)),
                     SLOT(DisplayPropertiesChanged(QString, QVariantMap, QStringList)));
}

std::optional<UPowerReading> UPowerCache::Reading() {
  if (!running_) return std::nullopt;
  if (stale_) {
    reading_ = AskUPower(bus_);
    // A daemon that is there but did not answer is asked again next time.
    stale_ = !reading_.has_value();
  }
  return reading_;
}

void UPowerCache::DaemonPropertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
  stale_ = true;
  emit DaemonChanged(changed);
}

void UPowerCache::DisplayPropertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
  stale_ = true;
  emit DisplayDeviceChanged(changed);
}

void UPowerCache::Appeared() {
  running_ = true;
  stale_ = true;
}

void UPowerCache::Vanished() {
  running_ = false;
  stale_ = true;
  reading_.reset();
}

}  // namespace murrelet::linux_platform
