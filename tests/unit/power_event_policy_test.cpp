// The power-event rules every platform shares: the query that cannot be
// refused ahead of an unasked suspend, and one low-battery report per crossing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/power.h"
#include "services/power_event_policy.h"

namespace murrelet {
namespace {

enum class Event { Queried, Settled, Suspending, Reading, SystemLow };

struct Step {
  Event event;
  unsigned warning;  // Reading only
  bool due;          // Suspending: a query goes ahead; Reading and SystemLow: a report is due
};

struct Case {
  const char* name;
  unsigned startWarning;
  std::vector<Step> steps;
};

constexpr unsigned kNone = kNoBatteryWarning;
constexpr unsigned kLow = kBatteryLowWarning;
constexpr unsigned kCritical = kBatteryLowWarning + 1;
constexpr unsigned kAction = kBatteryLowWarning + 2;

TEST(PowerEventPolicy, AsksBeforeEachUnaskedSuspendAndReportsEachLowCrossingOnce) {
  const Case cases[] = {
      {"an unasked suspend brings a query, once per suspend",
       kNone,
       {{Event::Suspending, 0, true}, {Event::Settled, 0, false}, {Event::Suspending, 0, true},
        {Event::Suspending, 0, true}}},
      {"where the system asked, no second query",
       kNone,
       {{Event::Queried, 0, false}, {Event::Suspending, 0, false}, {Event::Settled, 0, false},
        // The next suspend is unasked again.
        {Event::Suspending, 0, true}}},
      {"a refused query leaves the next suspend unasked",
       kNone,
       {{Event::Queried, 0, false}, {Event::Settled, 0, false}, {Event::Suspending, 0, true}}},
      {"a rise into each worse warning reports once; falling back reports nothing",
       kNone,
       {{Event::Reading, kNone, false}, {Event::Reading, kLow, true}, {Event::Reading, kLow, false},
        {Event::Reading, kCritical, true}, {Event::Reading, kAction, true}, {Event::Reading, kLow, false},
        {Event::Reading, kNone, false}, {Event::Reading, kCritical, true}}},
      {"a battery already low at start is no crossing", kLow, {{Event::Reading, kLow, false}}},
      {"the system's own report counts once per crossing",
       kNone,
       {{Event::SystemLow, 0, true}, {Event::SystemLow, 0, false}, {Event::Reading, kLow, false},
        {Event::Reading, kNone, false}, {Event::Reading, kLow, true}, {Event::SystemLow, 0, false}}},
      {"the system's report within a worse warning is no news",
       kCritical,
       {{Event::SystemLow, 0, false}}},
  };
  for (const Case& c : cases) {
    PowerEventPolicy policy(c.startWarning);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      SCOPED_TRACE(std::string(c.name) + ", step " + std::to_string(i));
      switch (step.event) {
        case Event::Queried:
          policy.SuspendQueried();
          break;
        case Event::Settled:
          policy.SuspendSettled();
          break;
        case Event::Suspending: {
          const std::optional<PowerBroadcast> query = policy.Suspending();
          EXPECT_EQ(query.has_value(), step.due);
          // lParam 0: the kind of query that cannot be refused.
          if (query) {
            EXPECT_EQ(*query, (PowerBroadcast{PBT_APMQUERYSUSPEND, 0}));
          }
          break;
        }
        case Event::Reading:
          EXPECT_EQ(policy.BatteryReading(step.warning), step.due);
          break;
        case Event::SystemLow:
          EXPECT_EQ(policy.BatteryLowReported(), step.due);
          break;
      }
    }
  }
}

}  // namespace
}  // namespace murrelet
