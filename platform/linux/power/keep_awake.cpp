#include "platform/linux/power/keep_awake.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>

#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {
namespace {

constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr std::uint32_t kPortalInhibitSuspend = 4;
constexpr const char* kReason = "Charging the handset";

QString PortalInhibit(const QDBusConnection& bus) {
  if (!ServiceRunning(bus, kPortalService)) return {};
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, kPortalPath, "org.freedesktop.portal.Inhibit", "Inhibit");
  QVariantMap options;
  options.insert(QStringLiteral("reason"), QString::fromLatin1(kReason));
  call << QString() << kPortalInhibitSuspend << options;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kDBusTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return qdbus_cast<QDBusObjectPath>(reply.arguments().constFirst()).path();
}

void PortalRelease(const QDBusConnection& bus, const QString& request) {
  const QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, request, "org.freedesktop.portal.Request", "Close");
  bus.call(call, QDBus::Block, kDBusTimeoutMs);
}

}  // namespace

KeepAwake::KeepAwake(QDBusConnection systemBus, QDBusConnection sessionBus)
    : system_(std::move(systemBus)), session_(std::move(sessionBus)) {}

KeepAwake::~KeepAwake() { Release(); }

std::uint32_t KeepAwake::SetThreadExecutionState(std::uint32_t esFlags) {
  const std::uint32_t previous = state_;
  if ((esFlags & ES_SYSTEM_REQUIRED) != 0) {
    policy_.Asked();
    // Take() asks only for what is not held yet, so a lock refused once is
    // asked for again on the next tick.
    if (!Take()) return 0;
  }
  // Without ES_CONTINUOUS the request is a one-off reset of the idle timer;
  // the kept state changes only with it.
  if ((esFlags & ES_CONTINUOUS) != 0) state_ = esFlags;
  return previous;
}

bool KeepAwake::Take() {
  if (!idle_) idle_ = TakeInhibitor(system_, "idle", kReason, "block");
  if (portalRequest_.isEmpty()) portalRequest_ = PortalInhibit(session_);
  return idle_ != nullptr || !portalRequest_.isEmpty();
}

void KeepAwake::Release() {
  idle_.reset();
  if (!portalRequest_.isEmpty()) PortalRelease(session_, portalRequest_);
  portalRequest_.clear();
}

void KeepAwake::TickEnded(bool charging) {
  if (policy_.TickEnded(charging)) Release();
}

void KeepAwake::RunEnded() {
  if (policy_.RunEnded()) Release();
}

}  // namespace murrelet::linux_platform
