#include "platform/linux/power/keep_awake_session.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <filesystem>

namespace murrelet::linux_platform {
namespace {

constexpr const char* kGnomeSessionPath = "/org/gnome/SessionManager";
constexpr const char* kPowerManagementPath = "/org/freedesktop/PowerManagement/Inhibit";
constexpr const char* kPowerManagementInterface = "org.freedesktop.PowerManagement.Inhibit";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
// The flag both GNOME's session manager and the portal read as "suspend".
constexpr std::uint32_t kInhibitSuspend = 4;

BusAttempt CookieAttempt(const QDBusConnection& bus, QDBusMessage call, SessionInhibit::Manager manager) {
  return {std::move(call), [bus, manager](const QDBusMessage& reply) -> std::unique_ptr<HeldLock> {
            if (reply.arguments().isEmpty()) return nullptr;
            bool ok = false;
            const std::uint32_t cookie = reply.arguments().constFirst().toUInt(&ok);
            if (!ok) return nullptr;
            return std::make_unique<SessionInhibit>(bus, manager, cookie);
          }};
}

}  // namespace

SessionInhibit::~SessionInhibit() {
  QDBusMessage call =
      manager_ == Manager::Gnome
          ? CallRunningService(kGnomeSessionService, QString::fromLatin1(kGnomeSessionPath), kGnomeSessionService,
                               "Uninhibit")
          : CallRunningService(kPowerManagementService, QString::fromLatin1(kPowerManagementPath),
                               kPowerManagementInterface, "UnInhibit");
  call << cookie_;
  // Sent, not waited for: the manager takes the cookie back when it gets to it.
  bus_.send(call);
}

std::vector<BusAttempt> SessionManagerAttempts(const QDBusConnection& bus, const char* reason) {
  QDBusMessage gnome = CallRunningService(kGnomeSessionService, QString::fromLatin1(kGnomeSessionPath),
                                          kGnomeSessionService, "Inhibit");
  // No window to name (toplevel 0): the program, not a window, wants the lock.
  gnome << QString::fromLatin1(kKeepAwakeAppId) << 0u << QString::fromUtf8(reason) << kInhibitSuspend;
  QDBusMessage pm = CallRunningService(kPowerManagementService, QString::fromLatin1(kPowerManagementPath),
                                       kPowerManagementInterface, "Inhibit");
  pm << QString::fromLatin1(kKeepAwakeAppId) << QString::fromUtf8(reason);
  std::vector<BusAttempt> attempts;
  attempts.push_back(CookieAttempt(bus, std::move(gnome), SessionInhibit::Manager::Gnome));
  attempts.push_back(CookieAttempt(bus, std::move(pm), SessionInhibit::Manager::PowerManagement));
  return attempts;
}

std::vector<BusAttempt> PortalAttempts(const QDBusConnection& bus, const char* reason, bool activate) {
  QDBusMessage call = CallRunningService(kPortalService, QString::fromLatin1(kPortalPath),
                                         "org.freedesktop.portal.Inhibit", "Inhibit");
  call.setAutoStartService(activate);
  QVariantMap options;
  options.insert(QStringLiteral("reason"), QString::fromUtf8(reason));
  call << QString() << kInhibitSuspend << options;
  std::vector<BusAttempt> attempts;
  attempts.push_back({std::move(call), [bus](const QDBusMessage& reply) -> std::unique_ptr<HeldLock> {
                        if (reply.arguments().isEmpty()) return nullptr;
                        const QString path = qdbus_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
                        if (path.isEmpty()) return nullptr;
                        return std::make_unique<PortalRequest>(bus, path);
                      }});
  return attempts;
}

PortalRequest::~PortalRequest() {
  bus_.send(CallRunningService(kPortalService, path_, "org.freedesktop.portal.Request", "Close"));
}

bool InSandbox() {
  std::error_code error;
  return std::filesystem::exists("/.flatpak-info", error);
}

}  // namespace murrelet::linux_platform
