// UPower's state as the tick reads it once a second: asked over the system bus
// only after UPower has said that something changed, so an idle second costs
// no bus traffic and wakes no thread. It is the one subscriber to UPower's
// change signals: it marks itself stale before it passes a change on, so a
// reading taken by whoever hears of the change is already the new state.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <optional>

#include "platform/linux/power/power_mapping.h"

namespace murrelet::linux_platform {

class UPowerCache : public QObject {
  Q_OBJECT

 public:
  explicit UPowerCache(QDBusConnection systemBus);
  ~UPowerCache() override;
  UPowerCache(const UPowerCache&) = delete;
  UPowerCache& operator=(const UPowerCache&) = delete;

  // The last reading, asked again when UPower has reported a change (or has
  // appeared) since; nullopt while UPower is not on the bus or does not answer.
  std::optional<UPowerReading> Reading();

 signals:
  // UPower's daemon object or its display device reported changed properties.
  void DaemonChanged(const QVariantMap& changed);
  void DisplayDeviceChanged(const QVariantMap& changed);

 private slots:
  void DaemonPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
  void DisplayPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                const QStringList& invalidated);
  void Appeared();
  void Vanished();

 private:
  QDBusConnection bus_;
  QDBusServiceWatcher watcher_;
  bool running_ = false;
  bool stale_ = true;
  std::optional<UPowerReading> reading_;
};

}  // namespace murrelet::linux_platform
