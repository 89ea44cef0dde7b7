// When the periods of a running timer fall due. They sit on a fixed grid of the
// monotonic clock, counted from the moment the timer was started, so a period
// that is delivered late does not push the later ones back: over a long timed
// run the count of periods keeps pace with the clock.
//
// A host arms a one-shot wait of DelayFrom(now), and when it wakes asks Due(now):
// if true it calls Fired(now), arms the next wait and delivers one period.
// A wake that comes after one or more further grid points have passed (the
// machine was stalled or suspended) still delivers a single period; the grid
// points that were missed are dropped, never delivered as a burst, and the
// next period falls on the first grid point after the late one.
#pragma once

#include <chrono>
#include <cstdint>

namespace murrelet {

class TickSchedule {
 public:
  using Duration = std::chrono::nanoseconds;
  // A reading of a monotonic clock (std::chrono::steady_clock in the hosts).
  using Time = std::chrono::nanoseconds;

  // A wake this much before a grid point counts as that period: timer waits are
  // rounded to whole milliseconds, and a system timer may round them down.
  static constexpr Duration kEarlyTolerance = std::chrono::milliseconds(2);

  // Starts (or restarts) the grid at `now`; the first period falls due one `period` later.
  void Start(Time now, Duration period);
  // The wait to arm: from `now` until the next grid point, never negative.
  Duration DelayFrom(Time now) const;
  // The same wait in whole milliseconds, rounded up so that the wake is not early.
  std::uint32_t DelayMsFrom(Time now) const;
  // True when `now` has reached the next grid point (within the tolerance).
  bool Due(Time now) const;
  // Takes the period that fell due and moves to the first grid point after
  // `now`. Returns how many grid points were missed and dropped (0 when on time).
  std::int64_t Fired(Time now);

  Time NextDue() const { return next_; }
  Duration Period() const { return period_; }

 private:
  Time start_{};
  Time next_{};
  Duration period_{std::chrono::seconds(1)};
};

// The monotonic clock the hosts read, as a TickSchedule::Time.
TickSchedule::Time MonotonicNow();

}  // namespace murrelet
