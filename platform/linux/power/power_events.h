// Turns the power daemons' signals into the power broadcasts the main window
// understands, and holds a logind sleep delay while a run is active so that
// the line is closed before the system sleeps.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/linux/power/bus_lock.h"
#include "platform/linux/power/logind.h"
#include "platform/linux/power/power_mapping.h"
#include "platform/linux/power/upower_cache.h"
#include "services/power_event_policy.h"

namespace murrelet::linux_platform {

class PowerEvents : public QObject {
  Q_OBJECT

 public:
  // `broadcast` sends WM_POWERBROADCAST with the code and lParam to the main
  // window; the caller runs it inside the application's event delivery.
  using Broadcast = std::function<void(std::uintptr_t code, std::intptr_t lParam)>;
  // UPower's changes come through `upower`, the status cache, which is stale
  // by the time they arrive, so the broadcast reads the new state. Its reading
  // when the program starts (none without UPower) is where warning-level
  // crossings count from.
  PowerEvents(QDBusConnection systemBus, UPowerCache& upower, Broadcast broadcast);
  ~PowerEvents() override;

  // Called at each start and end of a run and after each tick with the run's
  // state (RunHolds): a run without the sleep delay asks for it (never
  // waiting for the answer), so one that logind refused is asked for again
  // on the next tick; the end of a run gives it back.
  void RunStateIs(bool charging);
  bool HoldsSleepDelay() const { return sleepDelay_.Held(); }
  bool AskingSleepDelay() const { return sleepDelay_.Asking(); }

 private slots:
  void DaemonChanged();
  void DisplayDeviceChanged(const QVariantMap& changed);
  void PrepareForSleep(bool starting);

 private:
  QDBusConnection bus_;
  Broadcast broadcast_;
  PowerEventPolicy policy_;
  BusLock sleepDelay_;
};

}  // namespace murrelet::linux_platform
