#include "kit/tick_schedule.h"

namespace murrelet {

void TickSchedule::Start(Time now, Duration period) {
  period_ = period > Duration::zero() ? period : Duration(1);
  start_ = now;
  next_ = now + period_;
}

TickSchedule::Duration TickSchedule::DelayFrom(Time now) const {
  return now >= next_ ? Duration::zero() : next_ - now;
}

std::uint32_t TickSchedule::DelayMsFrom(Time now) const {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(DelayFrom(now)).count();
  return ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<std::uint32_t>(ms);
}

bool TickSchedule::Due(Time now) const { return now + kEarlyTolerance >= next_; }

std::int64_t TickSchedule::Fired(Time now) {
  // The grid point just taken is the last one at or before `now` (or next_
  // itself when the wake came a little early).
  const Time taken = now >= next_ ? start_ + ((now - start_) / period_) * period_ : next_;
  const std::int64_t missed = (taken - next_) / period_;
  next_ = taken + period_;
  return missed;
}

TickSchedule::Time MonotonicNow() {
  return std::chrono::duration_cast<TickSchedule::Time>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace murrelet
