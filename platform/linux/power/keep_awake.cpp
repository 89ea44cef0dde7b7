#include "platform/linux/power/keep_awake.h"

#include "platform/linux/power/keep_awake_session.h"
#include "platform/linux/power/logind.h"

namespace murrelet::linux_platform {
namespace {

constexpr const char* kReason = "Charging the handset";

bool Free(const BusLock& lock) { return !lock.Held() && !lock.Asking(); }

}  // namespace

KeepAwake::KeepAwake(QDBusConnection systemBus, QDBusConnection sessionBus, bool sandboxed)
    : systemBus_(std::move(systemBus)),
      sessionBus_(std::move(sessionBus)),
      sandboxed_(sandboxed),
      session_(sessionBus_),
      portal_(sessionBus_),
      idle_(systemBus_) {
  // The manager's answer makes the stand-ins needless or, a refusal, calls
  // for them now rather than a tick later; a stand-in's answer asks nothing.
  BusLock& manager = sandboxed_ ? portal_ : session_;
  manager.onAnswered = [this] { Settle(false, policy_.Holding()); };
  for (BusLock* standIn : {&portal_, &idle_}) {
    if (standIn != &manager) standIn->onAnswered = [this] { Settle(false, false); };
  }
}

KeepAwake::~KeepAwake() { Release(); }

std::uint32_t KeepAwake::SetThreadExecutionState(std::uint32_t esFlags) {
  const std::uint32_t previous = state_;
  if ((esFlags & ES_SYSTEM_REQUIRED) != 0) {
    policy_.Asked();
    // Only what is neither held nor on its way is asked for, so a lock
    // refused once is asked for again on the next tick.
    Settle(true, true);
    if (!HoldsSessionInhibit() && !HoldsPortalInhibit() && !HoldsIdleInhibitor() && !Asking()) return 0;
  }
  // Without ES_CONTINUOUS the request is a one-off reset of the idle timer;
  // the kept state changes only with it.
  if ((esFlags & ES_CONTINUOUS) != 0) state_ = esFlags;
  return previous;
}

void KeepAwake::Settle(bool askManager, bool ask) {
  KeepAwakeAsks asks = LocksToAsk(sandboxed_, ManagerHolds());
  if (askManager && asks.sessionManagers && Free(session_)) session_.Ask(SessionManagerAttempts(sessionBus_, kReason));
  // The stand-ins wait for the manager's answer: a manager that grants makes
  // them needless. In a sandbox the portal is the manager.
  const bool managerAnswered = sandboxed_ ? !portal_.Asking() : !session_.Asking();
  asks = LocksToAsk(sandboxed_, ManagerHolds());
  if (!asks.portal) {
    portal_.Drop();
  } else if ((sandboxed_ ? askManager : ask && managerAnswered) && Free(portal_)) {
    portal_.Ask(PortalAttempts(sessionBus_, kReason, asks.activatePortal));
  }
  if (!asks.logindIdle) {
    idle_.Drop();
  } else if (ask && managerAnswered && Free(idle_)) {
    idle_.Ask({InhibitorAttempt("idle", kReason, "block")});
  }
}

void KeepAwake::Release() {
  session_.Drop();
  portal_.Drop();
  idle_.Drop();
}

void KeepAwake::TickEnded(bool charging) {
  if (policy_.TickEnded(charging)) Release();
}

void KeepAwake::RunEnded() {
  if (policy_.RunEnded()) Release();
}

}  // namespace murrelet::linux_platform
