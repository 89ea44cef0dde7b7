// The session's own power managers, asked to keep the computer from idling
// into suspend: GNOME's session manager, the org.freedesktop.PowerManagement
// inhibitor of KDE Plasma, Xfce and others, and the desktop portal that a
// sandbox offers instead. Each hands back a cookie or request that the
// manager drops by itself when the program's bus connection closes. The
// questions go out as BusLock attempts, so no answer is ever waited for.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/linux/power/bus_lock.h"

namespace murrelet::linux_platform {

inline constexpr const char* kGnomeSessionService = "org.gnome.SessionManager";
inline constexpr const char* kPowerManagementService = "org.freedesktop.PowerManagement";
inline constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";

// The application id the session managers list the lock under.
inline constexpr const char* kKeepAwakeAppId = "murrelet";

// A cookie from one of the two session managers; destroying it hands the
// cookie back.
class SessionInhibit : public HeldLock {
 public:
  enum class Manager { Gnome, PowerManagement };
  SessionInhibit(QDBusConnection bus, Manager manager, std::uint32_t cookie)
      : bus_(std::move(bus)), manager_(manager), cookie_(cookie) {}
  ~SessionInhibit() override;
  Manager Of() const { return manager_; }
  std::uint32_t Cookie() const { return cookie_; }

 private:
  QDBusConnection bus_;
  Manager manager_;
  std::uint32_t cookie_;
};

// GNOME's session manager first, then org.freedesktop.PowerManagement: the
// first that answers with a cookie. Neither is started by the question: a
// manager that is not running answers at once that it is not there.
std::vector<BusAttempt> SessionManagerAttempts(const QDBusConnection& bus, const char* reason);

// The portal's Inhibit with the suspend flag; its request object, closed when
// destroyed. `activate` lets the question start the portal, as a sandbox's bus
// does; outside a sandbox only a running portal is asked.
std::vector<BusAttempt> PortalAttempts(const QDBusConnection& bus, const char* reason, bool activate);

class PortalRequest : public HeldLock {
 public:
  PortalRequest(QDBusConnection bus, QString path) : bus_(std::move(bus)), path_(std::move(path)) {}
  ~PortalRequest() override;

 private:
  QDBusConnection bus_;
  QString path_;
};

// True inside a Flatpak sandbox, where only the portal reaches the desktop.
bool InSandbox();

}  // namespace murrelet::linux_platform
