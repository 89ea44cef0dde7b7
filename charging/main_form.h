// The main window: it owns the charging run, the power display and the
// settings, and decides everything the window shows.
#pragma once

#include <memory>
#include <string>

#include "charging/auto_charge.h"
#include "charging/charge_state.h"
#include "charging/power_display.h"
#include "charging/run_status.h"
#include "charging/window_layouts.h"
#include "kit/controls.h"
#include "kit/form.h"
#include "kit/platform.h"
#include "services/exit_win.h"
#include "services/power_monitor.h"

namespace murrelet {

class TConfForm;
class ErrorDisplay;

class TMainForm : public Form {
 public:
  // Creates the controls, the real window, the power monitor on that window,
  // the running `Timer1` and the shutdown component.
  TMainForm(Platform& platform, ErrorDisplay& errors);
  ~TMainForm() override;

  void SetConfForm(TConfForm* conf) { ConfForm = conf; }

  // Run control.
  bool ChargeStart();
  void ChargeStop();
  void ButtonEnabled();
  void ShutDown();

  // Power side.
  void PowerInfo();

  // Settings store.
  void FormCreate();
  void FormClose();
  void RegistryWrite();
  // Every stored value from `Settings` (the eight and the three added after
  // 2.0); when `report`, a refusal is shown.
  // True when every value was written.
  bool WriteSettings(bool report);
  // The session is ending: written without any box.
  void WriteSettingsQuietly();
  // The program ends with the session (log-off, shutdown, a signal): a going
  // run ends first, as at a close, then the settings are written without any
  // box. Nothing starts by itself from here on.
  void SessionEnding();

  // Handlers.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void Timer1Timer();
  void SpinEdit1Change();
  void SpinEdit2Change();
  void LMDCheckBox1Change();
  void APMPowerStatusChange();
  void APMBatteryLow();
  void APMSuspendQuery();
  void APMOverrideableSuspendQuery(bool& CanSuspend);

  // The settings button's work is under way: its dialog, or a box after its OK.
  bool SettingsUnderWay() const { return settingsUnderWay_; }

  OwnerWindow& Window() { return *window_; }
  TAPM& Apm() { return *APM; }
  const TAPM& Apm() const { return *APM; }

  ChargeSettings Settings;
  ChargeRun Run;

  TLabel Image1{"Image1", ControlKind::Picture};
  TLabel LMDGroupBox1{"LMDGroupBox1", ControlKind::Group};
  TLabel LMDSimpleLabel1{"LMDSimpleLabel1"};
  TLabel LMDLabel1{"LMDLabel1"};
  TLabel LMDSimpleLabel3{"LMDSimpleLabel3"};
  TProgressBar LMDProgress{"LMDProgress"};
  TLabel LMDGroupBox2{"LMDGroupBox2", ControlKind::Group};
  TLabel LMDSimpleLabel2{"LMDSimpleLabel2"};
  TSpinEdit SpinEdit1{"SpinEdit1", 0, 6, 1, 0};
  TLabel LMDSimpleLabel4{"LMDSimpleLabel4"};
  TSpinEdit SpinEdit2{"SpinEdit2", 0, 50, 10, 0};
  TLabel LMDSimpleLabel6{"LMDSimpleLabel6"};
  TCheckBox LMDCheckBox1{"LMDCheckBox1"};
  TButton SpeedButton1{"SpeedButton1"};
  TButton SpeedButton2{"SpeedButton2"};
  TButton SpeedButton3{"SpeedButton3"};
  TStatusBar StatusBar{"StatusBar", {kStatusPanel0Width, kStatusPanel1Width}};
  TTimer Timer1{"Timer1", 1000};

 private:
  void IdlePoll();
  // The run's one pair of writers: every path into a run goes through
  // StartRun (after the line has opened) and every path out through EndRun,
  // which closes the line, clears `Charging`, applies the idle layout, says
  // why in panel 0 and tells the desktop. EndRun is also safe while idle,
  // where the power rules use it for their message and layout.
  void StartRun();
  void EndRun(std::string_view message, RunEnd reason);
  // The run ends with the program: the line closed and the desktop told,
  // with no message and no layout for a window about to go.
  void EndRunWithProgram();
  // The controls' layout: while running only the stop button acts; idle,
  // everything but the stop button.
  void SetRunLayout(bool running);
  // Tells the task bar and, when the window is not looked at, the user that
  // a going run has ended; call after panel 0 has its message.
  void TellDesktopRunEnded(RunEnd reason);
  void ShutDownAtEnd();
  void SetNotConnected();
  // After a start that failed because this user may not open the handset's
  // device, says how to get the access; once a session, since joining a
  // group takes a new login.
  void ShowLineAccessHint(const LineOpenDiagnosis& diagnosis);
  void LoadSettings(StoreKey& key);
  // The dialog's OK with "StartWithSession" ticked, or unticked after it was
  // on: writes or removes the log-in entry, and keeps the setting true to
  // what the entry now is.
  void ApplyStartWithSession(bool wanted);
  // Whether a poll may start a run by itself now: not while the settings are
  // being loaded, the settings button's work is under way (the dialog, or a
  // box after its OK), a start is under way (its box's loop runs ticks) or
  // the program is closing, and not while a rule would end the run at once.
  bool CanStartByItself() const;
  // The two power rules that end a run on a tick, read as the tick reads
  // them: on battery power with "ACPowerFlag", and the battery below
  // "BatteryParcent" with "BatteryPowerFlag".
  bool OnBatteryRuleApplies() const;
  bool BelowBatteryThreshold() const;

  Platform& platform_;
  ErrorDisplay& errors_;
  OwnerWindow* window_ = nullptr;
  std::unique_ptr<TAPM> APM;
  TExitWin ExitWin;
  TConfForm* ConfForm = nullptr;
  // Reused by the tick so that an idle tick does not allocate.
  std::string scratch_;
  bool lineAccessHintShown_ = false;
  AutoChargeTrigger autoCharge_;
  bool settingsLoaded_ = false;
  bool settingsUnderWay_ = false;
  bool startUnderWay_ = false;
  // Set when the program starts to end (the close, the session's end).
  bool closing_ = false;
  // Panel 0 holds the reason the last run ended: the idle poll does not
  // replace it by the missing handset until the handset comes back, a button
  // is pressed or a run starts.
  bool endMessageHeld_ = false;
  std::string time_;
  PowerSourceText powerText_;
  RunStatusReporter runStatus_;
};

}  // namespace murrelet
