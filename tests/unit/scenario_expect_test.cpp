// How the scenario runner reads `expect PATH JSON`: the JSON is the rest of
// the line after the path, up to a comment, and a path in quotes is refused.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tools/scenario/scenario.h"

namespace murrelet::scenario {
namespace {

TEST(ScenarioExpect, ReadsTheJsonAfterThePath) {
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
