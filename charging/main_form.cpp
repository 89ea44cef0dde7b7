#include "charging/main_form.h"

#include "charging/error_display.h"
#include "charging/line_access_hint.h"
#include "charging/remaining_time.h"
#include "charging/texts.h"
#include "charging/window_layouts.h"
#include "kit/scope_exit.h"
#include "services/handset_line.h"

namespace murrelet {

TMainForm::TMainForm(Platform& platform, ErrorDisplay& errors)
    : Form("MainForm", text::kMainCaption, kMainClientWidth, kMainClientHeight, MainFormLayout(), kDesignFont,
           WindowRole::Main),
      platform_(platform),
      errors_(errors),
      ExitWin(platform.shutdown),
      runStatus_(platform.runStatus) {
  for (Control* control : std::initializer_list<Control*>{
           &Image1, &LMDGroupBox1, &LMDSimpleLabel1, &LMDLabel1, &LMDSimpleLabel3, &LMDProgress, &LMDGroupBox2,
           &LMDSimpleLabel2, &SpinEdit1, &LMDSimpleLabel4, &SpinEdit2, &LMDSimpleLabel6, &LMDCheckBox1,
           &SpeedButton1, &SpeedButton2, &SpeedButton3, &StatusBar, &Timer1}) {
    Add(*control);
  }
  LMDProgress.SetPosition(50);
  SpeedButton1.Hint = "環境設定";
  SpeedButton3.SetEnabled(false);
  // The window exists before the monitor hooks it; the timer runs from here on.
  window_ = &platform.forms.CreateWindow(*this);
  APM = std::make_unique<TAPM>(window_, platform.power);

  // A button pressed is something new: the last run's reason may go.
  SpeedButton1.OnClick = [this](Control&) { endMessageHeld_ = false; SpeedButton1Click(); };
  SpeedButton2.OnClick = [this](Control&) { endMessageHeld_ = false; SpeedButton2Click(); };
  SpeedButton3.OnClick = [this](Control&) { endMessageHeld_ = false; SpeedButton3Click(); };
  SpinEdit1.OnChange = [this](Control&) { SpinEdit1Change(); };
  SpinEdit2.OnChange = [this](Control&) { SpinEdit2Change(); };
  LMDCheckBox1.OnClick = [this](Control&) { LMDCheckBox1Change(); };
  Timer1.OnTimer = [this](Control&) { Timer1Timer(); };
  APM->OnPowerStatusChange = [this](TAPM&) { APMPowerStatusChange(); };
  APM->OnBatteryLow = [this](TAPM&) { APMBatteryLow(); };
  APM->OnSuspendQuery = [this](TAPM&) { APMSuspendQuery(); };
  APM->OnOverrideableSuspendQuery = [this](TAPM&, bool& CanSuspend) { APMOverrideableSuspendQuery(CanSuspend); };
}

TMainForm::~TMainForm() {
  // The monitor goes first, so the window gets its own procedure back.
  APM.reset();
}

bool TMainForm::ChargeStart() {
  Run.DeviceId = FindHandsetLine(platform_.tapi, Settings.HandsetName);
  if (Run.DeviceId != kNoDevice) {
    OpenHandsetLine(platform_.tapi, Run.DeviceId, Run.LineApp, Run.Line);
    if (static_cast<std::int32_t>(Run.Line) >= 1) return true;
    // A handle the run cannot count as open is given back at once, so no line
    // stays open behind a run that never started.
    ChargeStop();
  }
  // Taken before the box: the ticks of its modal loop search again, and every
  // search clears what the failed open reported.
  const LineOpenDiagnosis diagnosis = platform_.tapi.LastOpenDiagnosis();
  platform_.boxes.Show(BoxKind::Error, kErrorCaption, Settings.HandsetName + text::kNotConnected);
  ShowLineAccessHint(diagnosis);
  return false;
}

void TMainForm::ShowLineAccessHint(const LineOpenDiagnosis& diagnosis) {
  if (lineAccessHintShown_ || !diagnosis.accessDenied) return;
  lineAccessHintShown_ = true;
  platform_.boxes.Show(BoxKind::Information, kInformationCaption, LineAccessHint(Settings.HandsetName, diagnosis));
}

void TMainForm::ChargeStop() {
  CloseHandsetLine(platform_.tapi, Run.LineApp, Run.Line);
  Run.LineApp = 0;
  Run.Line = 0;
}

void TMainForm::ButtonEnabled() { SetRunLayout(false); }

void TMainForm::SetRunLayout(bool running) {
  SpeedButton1.SetEnabled(!running);
  SpeedButton2.SetEnabled(!running);
  SpinEdit1.SetEnabled(!running);
  SpinEdit2.SetEnabled(!running);
  LMDCheckBox1.SetEnabled(!running);
  SpeedButton3.SetEnabled(running);
}

void TMainForm::ShutDown() {
  StatusBar.SetPanel(0, text::kShutdownStarting);
  ExitWin.ShutDownSystem();
}

void TMainForm::ShutDownAtEnd() {
  Timer1.SetEnabled(false);
  // Once the request has returned the program is still here: the clock and
  // the handset poll go on, also when the request failed.
  const ScopeExit restart([this] { Timer1.SetEnabled(true); });
  // The shutdown ends the program without its close: the settings go first.
  WriteSettingsQuietly();
  ShutDown();
}

void TMainForm::SpeedButton2Click() {
  startUnderWay_ = true;
  const ScopeExit done([this] { startUnderWay_ = false; });
  // The running layout comes first: the search and the open may show a box
  // whose own loop runs ticks.
  SetRunLayout(true);

  Run.RemainingSeconds = SpinEdit1.Value() * 3600 + SpinEdit2.Value() * 60;
  if (Run.RemainingSeconds == 0) Run.RemainingSeconds = NoTimeLimit;

  if (ChargeStart()) {
    StartRun();
    return;
  }
  ButtonEnabled();
}

void TMainForm::SpeedButton3Click() { EndRun("", RunEnd::StopButton); }

void TMainForm::SpinEdit1Change() { Settings.HourTimer = SpinEdit1.Value(); }
void TMainForm::SpinEdit2Change() { Settings.MinTimer = SpinEdit2.Value(); }
void TMainForm::LMDCheckBox1Change() { Settings.ShutDownFlag = LMDCheckBox1.Checked(); }

void TMainForm::SetNotConnected() {
  scratch_.assign(Settings.HandsetName);
  scratch_.append(text::kNotConnected);
  StatusBar.SetPanel(0, scratch_);
}

void TMainForm::IdlePoll() {
  const HandsetSearch search = SearchHandsetLine(platform_.tapi, Settings.HandsetName);
  Run.DeviceId = search.deviceId;
  const bool found = Run.DeviceId != kNoDevice;
  if (!found) {
    // Why the last run ended says more than a missing handset, and stays
    // until something new happens; the buttons still follow the handset.
    if (!endMessageHeld_) SetNotConnected();
    SpeedButton2.SetEnabled(false);
    SpeedButton3.SetEnabled(false);
    Run.DevicePresent = false;
  } else {
    // While the handset stays present, panel 0 keeps the last message.
    if (!Run.DevicePresent) {
      StatusBar.SetPanel(0, "");
      endMessageHeld_ = false;
    }
    SpeedButton2.SetEnabled(true);
    SpeedButton3.SetEnabled(false);
    Run.DevicePresent = true;
  }
  // A connection's one start by itself is the start button's own click,
  // with the time in the window and every rule, box and notice of it. A
  // search that could not look is no unplug: the connection stays as it was.
  const HandsetSeen seen = found ? HandsetSeen::Found : search.looked ? HandsetSeen::Absent : HandsetSeen::Unknown;
  if (autoCharge_.Poll(seen, Settings.AutoCharge, CanStartByItself())) SpeedButton2Click();
}

bool TMainForm::OnBatteryRuleApplies() const { return Settings.ACPowerFlag && APM->ACPowerStatusFlag == 0; }

bool TMainForm::BelowBatteryThreshold() const {
  return Settings.BatteryPowerFlag && APM->BatteryLifePercent < Settings.BatteryParcent;
}

bool TMainForm::CanStartByItself() const {
  if (!settingsLoaded_ || settingsUnderWay_ || startUnderWay_ || closing_) return false;
  // A run that a rule would end on the next tick is not started: with the
  // shutdown option on, the threshold would shut the computer down at every
  // log-in. The connection's start waits for the poll where no rule stands
  // in the way (AC back, the battery no longer below the threshold).
  return !OnBatteryRuleApplies() && !BelowBatteryThreshold();
}

void TMainForm::StartRun() {
  Run.Charging = true;
  // Any run uses up the connection's one start, the button's too, so its end
  // does not start another while the handset stays.
  autoCharge_.RunStarted();
  endMessageHeld_ = false;
  runStatus_.Started(Run.RemainingSeconds);
}

void TMainForm::EndRun(std::string_view message, RunEnd reason) {
  const bool wasCharging = Run.Charging;
  ChargeStop();
  Run.Charging = false;
  ButtonEnabled();
  StatusBar.SetPanel(0, message);
  // The power rules also say their message while idle: only a run's end is held.
  if (wasCharging) endMessageHeld_ = !message.empty();
  if (wasCharging) TellDesktopRunEnded(reason);
}

void TMainForm::EndRunWithProgram() {
  const bool wasCharging = Run.Charging;
  // The handset stops charging when the program ends; closing the line here
  // says so explicitly rather than leaving it to the process's end.
  if (Run.LineApp != 0 || Run.Line != 0) ChargeStop();
  Run.Charging = false;
  if (wasCharging) TellDesktopRunEnded(RunEnd::Closing);
}

void TMainForm::TellDesktopRunEnded(RunEnd reason) {
  runStatus_.Ended(reason, StatusBar.Panel(0), platform_.forms.IsActive(*this));
}

void TMainForm::Timer1Timer() {
  platform_.clock.FormatLongTime(platform_.clock.Now(), scratch_);
  StatusBar.SetPanel(1, scratch_);

  PowerInfo();

  // A run whose line the system has closed charges nothing: it ends here,
  // before the keep-awake request, and never leads to a shutdown.
  if (Run.Charging && platform_.tapi.LineClosedBySystem(Run.Line)) {
    scratch_.assign(Settings.HandsetName);
    scratch_.append(text::kConnectionLost);
    EndRun(scratch_, RunEnd::ConnectionLost);
    return;
  }

  if (Run.Charging && Settings.SuspendDisable) platform_.execution.SetThreadExecutionState(ES_SYSTEM_REQUIRED);

  if (!Run.Charging) {
    IdlePoll();
    return;
  }

  if (Run.RemainingSeconds != NoTimeLimit) {
    if (Run.RemainingSeconds > 0) {
      --Run.RemainingSeconds;
      FormatRemainingTime(Run.RemainingSeconds, time_);
      scratch_.assign(text::kChargingRemainingOpen);
      scratch_.append(time_);
      scratch_.append(text::kChargingRemainingClose);
      StatusBar.SetPanel(0, scratch_);
    } else {
      EndRun(text::kChargeComplete, RunEnd::TimeUsedUp);
      if (Settings.ShutDownFlag) ShutDownAtEnd();
    }
  } else {
    StatusBar.SetPanel(0, text::kChargingUntimed);
  }

  if (Run.Charging && BelowBatteryThreshold()) {
    scratch_.assign(text::kBatteryThresholdOpen);
    scratch_.append(std::to_string(Settings.BatteryParcent));
    scratch_.append(text::kBatteryThresholdClose);
    EndRun(scratch_, RunEnd::BatteryThreshold);
    if (Settings.ShutDownFlag) ShutDownAtEnd();
  }

  if (Run.Charging) runStatus_.Counted(Run.RemainingSeconds);
}

}  // namespace murrelet
