// The one window class of the program's top-level windows: the main window,
// the settings dialog and the task-bar button's window. Each window is made
// with the default procedure and routes its messages to its object after.
#pragma once

#include <cstdint>

#include "platform/win32/window_hook.h"

namespace murrelet::win32 {

// Registers the class on first use (with the program's icon) and returns its name.
const wchar_t* ProgramWindowClass();

// The object behind a program window, which takes its messages.
class WindowReceiver {
 public:
  virtual ~WindowReceiver() = default;
  virtual std::intptr_t Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// From now on `window`'s messages go to `receiver`.
void RouteMessages(WindowHandle window, WindowReceiver& receiver);
// The receiver is going away: later messages (those of DestroyWindow among
// them) get the default procedure.
void StopRouting(WindowHandle window);

}  // namespace murrelet::win32
