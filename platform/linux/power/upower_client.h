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
// The tick reads the status once a second on the GUI thread: a daemon that does
// not answer quickly is treated as absent for that tick.
inline constexpr int kDBusTimeoutMs = 500;

bool ServiceRunning(const QDBusConnection& bus, const char* service);

// UPower's state, for a caller that knows UPower is on the bus (the status
// cache): nullopt when it does not answer.
std::optional<UPowerReading> AskUPower(const QDBusConnection& bus);

// UPower reports a change as PropertiesChanged on the daemon (OnBattery) or
// on its display device (percentage, state, warning level). `watch` true
// connects `receiver`'s slots (signature (QString, QVariantMap, QStringList)),
// false disconnects them.
void WatchUPowerChanges(QDBusConnection& bus, bool watch, QObject* receiver, const char* daemonSlot,
                        const char* displaySlot);

}  // namespace murrelet::linux_platform
