// The local clock and the user's long time format.
#pragma once

#include <string>

namespace murrelet {

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual TimeOfDay Now() = 0;
  // Writes into `out` so that a tick can reuse one buffer.
  virtual void FormatLongTime(const TimeOfDay& time, std::string& out) = 0;
};

}  // namespace murrelet
