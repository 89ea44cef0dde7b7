// When the keep-awake locks are held. The core asks once per tick while a run
// wants the system awake; the locks go as soon as it stops asking, so none is
// ever left behind a finished run.
#pragma once

namespace murrelet::linux_platform {

// Which locks keep the computer from idling into suspend. A desktop's idle
// suspend obeys its own power manager (GNOME's session manager, or
// org.freedesktop.PowerManagement on KDE Plasma, Xfce and others), not
// logind's idle locks, and a logind idle block keeps some desktops' screens
// from ever blanking: it is taken only where no session manager answered.
// The portal's answer does not say whether its back end took the lock, so
// outside a sandbox it never stands in for a session manager.
struct KeepAwakeAsks {
  bool sessionManagers = false;  // ask GNOME's, then org.freedesktop.PowerManagement
  bool portal = false;           // ask the desktop portal
  bool activatePortal = false;   // ... even when it is not running yet
  bool logindIdle = false;       // hold a logind idle block
};
// `sandboxed`: inside Flatpak, where the session managers are out of reach
// and the portal speaks for them. `managerHolds`: one of the session managers
// has given a cookie (in a sandbox: the portal has granted its request).
KeepAwakeAsks LocksToAsk(bool sandboxed, bool managerHolds);

class KeepAwakePolicy {
 public:
  // The core asked for the system to stay awake during this tick; the caller
  // takes whatever lock it does not hold yet (a refused one is asked for again).
  void Asked();
  // A tick has been delivered; true when the locks must be released now.
  bool TickEnded(bool charging);
  // The run has ended; true when locks are held and must be released now.
  bool RunEnded();
  bool Holding() const { return holding_; }

  // Ticks without a request after which the locks go: one tick of slack covers
  // a request that lands just after the tick's end.
  static constexpr int kQuietTicks = 2;

 private:
  bool Release();
  bool holding_ = false;
  bool askedThisTick_ = false;
  int quietTicks_ = 0;
};

}  // namespace murrelet::linux_platform
