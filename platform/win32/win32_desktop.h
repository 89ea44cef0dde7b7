// The Windows adapters that the program and the countdown benchmark share:
// the windows and their host, the power and execution-state calls, shutdown,
// the clock, message boxes and the task-bar status. The line, the settings
// store and the single-instance guard are handed in, since the benchmark runs
// with simulated ones.
#pragma once

#include "kit/platform.h"
#include "platform/win32/run_key_session_start.h"
#include "platform/win32/shell_run_status.h"
#include "platform/win32/shell_tray_icon.h"
#include "platform/win32/shutdown_calls.h"
#include "platform/win32/system_services.h"
#include "platform/win32/win32_forms.h"

namespace murrelet::win32 {

// Registers the common controls (version 6) the windows are made of; made
// before any window.
struct CommonControls {
  CommonControls();
};

struct Win32Desktop {
  CommonControls controls;
  Win32Power power;
  Win32Shutdown shutdown;
  Win32Clock clock;
  Win32Forms forms{power};
  Win32MessageBoxes boxes{[this] { return forms.BoxOwner(); }};
  ShellRunStatus runStatus{forms.ApplicationHandle()};
  RunKeySessionStart sessionStart{RunningProgramPath()};
  ShellTrayIcon tray;

  // A restarted Explorer gets the run's progress back on the new button.
  Win32Desktop() {
    forms.onTaskbarButtonCreated = [this] { runStatus.TaskbarButtonCreated(); };
  }
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  Platform With(Tapi& tapi, SettingsStore& store, NamedLocks& locks) {
    return Platform{tapi, power, power, power, shutdown, store, locks, clock, boxes, forms, runStatus, sessionStart, &tray};
  }
};

}  // namespace murrelet::win32
