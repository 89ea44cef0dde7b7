// Which Qt platform plugin shows the windows on a Wayland desktop. The Qt of
// Debian 12 frames a native Wayland window itself only with its generic
// decoration (a maximise button on fixed-size windows, a look foreign to the
// desktop) wherever the compositor leaves frames to the window, as GNOME and
// weston do. Through XWayland the compositor frames the windows itself, as
// it frames every X11 window, and honours their fixed size.
#pragma once

#include <string>
#include <string_view>

namespace murrelet::linux_platform {

// "xcb;wayland" when the windows should go through XWayland (native Wayland
// if the X server refuses them); empty to leave Qt's own
// choice: the user named a platform (QT_QPA_PLATFORM), the session is not
// Wayland, no X server is offered, or the desktop (XDG_CURRENT_DESKTOP, a
// colon-separated list) frames native Wayland windows itself.
std::string PreferredQtPlatform(std::string_view currentDesktop, bool waylandSession, bool x11Display,
                                bool userChose);

}  // namespace murrelet::linux_platform
