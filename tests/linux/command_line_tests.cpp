// The command line and the check for a display, as decisions; the program
// itself answers them in command_line.sh.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "platform/linux/gui/display_check.h"
#include "platform/linux/system/command_line.h"

using namespace murrelet::linux_platform;
using Action = CommandLine::Action;

TEST(CommandLine, OpensTheWindowAnswersItsOptionsAndRefusesTheRest) {
  struct Case {
    std::vector<std::string_view> args;
    Action action;
    const char* complaint;
  };
  const Case cases[] = {
      {{}, Action::OpenWindow, ""},
      {{"--version"}, Action::PrintVersion, ""},
      {{"--help"}, Action::PrintUsage, ""},
      {{"-h"}, Action::PrintUsage, ""},
      {{"-session", "10d2f1e"}, Action::OpenWindow, ""},  // a restored session
      {{"-v"}, Action::Refuse, "unknown argument '-v'"},
      {{"--verbose"}, Action::Refuse, "unknown argument '--verbose'"},
      {{"-version"}, Action::Refuse, "unknown argument '-version'"},
      {{""}, Action::Refuse, "unknown argument ''"},
      {{"-session"}, Action::Refuse, "unknown argument '-session'"},
      {{"--help", "--version"}, Action::Refuse, "'--help' takes no other argument"},
      {{"--version", "x"}, Action::Refuse, "'--version' takes no other argument"},
      {{"-platform", "offscreen"}, Action::Refuse, "unknown argument '-platform'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : std::string(c.args[0]));
    const CommandLine line = ReadCommandLine(c.args);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.complaint, c.complaint);
  }
  EXPECT_EQ(Usage().rfind("Usage: murrelet [--help | --version]\n", 0), 0u);
}

TEST(DisplayCheck, NamesWhatIsMissingOnlyWhenQtHasNothingToOpen) {
  struct Case {
    const char* platform;
    const char* display;
    const char* wayland;
    const char* missing;
  };
  const Case cases[] = {
      {nullptr, ":0", nullptr, ""},
      {nullptr, nullptr, "wayland-0", ""},
      {"", ":0", "", ""},
      {nullptr, nullptr, nullptr, "DISPLAY and WAYLAND_DISPLAY are not set"},
      {nullptr, "", "", "DISPLAY and WAYLAND_DISPLAY are not set"},
      {"xcb", ":1", nullptr, ""},
      {"xcb", nullptr, "wayland-0", "QT_QPA_PLATFORM=xcb, and its display (DISPLAY or WAYLAND_DISPLAY) is not set"},
      {"wayland", nullptr, "wayland-0", ""},
      {"wayland-egl", ":0", nullptr,
       "QT_QPA_PLATFORM=wayland-egl, and its display (DISPLAY or WAYLAND_DISPLAY) is not set"},
      {"wayland;xcb", ":0", nullptr, ""},
      {"xcb:no-mitshm", ":0", nullptr, ""},
      {"offscreen", nullptr, nullptr, ""},
      {"vnc:size=800x600", nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.platform != nullptr ? c.platform : "(unset)");
    EXPECT_EQ(MissingDisplay(c.platform, c.display, c.wayland), c.missing);
  }
}
