// UPower's state as the tick reads it once a second: asked over the system bus
// only after UPower has said that something changed, so an idle second costs
// no bus traffic and wakes no thread. The questions after a change go out
// without waiting (a slow daemon never holds up a tick; the reading stays the
// last one until the answers come). It is the one subscriber to UPower's
// change signals: it passes a change on only once the answers asked after it
// have come, so a reading taken by whoever hears of the change is already the
// new state.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

#include "platform/linux/power/power_mapping.h"

namespace murrelet::linux_platform {

class UPowerCache : public QObject {
  Q_OBJECT

 public:
  explicit UPowerCache(QDBusConnection systemBus);
  ~UPowerCache() override;
  UPowerCache(const UPowerCache&) = delete;
  UPowerCache& operator=(const UPowerCache&) = delete;

  // The last reading (asked when the program starts, waiting at most
  // kDBusTimeoutMs); nullopt while UPower is not on the bus or did not answer.
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
  struct Change {
    bool display;
    QVariantMap changed;
  };
  // Asks the daemon, then its display device; a change reported while the
  // questions are out asks them again once they are answered.
  void Refresh();
  void Answered(std::optional<UPowerReading> reading);
  void Ask(bool display, std::function<void(std::optional<QVariantMap>)> then);

  QDBusConnection bus_;
  QDBusServiceWatcher watcher_;
  bool running_ = false;
  bool stale_ = true;
  bool refreshing_ = false;
  bool again_ = false;
  std::vector<Change> changes_;  // passed on once the answers asked after them have come
  std::optional<UPowerReading> reading_;
};

}  // namespace murrelet::linux_platform
