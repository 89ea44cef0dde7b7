// The pure decisions of the power adapters: status mapping, the battery
// warning of UPower's levels and when the keep-awake locks are held.
#include <gtest/gtest.h>

#include "platform/linux/power/keep_awake_policy.h"
#include "platform/linux/power/power_mapping.h"
#include "services/power_event_policy.h"

using namespace murrelet;
using namespace murrelet::linux_platform;

namespace {
UPowerReading Battery(bool onBattery, double percent, UpDeviceState state, UpWarningLevel level = UpWarningLevel::None) {
  UPowerReading reading;
  reading.onBattery = onBattery;
  reading.displayPresent = true;
  reading.displayType = kUpDeviceTypeBattery;
  reading.percentage = percent;
  reading.state = static_cast<std::uint32_t>(state);
  reading.warningLevel = static_cast<std::uint32_t>(level);
  return reading;
}
}  // namespace

TEST(MapUPower, MapsLineStateFlagsPercentAndLifeTime) {
  UPowerReading discharging = Battery(true, 80.4, UpDeviceState::Discharging);
  discharging.timeToEmpty = 5400;
  SYSTEM_POWER_STATUS s = MapUPower(discharging);
  EXPECT_EQ(s.ACLineStatus, 0);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_HIGH);
  EXPECT_EQ(s.BatteryLifePercent, 80);
  EXPECT_EQ(s.BatteryLifeTime, 5400u);
  EXPECT_EQ(s.BatteryFullLifeTime, 0xFFFFFFFFu);

  s = MapUPower(Battery(false, 50, UpDeviceState::Charging));
  EXPECT_EQ(s.ACLineStatus, 1);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_CHARGING);  // middle band: no level bit
  EXPECT_EQ(s.BatteryLifeTime, 0xFFFFFFFFu);         // on AC the life time is unknown

  EXPECT_EQ(MapUPower(Battery(true, 20, UpDeviceState::Discharging)).BatteryFlag, BATTERY_FLAG_LOW);
  EXPECT_EQ(MapUPower(Battery(true, 3, UpDeviceState::Discharging)).BatteryFlag, BATTERY_FLAG_CRITICAL);
  // The daemon's warning level wins over the percentage bands.
  EXPECT_EQ(MapUPower(Battery(true, 50, UpDeviceState::Discharging, UpWarningLevel::Low)).BatteryFlag, BATTERY_FLAG_LOW);
  EXPECT_EQ(MapUPower(Battery(true, 50, UpDeviceState::Discharging, UpWarningLevel::Action)).BatteryFlag,
            BATTERY_FLAG_CRITICAL);
  EXPECT_EQ(MapUPower(Battery(false, 90, UpDeviceState::Charging)).BatteryFlag,
            BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING);
  EXPECT_EQ(MapUPower(Battery(false, 140, UpDeviceState::FullyCharged)).BatteryLifePercent, 100);
}

TEST(MapUPower, UnknownsAndNoBattery) {
  UPowerReading desktop;
  desktop.onBattery = false;
  SYSTEM_POWER_STATUS s = MapUPower(desktop);
  EXPECT_EQ(s.ACLineStatus, 1);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_NO_BATTERY);
  EXPECT_EQ(s.BatteryLifePercent, 255);

  UPowerReading silent;  // OnBattery not published
  silent.displayPresent = true;
  silent.displayType = kUpDeviceTypeBattery;
  s = MapUPower(silent);
  EXPECT_EQ(s.ACLineStatus, 255);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_UNKNOWN);
  EXPECT_EQ(s.BatteryLifePercent, 255);
}

TEST(MapPowerSupplies, ReadsMainsAndBattery) {
  SupplyReading mains{"Mains", false, std::nullopt, std::nullopt, "", "", "", std::nullopt};
  SupplyReading battery{"Battery", std::nullopt, true, 25, "Discharging", "Normal", "", 3600};
  SupplyReading mouse{"Battery", std::nullopt, true, 5, "Discharging", "Critical", "Device", std::nullopt};
  SYSTEM_POWER_STATUS s = MapPowerSupplies({mouse, mains, battery});
  EXPECT_EQ(s.ACLineStatus, 0);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_LOW);
  EXPECT_EQ(s.BatteryLifePercent, 25);
  EXPECT_EQ(s.BatteryLifeTime, 3600u);

  mains.online = true;
  battery.status = "Charging";
  battery.capacity = 70;
  s = MapPowerSupplies({mains, battery});
  EXPECT_EQ(s.ACLineStatus, 1);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING);
  EXPECT_EQ(s.BatteryLifeTime, 0xFFFFFFFFu);

  s = MapPowerSupplies({});
  EXPECT_EQ(s.ACLineStatus, 1);
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_NO_BATTERY);

  battery.capacity.reset();
  battery.status = "Discharging";
  s = MapPowerSupplies({battery});
  EXPECT_EQ(s.ACLineStatus, 0);  // no mains listed: the battery's state tells
  EXPECT_EQ(s.BatteryFlag, BATTERY_FLAG_UNKNOWN);
}

TEST(BatteryWarningOf, LowCriticalAndActionAreEverWorseWarningsTheRestNone) {
  const struct {
    UpWarningLevel level;
    unsigned warning;
  } cases[] = {
      {UpWarningLevel::Unknown, kNoBatteryWarning},         {UpWarningLevel::None, kNoBatteryWarning},
      {UpWarningLevel::Discharging, kNoBatteryWarning},     {UpWarningLevel::Low, kBatteryLowWarning},
      {UpWarningLevel::Critical, kBatteryLowWarning + 1},   {UpWarningLevel::Action, kBatteryLowWarning + 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BatteryWarningOf(static_cast<std::uint32_t>(c.level)), c.warning) << static_cast<int>(c.level);
  }
}

TEST(KeepAwakePolicy, HoldsWhileAskedAndReleasesWhenTheCoreStops) {
  KeepAwakePolicy policy;
  policy.Asked();  // the first request takes the locks
  EXPECT_TRUE(policy.Holding());
  policy.Asked();
  EXPECT_FALSE(policy.TickEnded(true));
  EXPECT_TRUE(policy.Holding());
  // One quiet tick is slack; the second releases.
  EXPECT_FALSE(policy.TickEnded(true));
  EXPECT_TRUE(policy.TickEnded(true));
  EXPECT_FALSE(policy.Holding());
  EXPECT_FALSE(policy.TickEnded(true));  // nothing left to release

  // The run ending releases at once, however it ended; a tick after a run
  // that has ended releases too.
  policy.Asked();
  EXPECT_TRUE(policy.RunEnded());
  EXPECT_FALSE(policy.RunEnded());  // nothing left to release
  policy.Asked();
  EXPECT_TRUE(policy.TickEnded(false));
  EXPECT_FALSE(policy.Holding());
}

TEST(KeepAwakeLocks, TheSessionsOwnManagerFirstAndLogindsIdleBlockOnlyWhereNoneAnswered) {
  struct Case {
    bool sandboxed;
    bool managerHolds;
    bool sessionManagers, portal, activatePortal, logindIdle;
  } cases[] = {
      // A desktop session: its manager is asked; while none holds, the portal
      // (if it runs) and a logind idle block stand in.
      {false, false, true, true, false, true},
      // GNOME or KDE/Xfce answered: nothing else, so the screen may still blank.
      {false, true, true, false, false, false},
      // Flatpak: the portal, started by the call; logind only while the
      // portal refuses, where the sandbox reaches it.
      {true, false, false, true, true, true},
      {true, true, false, true, true, false},
  };
  for (const Case& c : cases) {
    const KeepAwakeAsks asks = LocksToAsk(c.sandboxed, c.managerHolds);
    SCOPED_TRACE(::testing::Message() << c.sandboxed << c.managerHolds);
    EXPECT_EQ(asks.sessionManagers, c.sessionManagers);
    EXPECT_EQ(asks.portal, c.portal);
    EXPECT_EQ(asks.activatePortal, c.activatePortal);
    EXPECT_EQ(asks.logindIdle, c.logindIdle);
  }
}
