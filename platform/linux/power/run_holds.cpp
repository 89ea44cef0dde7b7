#include "platform/linux/power/run_holds.h"

namespace murrelet::linux_platform {

void RunHolds::RunChanged(bool charging) {
  power_.RunStateIs(charging);
  // The keep-awake locks go the moment a run ends, not two ticks later.
  if (!charging) awake_.RunEnded();
}

void RunHolds::TickEnded(bool charging) {
  awake_.TickEnded(charging);
  power_.RunStateIs(charging);
}

}  // namespace murrelet::linux_platform
