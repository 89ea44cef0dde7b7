// One soak: a scenario played line by line, with every rule checked after
// each line. Replaying the same lines in a fresh SoakRun gives the same
// findings, which is what makes a printed script a reproduction.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "tools/scenario/scenario.h"
#include "tools/soak/state_checks.h"
#include "tools/soak/store_model.h"

namespace murrelet::soak {

class SoakRun {
 public:
  SoakRun();

  // Plays one line and returns what it broke. A line the runner refuses is
  // reported as the finding "bad-step" (a fault of the generator, not of the
  // program); an exception escaping the runner as "escaped".
  Findings Step(const std::string& line);

  // Drops the logs that only grow (boxes, keep-awake calls, waits, shutdown
  // calls, messages seen by the default window procedure).
  void Compact();

  scenario::Scenario& Scene() { return scene_; }
  long long Steps() const { return steps_; }

 private:
  void CheckStep(const std::string& command, bool wasRunning, const ChargeSettings& before, std::size_t appsBefore,
                 std::size_t firstBox, bool wrote, Findings& out);
  // A run that began during the step began as the user asked.
  void CheckRunStart(const std::string& line, bool wasCharging, Findings& out);
  // Plays "tick N" one tick at a time, so a run that started by itself is
  // watched on its first tick: with nothing changed since its start, that
  // tick never ends it in a shutdown.
  int PlayTicks(const std::string& line, const std::vector<std::string>& words, int lineNumber, Findings& out);

  std::ostringstream out_;
  std::ostringstream err_;
  scenario::Scenario scene_;
  StoreModel model_;
  std::size_t reportedMaxApps_ = 1;
  long long steps_ = 0;
  // The last tick started a run by itself, and no other step came since.
  bool unaskedRunJustStarted_ = false;
};

}  // namespace murrelet::soak
