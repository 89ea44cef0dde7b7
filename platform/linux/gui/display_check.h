// Telling a start without a display plainly. Qt ends a program it cannot give
// a window with an abort (exit 134) and a page about platform plugins; the
// program says "no display" and exits with kExitNoDisplay instead.
#pragma once

#include <string>

namespace murrelet::linux_platform {

// The exit code of a start without a display.
inline constexpr int kExitNoDisplay = 1;

// What is missing for a window, or empty when Qt can try: the platform named
// by QT_QPA_PLATFORM (its ';'-separated choices, each with optional
// ":options"), or else X11's DISPLAY or Wayland's WAYLAND_DISPLAY. Null
// pointers are unset variables.
std::string MissingDisplay(const char* qpaPlatform, const char* display, const char* waylandDisplay);

// While it lives, a fatal message from Qt (its platform plugin found no
// display it could open) prints "murrelet: no display: ..." and ends the
// program with kExitNoDisplay. Made around the QApplication's construction.
class NoDisplayGuard {
 public:
  NoDisplayGuard();
  ~NoDisplayGuard();
  NoDisplayGuard(const NoDisplayGuard&) = delete;
  NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

}  // namespace murrelet::linux_platform
