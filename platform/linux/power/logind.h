// The few logind calls the program makes: inhibitor locks and power-off.
#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <memory>

#include "platform/linux/power/bus_lock.h"

namespace murrelet::linux_platform {

inline constexpr const char* kLogindService = "org.freedesktop.login1";
inline constexpr const char* kLogindPath = "/org/freedesktop/login1";
inline constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

// An inhibitor lock is an fd: logind drops the lock when the last copy closes.
// This object holds the only copy and closes it when destroyed.
class InhibitorLock : public HeldLock {
 public:
  explicit InhibitorLock(QDBusUnixFileDescriptor fd) : fd_(std::move(fd)) {}
  int Fd() const { return fd_.fileDescriptor(); }

 private:
  QDBusUnixFileDescriptor fd_;
};

// logind's Inhibit as a BusLock attempt: `what` is "sleep", "idle", ...;
// `mode` "block" or "delay". Refused when logind is absent or refuses.
BusAttempt InhibitorAttempt(const char* what, const char* why, const char* mode);

// PowerOff(false): no interactive authorisation. False when refused or absent.
bool RequestPowerOff(const QDBusConnection& bus);

}  // namespace murrelet::linux_platform
