// How the scenario runner reads a script: each command refuses a line of the
// wrong form with its usage, and `expect PATH JSON` reads the JSON as the rest
// of the line after the path, up to a comment, refusing a path in quotes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tools/scenario/scenario.h"

namespace murrelet::scenario {
namespace {

// The first line that fails, and what the runner says.
struct Refusal {
  std::string line;
  std::string err;
};

TEST(ScenarioScript, EveryCommandNamesItsUsageForALineOfTheWrongForm) {
  const Refusal cases[] = {
      {"device", "device add|set|remove ..."},
      {"tapi", "tapi init=ok|fail|reinit [fail=OPERATION ...] [next_line=N]"},
      {"time", "time HH:MM:SS"},
      {"time-format", "time-format 24h|12h"},
      {"start x", "start [session]"},
      {"start-second x", "start-second takes no arguments"},
      {"tick 1 2", "tick [N]"},
      {"\"tick\" 1 2", "tick [N]"},
      {"click", "click CONTROL"},
      {"spin", "spin CONTROL up|down|VALUE"},
      {"check", "check CONTROL on|off"},
      {"modal-ticks", "modal-ticks N"},
      {"close x", "close takes no arguments"},
      {"windows-end x", "windows-end takes no arguments"},
      {"kill x", "kill takes no arguments"},
      {"dump x", "dump takes no arguments"},
      {"expect x", "expect PATH JSON"},
      {"show x", "show takes no arguments"},
      {"power", "power fail | power ac=N flag=N percent=N life=N full=N"},
      {"broadcast", "broadcast WPARAM LPARAM"},
      {"message", "message MSG WPARAM LPARAM"},
      {"platform", "platform nt|other"},
      {"shutdown", "shutdown token=ok|fail lookup=ok|fail adjust=ok|fail exit=ok|fail"},
      {"store",
       "store absent | set NAME sz \"TEXT\" | set NAME dword N | delete NAME | readonly-fail | create-fail | "
       "write-fail NAME | ok"},
      {"dialog", "dialog [CONTROL=VALUE ...] [ticks=N] ok|cancel|close"},
      {"window", "window active|inactive"},
      {"line-closed x", "line-closed takes no arguments"},
      {"Tick", "unknown command 'Tick'"},
  };
  for (const Refusal& c : cases) {
    std::ostringstream out;
    std::ostringstream err;
    Scenario scene(out, err);
    EXPECT_EQ(scene.RunScript("# a comment\n" + c.line), kBadScript) << c.line;
    EXPECT_EQ(err.str(), "line 2: " + c.err + "\n") << c.line;
  }
}

TEST(ScenarioScript, ExpectReadsTheJsonAfterThePath) {
  struct Case {
    std::string line;
    int code;
    std::string err;
  };
  const Case cases[] = {
      {"expect running false", kOk, ""},
      {"expect running false # a comment", kOk, ""},
      {"expect second {\"started\": null, \"exit_code\": null, \"windows_created\": 0}", kOk, ""},
      {"expect boxes [ ]#", kOk, ""},
      {"expect title \"a # b\"", kExpectationFailed, "line 1: expect title\n  expected: \"a # b\"\n  actual:   \"\"\n"},
      {"expect running", kBadScript, "line 1: expect PATH JSON\n"},
      {"expect running fals", kBadScript, "line 1: expected value is not JSON\n"},
      {"expect running # false", kBadScript, "line 1: expect PATH JSON\n"},
      {"expect running false true", kBadScript, "line 1: expected value is not JSON\n"},
      {"expect \"running\" false", kBadScript, "line 1: write the path of expect without quotes\n"},
      {"expect run\"ning\" false", kBadScript, "line 1: write the path of expect without quotes\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    std::ostringstream err;
    Scenario scene(out, err);
    EXPECT_EQ(scene.RunScript(c.line), c.code) << c.line;
    EXPECT_EQ(err.str(), c.err) << c.line;
    EXPECT_EQ(out.str(), "") << c.line;
  }
}

}  // namespace
}  // namespace murrelet::scenario
