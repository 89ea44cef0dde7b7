// The main window's side of the power state: the display, the AC-only rule
// and the reactions to power broadcasts.
#include "charging/main_form.h"
#include "charging/power_display.h"
#include "charging/texts.h"

namespace murrelet {

void TMainForm::PowerInfo() {
  APM->Refresh();
  LMDProgress.SetPosition(APM->BatteryLifePercent);

  DescribePowerSource(APM->ACPowerStatusFlag, APM->BatteryChargeStatusFlag, powerText_);
  LMDLabel1.SetText(powerText_.text);
  if (powerText_.color) LMDLabel1.SetFont(*powerText_.color, powerText_.bold);

  if (OnBatteryRuleApplies()) {
    // It applies whether or not a run is going. Disabling and enabling the
    // timer around it restarts the timer's one-second period.
    Timer1.SetEnabled(false);
    EndRun(text::kStoppedOnBattery, RunEnd::OnBattery);
    Timer1.SetEnabled(true);
  }
}

void TMainForm::APMPowerStatusChange() { PowerInfo(); }

void TMainForm::APMBatteryLow() {
  const bool wasCharging = Run.Charging;
  // The message and the idle layout come also while idle.
  EndRun(text::kStoppedLowBattery, RunEnd::LowBattery);
  if (wasCharging && Settings.ShutDownFlag) ShutDownAtEnd();
}

void TMainForm::APMSuspendQuery() {
  if (!Run.Charging) return;
  EndRun(text::kStoppedSuspend, RunEnd::Suspend);
}

void TMainForm::APMOverrideableSuspendQuery(bool& CanSuspend) {
  if (!Run.Charging) return;
  APMSuspendQuery();
  // Give the handset a moment after its line closes; the system waits for
  // the answer meanwhile.
  platform_.sleeper.Sleep(500);
  CanSuspend = true;
}

}  // namespace murrelet
