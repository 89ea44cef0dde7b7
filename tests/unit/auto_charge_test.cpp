// When a run starts by itself: once for each connection the idle polls see.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charging/auto_charge.h"

namespace murrelet {
namespace {

// One idle poll: 'p' the handset found, '-' absent; 'P' found while a start
// cannot happen now (dialog open, start under way). The expected string has
// 'S' where that poll starts a run.
struct Case {
  const char* what;
  bool enabled;
  const char* polls;
  const char* starts;
};

std::string Play(const Case& c) {
  AutoChargeTrigger trigger;
  std::string starts;
  for (const char* poll = c.polls; *poll != '\0'; ++poll) {
    const bool found = *poll != '-';
    starts += trigger.Poll(found, c.enabled, *poll != 'P') ? 'S' : '.';
  }
  return starts;
}

TEST(AutoChargeTrigger, StartsOnceForEachConnectionTheIdlePollsSee) {
  const Case cases[] = {
      {"already there at the first poll", true, "ppp", "S.."},
      {"appears after being absent", true, "--ppp", "..S.."},
      {"stays connected after the run", true, "ppppppp", "S......"},
      {"unplugged and plugged in again", true, "pp-pp--p", "S..S...S"},
      {"a single absent poll is a new connection", true, "p-p", "S.S"},
      {"the setting off starts nothing", false, "p-pp-p", "......"},
      {"a connection seen with the setting off is spent", false, "pp", ".."},
      {"held back while a start cannot happen, then taken", true, "PPpp", "..S."},
      {"held back and then unplugged: no start", true, "PP-", "..."},
      {"held back at an appearance", true, "-Pp", "..S"},
  };
  for (const Case& c : cases) EXPECT_EQ(Play(c), c.starts) << c.what;
}

TEST(AutoChargeTrigger, TurningTheSettingOnDuringAConnectionWaitsForTheNextOne) {
  AutoChargeTrigger trigger;
  EXPECT_FALSE(trigger.Poll(true, false, true));
  EXPECT_FALSE(trigger.Poll(true, true, true));
  EXPECT_FALSE(trigger.Poll(false, true, true));
  EXPECT_TRUE(trigger.Poll(true, true, true));
}

}  // namespace
}  // namespace murrelet
