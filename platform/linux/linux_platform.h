// Every Linux adapter in one bundle, with the places it reads from injected.
#pragma once

#include <QDBusConnection>
#include <filesystem>

#include "kit/platform.h"
#include "platform/linux/gui/qt_form_host.h"
#include "platform/linux/gui/qt_message_boxes.h"
#include "platform/linux/gui/qt_tray_icon.h"
#include "platform/linux/line/tty_tapi.h"
#include "platform/linux/power/keep_awake.h"
#include "platform/linux/power/linux_power_status.h"
#include "platform/linux/system/desktop_run_status.h"
#include "platform/linux/system/file_store.h"
#include "platform/linux/system/flock_lock.h"
#include "platform/linux/system/locale_clock.h"
#include "platform/linux/power/logind_shutdown.h"
#include "platform/linux/system/thread_sleeper.h"
#include "platform/linux/system/xdg_autostart.h"

namespace murrelet::linux_platform {

struct LinuxPaths {
  std::filesystem::path sysfsRoot = "/sys";
  std::filesystem::path devRoot = "/dev";
  std::filesystem::path storeRoot;  // see DefaultStoreRoot()
  std::filesystem::path lockDirectory;  // see DefaultLockDirectory()
  std::filesystem::path autostartDirectory;  // see DefaultAutostartDirectory()
  std::filesystem::path program;             // what the log-in entry starts
  // The real computer's places.
  static LinuxPaths ForThisUser();
};

struct LinuxPlatform {
  LinuxPlatform(const LinuxPaths& paths, const QDBusConnection& systemBus, const QDBusConnection& sessionBus)
      : tapi(paths.sysfsRoot, paths.devRoot),
        power(systemBus, paths.sysfsRoot),
        execution(systemBus, sessionBus),
        shutdown(systemBus),
        store(paths.storeRoot),
        locks(paths.lockDirectory),
        boxes(forms),
        runStatus(sessionBus),
        sessionStart(paths.autostartDirectory, paths.program),
        tray(forms, sessionBus) {}

  TtyTapi tapi;
  LinuxPowerStatus power;
  KeepAwake execution;
  ThreadSleeper sleeper;
  LogindShutdown shutdown;
  FileStore store;
  FlockLocks locks;
  LocaleClock clock;
  QtFormHost forms;
  QtMessageBoxes boxes;
  DesktopRunStatus runStatus;
  XdgAutostartEntry sessionStart;
  QtTrayIcon tray;

  Platform platform{tapi,  power, execution, sleeper,   shutdown,     store, locks,
                    clock, boxes, forms,     runStatus, sessionStart, &tray};
};

inline LinuxPaths LinuxPaths::ForThisUser() {
  LinuxPaths paths;
  paths.storeRoot = DefaultStoreRoot();
  paths.lockDirectory = DefaultLockDirectory(paths.storeRoot);
  paths.autostartDirectory = DefaultAutostartDirectory();
  paths.program = RunningProgramPath();
  return paths;
}

}  // namespace murrelet::linux_platform
