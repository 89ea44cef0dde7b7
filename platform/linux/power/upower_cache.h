// UPower's state as the tick reads it once a second: asked over the system bus
// only after UPower has said that something changed, so an idle second costs
// no bus traffic and wakes no thread.
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

 private slots:
  void Changed(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
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
