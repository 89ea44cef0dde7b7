// The one window class of the program's top-level windows: the main window,
// the settings dialog and the task-bar button's window. Each window installs
// its own procedure after it is made.
#pragma once

namespace murrelet::win32 {

// Registers the class on first use (with the program's icon) and returns its name.
const wchar_t* ProgramWindowClass();

}  // namespace murrelet::win32
