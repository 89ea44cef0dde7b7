#include "platform/linux/power/logind.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>

#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {

BusAttempt InhibitorAttempt(const char* what, const char* why, const char* mode) {
  QDBusMessage call = CallRunningService(kLogindService, QString::fromLatin1(kLogindPath), kLogindManager, "Inhibit");
  // "Who" is the program's name as the core gave it to the window host.
  call << QString::fromLatin1(what) << QCoreApplication::applicationName() << QString::fromUtf8(why)
       << QString::fromLatin1(mode);
  return {std::move(call), [](const QDBusMessage& reply) -> std::unique_ptr<HeldLock> {
            if (reply.arguments().isEmpty()) return nullptr;
            QDBusUnixFileDescriptor fd = qdbus_cast<QDBusUnixFileDescriptor>(reply.arguments().constFirst());
            if (!fd.isValid()) return nullptr;
            return std::make_unique<InhibitorLock>(std::move(fd));
          }};
}

bool RequestPowerOff(const QDBusConnection& bus) {
  if (!ServiceRunning(bus, kLogindService)) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager, "PowerOff");
  call << false;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kDBusTimeoutMs * 10);
  return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace murrelet::linux_platform
