// The command line as one decision for both platforms: what opens the window
// (and whether the session started it), what is answered, what is refused.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "charging/start_arguments.h"

namespace murrelet {
namespace {

using Action = StartArguments::Action;

TEST(StartArguments, OpensTheWindowAnswersItsOptionsAndRefusesTheRest) {
  struct Case {
    std::vector<std::string_view> args;
    Action action;
    bool bySession;
    const char* complaint;
  };
  const Case cases[] = {
      {{}, Action::OpenWindow, false, ""},
      {{"--session-start"}, Action::OpenWindow, true, ""},
      {{"--version"}, Action::PrintVersion, false, ""},
      {{"--help"}, Action::PrintUsage, false, ""},
      {{"-h"}, Action::PrintUsage, false, ""},
      {{"-session", "10d2f1e"}, Action::OpenWindow, false, ""},  // a restored session
      {{"-session", "10d2f1e", "--session-start"}, Action::OpenWindow, true, ""},
      {{"--session-start", "--session-start"}, Action::OpenWindow, true, ""},
      {{"--session-start", "--version"}, Action::PrintVersion, true, ""},
      {{"-v"}, Action::Refuse, false, "unknown argument '-v'"},
      {{"--verbose"}, Action::Refuse, false, "unknown argument '--verbose'"},
      {{"-version"}, Action::Refuse, false, "unknown argument '-version'"},
      {{"--session-start=1"}, Action::Refuse, false, "unknown argument '--session-start=1'"},
      {{""}, Action::Refuse, false, "unknown argument ''"},
      {{"-session"}, Action::Refuse, false, "unknown argument '-session'"},
      {{"--help", "--version"}, Action::Refuse, false, "'--help' takes no other argument"},
      {{"--version", "x"}, Action::Refuse, false, "'--version' takes no other argument"},
      {{"-platform", "offscreen"}, Action::Refuse, false, "unknown argument '-platform'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : std::string(c.args[0]) + " (" + std::to_string(c.args.size()) + ")");
    const StartArguments read = ReadStartArguments(c.args);
    EXPECT_EQ(read.action, c.action);
    EXPECT_EQ(read.bySession, c.bySession);
    EXPECT_EQ(read.complaint, c.complaint);
  }
  // The usage names every argument the program takes.
  const std::string usage = StartUsage();
  EXPECT_EQ(usage.rfind("Usage: murrelet [--session-start] [--help | --version]\n", 0), 0u) << usage;
  for (const char* option : {"-h, --help ", "--version ", "--session-start "}) {
    EXPECT_NE(usage.find("\n  " + std::string(option)), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace murrelet
