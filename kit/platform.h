// Everything the core needs from a platform, handed in one bundle.
#pragma once

#include "kit/clock.h"
#include "kit/form.h"
#include "kit/message_box.h"
#include "kit/named_lock.h"
#include "kit/power.h"
#include "kit/run_status_sink.h"
#include "kit/session_start.h"
#include "kit/settings_store.h"
#include "kit/shutdown_platform.h"
#include "kit/tapi.h"
#include "kit/tray_icon.h"

namespace murrelet {

struct Platform {
  Tapi& tapi;
  PowerStatusSource& power;
  ExecutionState& execution;
  Sleeper& sleeper;
  ShutdownPlatform& shutdown;
  SettingsStore& store;
  NamedLocks& locks;
  Clock& clock;
  MessageBoxes& boxes;
  FormHost& forms;
  RunStatusSink& runStatus;
  SessionStartEntry& sessionStart;
  // The notification-area icon; none where the platform has no such thing.
  TrayIcon* tray = nullptr;
};

}  // namespace murrelet
