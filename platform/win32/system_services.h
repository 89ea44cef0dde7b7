// The small system calls of the core: power status, keep-awake, the wait,
// the clock in the user's long time format, the single-instance mutex and the
// message boxes.
#pragma once

#include <functional>

#include "kit/clock.h"
#include "kit/message_box.h"
#include "kit/named_lock.h"
#include "kit/power.h"

namespace murrelet::win32 {

class Win32Power : public PowerStatusSource, public ExecutionState, public Sleeper {
 public:
  bool GetSystemPowerStatus(SYSTEM_POWER_STATUS& status) override;
  std::uint32_t SetThreadExecutionState(std::uint32_t esFlags) override;
  void Sleep(std::uint32_t milliseconds) override;
};

class Win32Clock : public Clock {
 public:
  TimeOfDay Now() override;
  void FormatLongTime(const TimeOfDay& time, std::string& out) override;
};

// A named kernel mutex, created not owned; its existence is the guard.
class Win32Mutexes : public NamedLocks {
 public:
  LockAttempt Acquire(std::string_view name) override;
};

class Win32MessageBoxes : public MessageBoxes {
 public:
  // `owner` names the window a box belongs to (none while nothing is shown).
  explicit Win32MessageBoxes(std::function<void*()> owner = {}) : owner_(std::move(owner)) {}
  void Show(BoxKind kind, std::string_view caption, std::string_view text) override;

 private:
  std::function<void*()> owner_;
};

}  // namespace murrelet::win32
