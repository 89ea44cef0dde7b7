#include "platform/linux/power/keep_awake.h"

namespace murrelet::linux_platform {
namespace {

constexpr const char* kReason = "Charging the handset";

}  // namespace

KeepAwake::KeepAwake(QDBusConnection systemBus, QDBusConnection sessionBus, bool sandboxed)
    : system_(std::move(systemBus)), session_(std::move(sessionBus)), sandboxed_(sandboxed) {}

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
  KeepAwakeAsks asks = LocksToAsk(sandboxed_, ManagerHolds());
  if (asks.sessionManagers && !sessionCookie_) sessionCookie_ = SessionManagerInhibit(session_, kReason);
  if (sandboxed_ && portalRequest_.isEmpty()) portalRequest_ = PortalInhibit(session_, kReason, true);
  // A manager that answers late takes over: the stand-ins go.
  asks = LocksToAsk(sandboxed_, ManagerHolds());
  if (!asks.portal) {
    ReleasePortal();
  } else if (portalRequest_.isEmpty()) {
    portalRequest_ = PortalInhibit(session_, kReason, asks.activatePortal);
  }
  if (!asks.logindIdle) {
    idle_.reset();
  } else if (!idle_) {
    idle_ = TakeInhibitor(system_, "idle", kReason, "block");
  }
  return HoldsSessionInhibit() || HoldsIdleInhibitor() || HoldsPortalInhibit();
}

void KeepAwake::ReleasePortal() {
  if (!portalRequest_.isEmpty()) PortalRelease(session_, portalRequest_);
  portalRequest_.clear();
}

void KeepAwake::Release() {
  if (sessionCookie_) SessionManagerUninhibit(session_, *sessionCookie_);
  sessionCookie_.reset();
  idle_.reset();
  ReleasePortal();
}

void KeepAwake::TickEnded(bool charging) {
  if (policy_.TickEnded(charging)) Release();
}

void KeepAwake::RunEnded() {
  if (policy_.RunEnded()) Release();
}

}  // namespace murrelet::linux_platform
