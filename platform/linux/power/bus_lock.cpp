#include "platform/linux/power/bus_lock.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace murrelet::linux_platform {

QDBusMessage CallRunningService(const char* service, const QString& path, const char* interface, const char* method) {
  QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(service), path, QString::fromLatin1(interface),
                                                     QString::fromLatin1(method));
  call.setAutoStartService(false);
  return call;
}

BusLock::BusLock(QDBusConnection bus) : state_(std::make_shared<State>(State{std::move(bus), this, false, false, nullptr})) {}

BusLock::~BusLock() {
  // The answers on their way hold the state only weakly: they find it gone
  // and give their lock back.
  state_->owner = nullptr;
  state_->held.reset();
}

void BusLock::Ask(std::vector<BusAttempt> attempts) {
  state_->wanted = true;
  if (state_->held || state_->asking || attempts.empty()) return;
  if (!state_->bus.isConnected()) return;
  state_->asking = true;
  Send(state_, std::make_shared<std::vector<BusAttempt>>(std::move(attempts)), 0);
}

void BusLock::Drop() {
  state_->wanted = false;
  state_->held.reset();
}

void BusLock::Send(const std::shared_ptr<State>& state, std::shared_ptr<std::vector<BusAttempt>> attempts,
                   std::size_t next) {
  const QDBusPendingCall pending = state->bus.asyncCall((*attempts)[next].call, kLockAnswerTimeoutMs);
  auto* watcher = new QDBusPendingCallWatcher(pending);
  const std::weak_ptr<State> weak = state;
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [weak, attempts, next](QDBusPendingCallWatcher* done) {
                     done->deleteLater();
                     const QDBusMessage reply = done->reply();
                     std::unique_ptr<HeldLock> lock;
                     if (reply.type() == QDBusMessage::ReplyMessage) lock = (*attempts)[next].take(reply);
                     const std::shared_ptr<State> alive = weak.lock();
                     if (!alive || alive->owner == nullptr) return;  // `lock`, if any, goes back now
                     if (!lock && alive->wanted && next + 1 < attempts->size()) {
                       Send(alive, attempts, next + 1);
                       return;
                     }
                     alive->asking = false;
                     // A lock no longer wanted goes back as `lock` goes.
                     if (lock && alive->wanted) alive->held = std::move(lock);
                     if (alive->owner->onAnswered) alive->owner->onAnswered();
                   });
}

}  // namespace murrelet::linux_platform
