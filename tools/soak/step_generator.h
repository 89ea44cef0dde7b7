// Seeded random steps in the scenario language: everything a user, the
// system and the simulated devices can do to the program, one line each, so
// that the lines played so far are the script that reproduces a failure.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "tools/scenario/scenario.h"

namespace murrelet::soak {

class StepGenerator {
 public:
  explicit StepGenerator(std::uint64_t seed) : random_(seed) {}

  // The next line; it looks at the scenario only to choose likely steps
  // (starting a program that is not running, keeping few devices, ending
  // Windows after the program's own shutdown request was taken).
  std::string Next(scenario::Scenario& scene);

 private:
  std::uint32_t Below(std::uint32_t bound);  // 0 .. bound-1
  bool Chance(std::uint32_t percent) { return Below(100) < percent; }
  std::string Number32();    // may be negative
  std::string Unsigned32();
  std::string Int32();
  std::string HandsetNameWord();

  std::string Tick();
  std::string Click();
  std::string Spin();
  std::string Dialog();
  std::string Tray();
  std::string Broadcast();
  std::string Message();
  std::string Power();
  std::string Device(scenario::Scenario& scene);
  std::string Tapi();
  std::string Store();
  std::string Shutdown();
  std::string ModalTicks();
  std::string Time();
  std::string Lifecycle();
  std::string Environment(scenario::Scenario& scene);

  std::mt19937_64 random_;
  int shutdownsSeen_ = 0;
};

}  // namespace murrelet::soak
