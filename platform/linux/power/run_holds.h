// What the program holds only while a run goes, kept in step with the run:
// logind's sleep delay lock, which gives the run the moment it needs to close
// the line before the system sleeps, and the keep-awake locks.
#pragma once

#include "platform/linux/power/keep_awake.h"
#include "platform/linux/power/power_events.h"

namespace murrelet::linux_platform {

class RunHolds {
 public:
  RunHolds(PowerEvents& power, KeepAwake& awake) : power_(power), awake_(awake) {}

  // A run has started or ended (the core's word at each change).
  void RunChanged(bool charging);
  // A tick has been delivered; `charging` is whether a run is going now. A
  // run that holds no sleep delay asks for it again, as the keep-awake asks
  // again for a lock refused once: a logind that answered slowly once must
  // not leave the rest of the run without its grace before sleep.
  void TickEnded(bool charging);

 private:
  PowerEvents& power_;
  KeepAwake& awake_;
};

}  // namespace murrelet::linux_platform
