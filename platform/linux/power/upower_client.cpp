#include "platform/linux/power/upower_client.h"

#include <QDBusConnectionInterface>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QVariantMap>
#include <utility>

namespace murrelet::linux_platform {
namespace {

std::optional<QVariantMap> GetAll(const QDBusConnection& bus, bool display) {
  const QDBusMessage reply = bus.call(UPowerPropertiesCall(display), QDBus::Block, kDBusTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  return qdbus_cast<QVariantMap>(reply.arguments().constFirst());
}

}  // namespace

bool ServiceRunning(const QDBusConnection& bus, const char* service) {
  if (!bus.isConnected() || bus.interface() == nullptr) return false;
  const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(QString::fromLatin1(service));
  return registered.isValid() && registered.value();
}

void WatchUPowerChanges(QDBusConnection& bus, bool watch, QObject* receiver, const char* daemonSlot,
                        const char* displaySlot) {
  static const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
  static const QString changed = QStringLiteral("PropertiesChanged");
  const QString service = QString::fromLatin1(kUPowerService);
  for (const auto& [path, slot] : {std::pair{kUPowerPath, daemonSlot}, std::pair{kUPowerDisplayPath, displaySlot}}) {
    if (watch) {
      bus.connect(service, QString::fromLatin1(path), properties, changed, receiver, slot);
    } else {
      bus.disconnect(service, QString::fromLatin1(path), properties, changed, receiver, slot);
    }
  }
}

QDBusMessage UPowerPropertiesCall(bool display) {
  QDBusMessage call = QDBusMessage::createMethodCall(kUPowerService, display ? kUPowerDisplayPath : kUPowerPath,
                                                     "org.freedesktop.DBus.Properties", "GetAll");
  // Asked only once it is on the bus: a question never starts the daemon.
  call.setAutoStartService(false);
  call << QString::fromLatin1(display ? kUPowerDeviceInterface : kUPowerInterface);
  return call;
}

std::optional<UPowerReading> AskUPower(const QDBusConnection& bus) {
  const std::optional<QVariantMap> daemon = GetAll(bus, false);
  if (!daemon) return std::nullopt;
  return UPowerReadingOf(*daemon, GetAll(bus, true));
}

UPowerReading UPowerReadingOf(const QVariantMap& daemon, const std::optional<QVariantMap>& display) {
  UPowerReading reading;
  if (daemon.contains("OnBattery")) reading.onBattery = daemon.value("OnBattery").toBool();
  if (display) {
    reading.displayPresent = display->value("IsPresent").toBool();
    reading.displayType = display->value("Type").toUInt();
    if (display->contains("Percentage")) reading.percentage = display->value("Percentage").toDouble();
    reading.state = display->value("State").toUInt();
    reading.warningLevel = display->value("WarningLevel").toUInt();
    reading.timeToEmpty = display->value("TimeToEmpty").toLongLong();
  }
  return reading;
}

}  // namespace murrelet::linux_platform
