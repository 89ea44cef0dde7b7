// What the world outside the main window learns about a charging run: the
// task-bar progress while it runs and a notice when it ends unseen.
#pragma once

#include <cstdint>
#include <string_view>

#include "kit/run_status_sink.h"

namespace murrelet {

// Why a run ended. Each path to idle names its own reason.
enum class RunEnd {
  TimeUsedUp,        // "充電完了"
  OnBattery,         // the AC-only rule
  BatteryThreshold,  // the battery fell below the set percentage
  LowBattery,        // the system reported a low battery
  Suspend,           // the system is suspending
  ConnectionLost,    // the system closed the line or the handset went away
  StopButton,        // the user pressed stop
  Closing,           // the program is closing
};

// Whether a run that ended for `reason` is worth a notice. The user pressed
// stop themselves; a notice raised while suspending would only appear after
// the resume, out of date; a closing program has no run to tell of.
bool NoticeWhenRunEnds(RunEnd reason);

// The progress of a run of `totalSeconds` with `remainingSeconds` left;
// an untimed run (NoTimeLimit) has no measurable progress.
TaskbarProgress RunProgress(std::int32_t totalSeconds, std::int32_t remainingSeconds);

class RunStatusReporter {
 public:
  explicit RunStatusReporter(RunStatusSink& sink) : sink_(sink) {}

  // Whether a run is going is the main window's `Run.Charging` alone; it
  // calls these only as that changes (and counts only a going run).
  // A run has started with `remainingSeconds` (or NoTimeLimit) to go.
  void Started(std::int32_t remainingSeconds);
  // A tick has counted the running run down.
  void Counted(std::int32_t remainingSeconds);
  // The run ended for `reason`, and panel 0 now says `text`.
  void Ended(RunEnd reason, std::string_view text, bool windowActive);

 private:
  void Show(const TaskbarProgress& progress);

  RunStatusSink& sink_;
  std::int32_t total_ = 0;
  TaskbarProgress shown_;
};

}  // namespace murrelet
