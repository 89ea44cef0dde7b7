// A lock asked of a desktop service over D-Bus without the GUI thread ever
// waiting for the answer: the question goes out, the tick goes on, and the
// answer is taken when it arrives. A slow or hung service costs the window
// nothing; the lock is simply not held until its answer comes.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <functional>
#include <memory>
#include <vector>

namespace murrelet::linux_platform {

// What a granted lock is: destroying it gives it back (closes the fd, sends
// the uninhibit call without waiting for its answer).
class HeldLock {
 public:
  virtual ~HeldLock() = default;
};

// One way of asking: the call, and how its answer becomes a lock (null when
// the answer is a refusal).
struct BusAttempt {
  QDBusMessage call;
  std::function<std::unique_ptr<HeldLock>(const QDBusMessage& reply)> take;
};

// A method call that never starts its service: a service that is not running
// answers "unknown name" at once instead of being started for the question.
QDBusMessage CallRunningService(const char* service, const QString& path, const char* interface, const char* method);

class BusLock {
 public:
  explicit BusLock(QDBusConnection bus);
  // Gives back what it holds; an answer still on its way is given back when
  // it comes.
  ~BusLock();
  BusLock(const BusLock&) = delete;
  BusLock& operator=(const BusLock&) = delete;

  // Asks for the lock unless it is held or a question is on its way: the
  // attempts in turn, the next only after the one before was refused.
  void Ask(std::vector<BusAttempt> attempts);
  // Gives the lock back now; an answer still on its way is given back when
  // it comes, unless the lock is asked for again before then.
  void Drop();

  bool Held() const { return state_->held != nullptr; }
  bool Asking() const { return state_->asking; }
  HeldLock* Lock() const { return state_->held.get(); }

  // Called when the last attempt's answer has come (granted or refused),
  // never after this object has gone.
  std::function<void()> onAnswered;

 private:
  struct State {
    QDBusConnection bus;
    BusLock* owner;
    bool wanted = false;
    bool asking = false;
    std::unique_ptr<HeldLock> held;
  };
  static void Send(const std::shared_ptr<State>& state, std::shared_ptr<std::vector<BusAttempt>> attempts,
                   std::size_t next);

  std::shared_ptr<State> state_;
};

// How long a question may go unanswered before it counts as refused and is
// asked again on a later tick. The window never waits for it.
inline constexpr int kLockAnswerTimeoutMs = 25000;

}  // namespace murrelet::linux_platform
