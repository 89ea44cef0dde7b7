// The one-second timer's schedule, driven through a fake monotonic clock: late
// wakes do not push later periods back, a stalled machine gets one tick, and
// the waits a host arms never wake it early.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "kit/tick_schedule.h"

namespace murrelet {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Time = TickSchedule::Time;

// A host as the GUIs run it: arms a one-shot wait, wakes `lateness(n)` after
// it was due (the n-th wake), and delivers a period when the schedule says so.
struct FakeHost {
  std::function<milliseconds(int wake)> lateness;
  std::vector<Time> delivered;
  std::int64_t missed = 0;

  void Run(TickSchedule& schedule, Time now, int ticks) {
    for (int wake = 0; static_cast<int>(delivered.size()) < ticks; ++wake) {
      now += schedule.DelayFrom(now) + lateness(wake);
      if (!schedule.Due(now)) continue;
      missed += schedule.Fired(now);
      delivered.push_back(now);
    }
  }
};

TEST(TickSchedule, LateWakesDoNotAccumulateOverALongRun) {
  struct Case {
    const char* what;
    std::function<milliseconds(int)> lateness;
    milliseconds worst;  // the largest lateness the host shows
  };
  const Case cases[] = {
      {"on time", [](int) { return milliseconds(0); }, milliseconds(0)},
      {"always 15 ms late, like a coarse system timer", [](int) { return milliseconds(15); }, milliseconds(15)},
      {"jitter up to 40 ms", [](int n) { return milliseconds((n * 37) % 41); }, milliseconds(40)},
      {"every tenth wake 900 ms late", [](int n) { return milliseconds(n % 10 == 9 ? 900 : 3); }, milliseconds(900)},
  };
  // A 6 h 50 min run ends on its 24 601st tick.
  constexpr int kTicks = 24601;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TickSchedule schedule;
    const Time start = seconds(1000);
    schedule.Start(start, seconds(1));
    FakeHost host{c.lateness, {}, 0};
    host.Run(schedule, start, kTicks);
    ASSERT_EQ(host.delivered.size(), static_cast<std::size_t>(kTicks));
    const Time due = start + seconds(kTicks);
    EXPECT_GE(host.delivered.back(), due);
    EXPECT_LE(host.delivered.back(), due + c.worst);
    EXPECT_EQ(host.missed, 0);
  }
}

TEST(TickSchedule, AStallDeliversOneTickAndKeepsTheGrid) {
  struct Case {
    const char* what;
    milliseconds stall;        // how late the third wake comes
    std::int64_t missed;       // grid points dropped
    milliseconds nextDelay;    // the wait armed after the late tick
  };
  const Case cases[] = {
      {"late by less than a period", milliseconds(400), 0, milliseconds(600)},
      {"late by exactly one period", milliseconds(1000), 1, milliseconds(1000)},
      {"stalled for 4.5 periods", milliseconds(4500), 4, milliseconds(500)},
      {"suspended for an hour", milliseconds(3600250), 3600, milliseconds(750)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TickSchedule schedule;
    schedule.Start(Time(0), seconds(1));
    ASSERT_TRUE(schedule.Due(seconds(1)));
    EXPECT_EQ(schedule.Fired(seconds(1)), 0);
    ASSERT_TRUE(schedule.Due(seconds(2)));
    EXPECT_EQ(schedule.Fired(seconds(2)), 0);
    const Time late = seconds(3) + c.stall;
    ASSERT_TRUE(schedule.Due(late));
    EXPECT_EQ(schedule.Fired(late), c.missed);
    // One tick for the stall: the next is not due at once but on the grid.
    EXPECT_FALSE(schedule.Due(late));
    EXPECT_EQ(schedule.DelayFrom(late), c.nextDelay);
    EXPECT_EQ(schedule.NextDue() % seconds(1), Time(0));
  }
}

TEST(TickSchedule, WakesAroundTheGridPoint) {
  struct Case {
    const char* what;
    Time wake;
    bool due;
    std::uint32_t delayMs;  // the wait armed at `wake` (after the tick when due)
  };
  const Time point = seconds(11);  // started at 10 s with a 1 s period
  const Case cases[] = {
      {"half a period early", point - milliseconds(500), false, 500},
      {"3 ms early: too early, waits again", point - milliseconds(3), false, 3},
      {"0.4 ms early: rounded up, not early", point - std::chrono::microseconds(400), true, 1000},
      {"1 ms early, within the tolerance", point - milliseconds(1), true, 1000},
      {"exactly on time", point, true, 1000},
      {"0.3 ms late", point + std::chrono::microseconds(300), true, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TickSchedule schedule;
    schedule.Start(seconds(10), seconds(1));
    EXPECT_EQ(schedule.Due(c.wake), c.due);
    if (c.due) {
      schedule.Fired(c.wake);
      EXPECT_EQ(schedule.NextDue(), point + seconds(1));
    } else {
      EXPECT_EQ(schedule.DelayMsFrom(c.wake), c.delayMs);
    }
  }
  // Rounding up: a wait of 0.4 ms is armed as 1 ms, never 0.
  TickSchedule schedule;
  schedule.Start(seconds(10), seconds(1));
  EXPECT_EQ(schedule.DelayMsFrom(point - std::chrono::microseconds(400)), 1u);
}

TEST(TickSchedule, RestartingStartsAFreshPeriod) {
  TickSchedule schedule;
  schedule.Start(Time(0), seconds(1));
  schedule.Fired(seconds(1));
  schedule.Start(milliseconds(1700), seconds(1));
  EXPECT_FALSE(schedule.Due(seconds(2)));
  EXPECT_EQ(schedule.NextDue(), milliseconds(2700));
  EXPECT_EQ(schedule.DelayMsFrom(seconds(2)), 700u);
}

}  // namespace
}  // namespace murrelet
