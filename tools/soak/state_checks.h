// What must hold between two whole user actions, whatever happened before:
// handles, control layout, the countdown, status texts and the boxes shown.
// Shared by murrelet-soak, the script fuzzer and the fault-injection tests, so
// all of them judge the program by the same rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "charging/application.h"
#include "platform/sim/sim_platform.h"

namespace murrelet::soak {

// One broken rule: a short stable id (to tell findings apart) and the detail.
struct Finding {
  std::string id;
  std::string detail;
};
using Findings = std::vector<Finding>;

// A message pattern with its "%s" replaced by a value's name.
std::string WithName(const char* pattern, std::string_view name);

// Telephony handles: at most one line application ever alive at once, and
// between actions a line (in one application) is open exactly while a run is.
void CheckLineHandles(const sim::SimPlatform& sim, TApplication* app, Findings& out);
// The control layout fits the run state; the countdown and panel 0 hold only
// what the program can write.
void CheckWindow(const TMainForm& main, Findings& out);
// Handles of the other services, the boxes shown from index `firstBox` on,
// and the keep-awake and wait calls.
void CheckServices(const sim::SimPlatform& sim, TApplication* app, std::size_t firstBox, Findings& out);
// The task bar shows a run exactly while there is one, in the run's kind, and
// a notice carries only a reason worth one.
void CheckRunStatus(const sim::SimPlatform& sim, TApplication* app, Findings& out);
// Everything above, for the state between two actions.
Findings CheckState(const sim::SimPlatform& sim, TApplication* app, std::size_t firstBox = 0);

}  // namespace murrelet::soak
