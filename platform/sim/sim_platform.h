// The whole simulated platform in one object.
#pragma once

#include "kit/platform.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_store.h"
#include "platform/sim/sim_tapi.h"

namespace murrelet::sim {

struct SimPlatform {
  SimTapi tapi;
  SimPower power;
  SimExecution execution;
  SimSleeper sleeper;
  SimShutdown shutdown;
  SimStore store;
  SimLocks locks;
  SimClock clock;
  SimBoxes boxes;
  SimForms forms;
  SimRunStatus runStatus;
  SimSessionStart sessionStart;
  SimTrayIcon tray;

  Platform platform{tapi,  power, execution, sleeper,   shutdown,     store, locks,
                    clock, boxes, forms,     runStatus, sessionStart, &tray};
};

}  // namespace murrelet::sim
