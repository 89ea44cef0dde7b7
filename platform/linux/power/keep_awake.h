// The keep-awake signal: the session's own power manager where one answers,
// the desktop portal in a sandbox, and a logind idle block where no session
// manager took the lock; held while the core keeps asking. Every question is
// sent without waiting (BusLock): a tick only asks, and the lock is taken when
// its answer comes.
#pragma once

#include <QDBusConnection>
#include <cstdint>

#include "kit/power.h"
#include "platform/linux/power/bus_lock.h"
#include "platform/linux/power/keep_awake_policy.h"
#include "platform/linux/power/keep_awake_session.h"
#include "platform/linux/power/logind.h"

namespace murrelet::linux_platform {

inline constexpr std::uint32_t ES_CONTINUOUS = 0x80000000;

class KeepAwake : public ExecutionState {
 public:
  KeepAwake(QDBusConnection systemBus, QDBusConnection sessionBus, bool sandboxed = InSandbox());
  ~KeepAwake() override;
  KeepAwake(const KeepAwake&) = delete;
  KeepAwake& operator=(const KeepAwake&) = delete;

  // Returns 0 only when no lock is held and none could be asked for (no bus).
  std::uint32_t SetThreadExecutionState(std::uint32_t esFlags) override;
  // Called after each delivered tick, and when the run ends, whatever ended it.
  void TickEnded(bool charging);
  void RunEnded();

  bool HoldsIdleInhibitor() const { return idle_.Held(); }
  bool HoldsPortalInhibit() const { return portal_.Held(); }
  bool HoldsSessionInhibit() const { return session_.Held(); }
  // Some question is still waiting for its answer.
  bool Asking() const { return session_.Asking() || portal_.Asking() || idle_.Asking(); }

 private:
  // Gives back the stand-ins a manager's lock has made needless, and asks for
  // what is neither held nor asked yet: the manager when `askManager`, the
  // stand-ins when `ask` and the manager has answered.
  void Settle(bool askManager, bool ask);
  // The desktop's own manager holds the lock: a session manager's cookie, or
  // in a sandbox the portal's request.
  bool ManagerHolds() const { return sandboxed_ ? HoldsPortalInhibit() : HoldsSessionInhibit(); }
  void Release();

  QDBusConnection systemBus_;
  QDBusConnection sessionBus_;
  bool sandboxed_;
  KeepAwakePolicy policy_;
  std::uint32_t state_ = ES_CONTINUOUS;
  BusLock session_;  // a session manager's cookie
  BusLock portal_;   // the portal's request object; closing it ends the inhibition
  BusLock idle_;     // logind's idle block
};

}  // namespace murrelet::linux_platform
