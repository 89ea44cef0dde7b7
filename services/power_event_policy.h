// Today's systems tell of a suspend without asking first, and report a low
// battery only as a changed status; the program ends a run on the query
// before a suspend and on a low-battery report. These rules turn what a
// platform's power source says into those two broadcasts, the same on every
// platform: the platform maps its own signals onto the calls below and
// delivers what they return.
#pragma once

#include <cstdint>
#include <optional>

namespace murrelet {

// A power broadcast for the main window: the PBT_* code and its lParam.
struct PowerBroadcast {
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool operator==(const PowerBroadcast&) const = default;
};

// The warning a battery reading carries, as the platform reads it: 0 is none,
// and each higher number a worse warning (low, critical, ...).
inline constexpr unsigned kNoBatteryWarning = 0;
inline constexpr unsigned kBatteryLowWarning = 1;

class PowerEventPolicy {
 public:
  // `startWarning` is the battery's warning at start: a battery already low
  // then is not a crossing.
  explicit PowerEventPolicy(unsigned startWarning = kNoBatteryWarning) : warning_(startWarning) {}

  // The system asked before this suspend itself.
  void SuspendQueried() { queried_ = true; }
  // The suspend was refused or is over: the next one is unasked until the
  // system asks again.
  void SuspendSettled() { queried_ = false; }
  // The system is about to suspend. When nobody was asked about it, the window
  // gets a query first, of the kind that cannot be refused (lParam 0), so the
  // run ends before the system sleeps.
  std::optional<PowerBroadcast> Suspending();

  // A reading of the battery's warning. True when a low-battery report is due:
  // the warning rose above the last reading's. Each crossing reports once, and
  // falling back reports nothing.
  bool BatteryReading(unsigned warning);
  // The system reported a low battery itself: true when that is news, false
  // within a crossing already reported.
  bool BatteryLowReported();

 private:
  bool queried_ = false;
  unsigned warning_;
};

}  // namespace murrelet
