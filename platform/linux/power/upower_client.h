// Reading UPower's state over the system bus.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <optional>

#include "platform/linux/power/power_mapping.h"

namespace murrelet::linux_platform {

inline constexpr const char* kUPowerService = "org.freedesktop.UPower";
inline constexpr const char* kUPowerPath = "/org/freedesktop/UPower";
inline constexpr const char* kUPowerInterface = "org.freedesktop.UPower";
inline constexpr const char* kUPowerDisplayPath = "/org/freedesktop/UPower/devices/DisplayDevice";
inline constexpr const char* kUPowerDeviceInterface = "org.freedesktop.UPower.Device";
// The one question asked while waiting for the answer, UPower's state when the
// program starts: a daemon that does not answer quickly counts as absent.
// Later readings are asked without waiting (UPowerCache).
inline constexpr int kDBusTimeoutMs = 500;

bool ServiceRunning(const QDBusConnection& bus, const char* service);

// UPower's state, for a caller that knows UPower is on the bus (the status
// cache): nullopt when it does not answer.
std::optional<UPowerReading> AskUPower(const QDBusConnection& bus);

// The same questions without waiting: GetAll of the daemon (`display`
// false) or of its display device, and the reading their answers make.
QDBusMessage UPowerPropertiesCall(bool display);
UPowerReading UPowerReadingOf(const QVariantMap& daemon, const std::optional<QVariantMap>& display);

// UPower reports a change as PropertiesChanged on the daemon (OnBattery) or
// on its display device (percentage, state, warning level). `watch` true
// connects `receiver`'s slots (signature (QString, QVariantMap, QStringList)),
// false disconnects them.
void WatchUPowerChanges(QDBusConnection& bus, bool watch, QObject* receiver, const char* daemonSlot,
                        const char* displaySlot);

}  // namespace murrelet::linux_platform
