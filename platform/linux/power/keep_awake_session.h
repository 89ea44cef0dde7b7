// The session's own power managers, asked to keep the computer from idling
// into suspend: GNOME's session manager, the org.freedesktop.PowerManagement
// inhibitor of KDE Plasma, Xfce and others, and the desktop portal that a
// sandbox offers instead. Each hands back a cookie or request that the
// manager drops by itself when the program's bus connection closes.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <cstdint>
#include <optional>

namespace murrelet::linux_platform {

inline constexpr const char* kGnomeSessionService = "org.gnome.SessionManager";
inline constexpr const char* kPowerManagementService = "org.freedesktop.PowerManagement";
inline constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";

// The application id the session managers list the lock under.
inline constexpr const char* kKeepAwakeAppId = "murrelet";

// A cookie from one of the two session managers.
struct SessionInhibit {
  enum class Manager { Gnome, PowerManagement } manager;
  std::uint32_t cookie;
};

// GNOME's session manager first, then org.freedesktop.PowerManagement: the
// first that answers with a cookie. Nullopt when neither is on the bus or
// both refuse.
std::optional<SessionInhibit> SessionManagerInhibit(const QDBusConnection& bus, const char* reason);
void SessionManagerUninhibit(const QDBusConnection& bus, const SessionInhibit& inhibit);

// The portal's Inhibit with the suspend flag: the request object, empty when
// refused. `activate` calls it even when the portal is not running yet, as a
// sandbox's bus starts it on the call.
QString PortalInhibit(const QDBusConnection& bus, const char* reason, bool activate);
void PortalRelease(const QDBusConnection& bus, const QString& request);

// True inside a Flatpak sandbox, where only the portal reaches the desktop.
bool InSandbox();

}  // namespace murrelet::linux_platform
