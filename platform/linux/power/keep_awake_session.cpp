#include "platform/linux/power/keep_awake_session.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <filesystem>

#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {
namespace {

constexpr const char* kGnomeSessionPath = "/org/gnome/SessionManager";
constexpr const char* kPowerManagementPath = "/org/freedesktop/PowerManagement/Inhibit";
constexpr const char* kPowerManagementInterface = "org.freedesktop.PowerManagement.Inhibit";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
// The flag both GNOME's session manager and the portal read as "suspend".
constexpr std::uint32_t kInhibitSuspend = 4;

std::optional<std::uint32_t> Cookie(const QDBusConnection& bus, const QDBusMessage& call) {
  const QDBusMessage reply = bus.call(call, QDBus::Block, kDBusTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  bool ok = false;
  const std::uint32_t cookie = reply.arguments().constFirst().toUInt(&ok);
  if (!ok) return std::nullopt;
  return cookie;
}

}  // namespace

std::optional<SessionInhibit> SessionManagerInhibit(const QDBusConnection& bus, const char* reason) {
  // A name that is not on the bus answers with an error at once; neither
  // manager is started by a call.
  QDBusMessage gnome =
      QDBusMessage::createMethodCall(kGnomeSessionService, kGnomeSessionPath, kGnomeSessionService, "Inhibit");
  // No window to name (toplevel 0): the program, not a window, wants the lock.
  gnome << QString::fromLatin1(kKeepAwakeAppId) << 0u << QString::fromUtf8(reason) << kInhibitSuspend;
  if (auto cookie = Cookie(bus, gnome)) return SessionInhibit{SessionInhibit::Manager::Gnome, *cookie};

  QDBusMessage pm = QDBusMessage::createMethodCall(kPowerManagementService, kPowerManagementPath,
                                                   kPowerManagementInterface, "Inhibit");
  pm << QString::fromLatin1(kKeepAwakeAppId) << QString::fromUtf8(reason);
  if (auto cookie = Cookie(bus, pm)) return SessionInhibit{SessionInhibit::Manager::PowerManagement, *cookie};
  return std::nullopt;
}

void SessionManagerUninhibit(const QDBusConnection& bus, const SessionInhibit& inhibit) {
  QDBusMessage call =
      inhibit.manager == SessionInhibit::Manager::Gnome
          ? QDBusMessage::createMethodCall(kGnomeSessionService, kGnomeSessionPath, kGnomeSessionService, "Uninhibit")
          : QDBusMessage::createMethodCall(kPowerManagementService, kPowerManagementPath, kPowerManagementInterface,
                                           "UnInhibit");
  call << inhibit.cookie;
  bus.call(call, QDBus::Block, kDBusTimeoutMs);
}

QString PortalInhibit(const QDBusConnection& bus, const char* reason, bool activate) {
  if (!activate && !ServiceRunning(bus, kPortalService)) return {};
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, kPortalPath, "org.freedesktop.portal.Inhibit", "Inhibit");
  QVariantMap options;
  options.insert(QStringLiteral("reason"), QString::fromUtf8(reason));
  call << QString() << kInhibitSuspend << options;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kDBusTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return qdbus_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
}

void PortalRelease(const QDBusConnection& bus, const QString& request) {
  const QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, request, "org.freedesktop.portal.Request", "Close");
  bus.call(call, QDBus::Block, kDBusTimeoutMs);
}

bool InSandbox() {
  std::error_code error;
  return std::filesystem::exists("/.flatpak-info", error);
}

}  // namespace murrelet::linux_platform
