// The keep-awake signal: the session's own power manager where one answers,
// the desktop portal in a sandbox, and a logind idle block where no session
// manager took the lock; held while the core keeps asking.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "kit/power.h"
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

  std::uint32_t SetThreadExecutionState(std::uint32_t esFlags) override;
  // Called after each delivered tick, and when the run ends, whatever ended it.
  void TickEnded(bool charging);
  void RunEnded();

  bool HoldsIdleInhibitor() const { return idle_ != nullptr; }
  bool HoldsPortalInhibit() const { return !portalRequest_.isEmpty(); }
  bool HoldsSessionInhibit() const { return sessionCookie_.has_value(); }

 private:
  bool Take();
  // The desktop's own manager holds the lock: a session manager's cookie, or
  // in a sandbox the portal's request.
  bool ManagerHolds() const { return sandboxed_ ? HoldsPortalInhibit() : HoldsSessionInhibit(); }
  void Release();
  void ReleasePortal();

  QDBusConnection system_;
  QDBusConnection session_;
  bool sandboxed_;
  KeepAwakePolicy policy_;
  std::uint32_t state_ = ES_CONTINUOUS;
  std::optional<SessionInhibit> sessionCookie_;
  std::unique_ptr<InhibitorLock> idle_;
  QString portalRequest_;  // the portal's request object; closing it ends the inhibition
};

}  // namespace murrelet::linux_platform
