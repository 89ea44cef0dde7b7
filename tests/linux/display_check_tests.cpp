// The check for a display, as a decision; the program itself answers it in
// command_line.sh (the command line is read by the core: start_arguments_test).
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "platform/linux/gui/display_check.h"

using namespace murrelet::linux_platform;

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
