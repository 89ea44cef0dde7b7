// Where a charging run shows outside the main window: progress on the
// program's task-bar button (or its dock entry) and a notice when a run ends.
// The core decides what to show and when; a platform only shows it.
#pragma once

#include <string_view>

namespace murrelet {

enum class TaskbarProgressState { None, Normal, Indeterminate };

struct TaskbarProgress {
  TaskbarProgressState state = TaskbarProgressState::None;
  int percent = 0;  // 0 to 100; meaningful only in the Normal state

  bool operator==(const TaskbarProgress&) const = default;
};

class RunStatusSink {
 public:
  virtual ~RunStatusSink() = default;
  // Called only when the progress differs from the last one given.
  virtual void SetTaskbarProgress(const TaskbarProgress& progress) = 0;
  // A notice with the program's icon; it replaces the program's previous
  // notice where the system can. A missing notification service is no error.
  virtual void ShowNotice(std::string_view title, std::string_view text) = 0;
  // A run has started (true) or ended (false): the one place a platform
  // learns of it, for what it holds only during a run (on Linux the sleep
  // delay lock and the keep-awake locks).
  virtual void RunChanged(bool /*charging*/) {}
};

}  // namespace murrelet
