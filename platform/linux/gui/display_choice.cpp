#include "platform/linux/gui/display_choice.h"

#include <array>

namespace murrelet::linux_platform {
namespace {

// Desktops whose compositors draw the frames of Wayland windows
// (xdg-decoration in server-side mode).
constexpr std::array<std::string_view, 7> kFramingDesktops = {"KDE",    "sway",  "Hyprland", "wlroots",
                                                              "Wayfire", "labwc", "river"};

bool FramesWaylandWindows(std::string_view desktops) {
  while (!desktops.empty()) {
    const std::size_t colon = desktops.find(':');
    const std::string_view name = desktops.substr(0, colon);
    for (std::string_view framing : kFramingDesktops) {
      if (name == framing) return true;
    }
    if (colon == std::string_view::npos) break;
    desktops.remove_prefix(colon + 1);
  }
  return false;
}

}  // namespace

std::string PreferredQtPlatform(std::string_view currentDesktop, bool waylandSession, bool x11Display,
                                bool userChose) {
  if (userChose || !waylandSession || !x11Display) return {};
  if (FramesWaylandWindows(currentDesktop)) return {};
  // Native Wayland still, should the X server refuse the connection.
  return "xcb;wayland";
}

}  // namespace murrelet::linux_platform
