// When a run starts by itself: once for each connection the idle polls see.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charging/auto_charge.h"

namespace murrelet {
namespace {

// One idle poll: 'p' the handset found, '-' absent, '?' a search that failed;
// 'P' found while a start cannot happen now (dialog open, start under way, a
// rule in the way). 'b' is a run the user starts with the button between two
// polls. The expected string has 'S' where that poll starts a run ('.' for
// each poll and each button press).
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
    if (*poll == 'b') {
      trigger.RunStarted();
      starts += '.';
      continue;
    }
    const HandsetSeen seen =
        *poll == '-' ? HandsetSeen::Absent : *poll == '?' ? HandsetSeen::Unknown : HandsetSeen::Found;
    starts += trigger.Poll(seen, c.enabled, *poll != 'P') ? 'S' : '.';
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
      {"a failed search is no unplug", true, "p?p", "S.."},
      {"failed searches change nothing while absent", true, "-??p", "...S"},
      {"a failed first search keeps the start", true, "?p", ".S"},
      {"the button's run takes the connection's start", true, "bpp", "..."},
      {"the button's run while held back takes it too", true, "PbPp", "...."},
      {"the button's run after an unplug takes it", true, "p-bp", "S..."},
      {"after the button's run, a new connection starts", true, "bp-p", "...S"},
  };
  for (const Case& c : cases) EXPECT_EQ(Play(c), c.starts) << c.what;
}

TEST(AutoChargeTrigger, TurningTheSettingOnDuringAConnectionWaitsForTheNextOne) {
  AutoChargeTrigger trigger;
  EXPECT_FALSE(trigger.Poll(HandsetSeen::Found, false, true));
  EXPECT_FALSE(trigger.Poll(HandsetSeen::Found, true, true));
  EXPECT_FALSE(trigger.Poll(HandsetSeen::Absent, true, true));
  EXPECT_TRUE(trigger.Poll(HandsetSeen::Found, true, true));
}

}  // namespace
}  // namespace murrelet
