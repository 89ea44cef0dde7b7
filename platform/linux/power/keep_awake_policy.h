// When the keep-awake locks are held. The core asks once per tick while a run
// wants the system awake; the locks go as soon as it stops asking, so none is
// ever left behind a finished run.
#pragma once

namespace murrelet::linux_platform {

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
