#include "platform/linux/power/power_events.h"

#include "kit/power.h"
#include "platform/linux/power/power_mapping.h"
#include "platform/linux/power/upower_client.h"

namespace murrelet::linux_platform {

PowerEvents::PowerEvents(QDBusConnection systemBus, UPowerCache& upower, Broadcast broadcast)
    : bus_(std::move(systemBus)), broadcast_(std::move(broadcast)), sleepDelay_(bus_) {
  // The level at start is where crossings count from: a battery that is low
  // already when the program starts is not a new report.
  if (const std::optional<UPowerReading> atStart = upower.Reading()) {
    policy_ = PowerEventPolicy(BatteryWarningOf(atStart->warningLevel));
  }
  connect(&upower, &UPowerCache::DaemonChanged, this, &PowerEvents::DaemonChanged);
  connect(&upower, &UPowerCache::DisplayDeviceChanged, this, &PowerEvents::DisplayDeviceChanged);
  if (!bus_.isConnected()) return;
  bus_.connect(kLogindService, kLogindPath, kLogindManager, "PrepareForSleep", this, SLOT(PrepareForSleep(bool)));
}

PowerEvents::~PowerEvents() {
  if (!bus_.isConnected()) return;
  bus_.disconnect(kLogindService, kLogindPath, kLogindManager, "PrepareForSleep", this, SLOT(PrepareForSleep(bool)));
}

void PowerEvents::RunStateIs(bool charging) {
  if (charging) {
    sleepDelay_.Ask({InhibitorAttempt("sleep", "Closing the handset line before sleep", "delay")});
  } else {
    sleepDelay_.Drop();
  }
}

void PowerEvents::DaemonChanged() {
  broadcast_(PBT_APMPOWERSTATUSCHANGE, 0);
}

void PowerEvents::DisplayDeviceChanged(const QVariantMap& changed) {
  broadcast_(PBT_APMPOWERSTATUSCHANGE, 0);
  const auto level = changed.constFind(QStringLiteral("WarningLevel"));
  if (level == changed.constEnd()) return;
  if (policy_.BatteryReading(BatteryWarningOf(level->toUInt()))) broadcast_(PBT_APMBATTERYLOW, 0);
}

void PowerEvents::PrepareForSleep(bool starting) {
  // logind never asks before a suspend, so each one brings the query that
  // cannot be refused; the delay lock gives the run the moment it needs to
  // close the line. The window gets no suspend notice of its own.
  if (starting) {
    if (const std::optional<PowerBroadcast> query = policy_.Suspending()) broadcast_(query->wParam, query->lParam);
    return;
  }
  policy_.SuspendSettled();
  broadcast_(PBT_APMRESUMESUSPEND, 0);
}

}  // namespace murrelet::linux_platform
