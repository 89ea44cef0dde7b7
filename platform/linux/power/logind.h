// The few logind calls the program makes: inhibitor locks and power-off.
#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <memory>

namespace murrelet::linux_platform {

inline constexpr const char* kLogindService = "org.freedesktop.login1";
inline constexpr const char* kLogindPath = "/org/freedesktop/login1";
inline constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";

// An inhibitor lock is an fd: logind drops the lock when the last copy closes.
// This object holds the only copy and closes it when destroyed.
class InhibitorLock {
 public:
  explicit InhibitorLock(QDBusUnixFileDescriptor fd) : fd_(std::move(fd)) {}
  int Fd() const { return fd_.fileDescriptor(); }

 private:
  QDBusUnixFileDescriptor fd_;
};

// `what` is "sleep", "idle", ...; `mode` "block" or "delay". Null when logind
// is absent or refuses.
std::unique_ptr<InhibitorLock> TakeInhibitor(const QDBusConnection& bus, const char* what, const char* why,
                                             const char* mode);

// PowerOff(false): no interactive authorisation. False when refused or absent.
bool RequestPowerOff(const QDBusConnection& bus);

}  // namespace murrelet::linux_platform
