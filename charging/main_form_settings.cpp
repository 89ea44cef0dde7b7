// Loading and saving the settings, and the settings button.
#include "charging/conf_form.h"
#include "charging/error_display.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "charging/texts.h"
#include "kit/scope_exit.h"
#include "services/handset_line.h"

namespace murrelet {
namespace {

std::string WithValueName(const char* pattern, std::string_view name) {
  std::string message(pattern);
  const std::size_t at = message.find("%s");
  if (at != std::string::npos) message.replace(at, 2, name);
  return message;
}

// Reads one 32-bit value; a value that cannot be read is reported and leaves
// the field as it was, so the rest of the settings still load.
bool ReadDword(ErrorDisplay& errors, StoreKey& key, std::string_view name, std::uint32_t& value) {
  const StoreRead<std::uint32_t> result = key.ReadDword(name);
  if (result.status == ReadStatus::Ok) {
    value = result.value;
    return true;
  }
  errors.Show(WithValueName(result.status == ReadStatus::Missing ? text::kReadFailed : text::kWrongType, name));
  return false;
}

// Any non-zero value means true.
void ReadFlag(ErrorDisplay& errors, StoreKey& key, std::string_view name, bool& field) {
  std::uint32_t value = 0;
  if (ReadDword(errors, key, name, value)) field = value != 0;
}

// A flag added after 2.0: missing means off, silently, since every store
// from before has none. Another type is damage and is said like any other.
void ReadOptionalFlag(ErrorDisplay& errors, StoreKey& key, std::string_view name, bool& field) {
  const StoreRead<std::uint32_t> result = key.ReadDword(name);
  if (result.status == ReadStatus::Ok) field = result.value != 0;
  if (result.status == ReadStatus::WrongType) errors.Show(WithValueName(text::kWrongType, name));
}

void ReadNumber(ErrorDisplay& errors, StoreKey& key, std::string_view name, std::int32_t& field) {
  std::uint32_t value = 0;
  if (ReadDword(errors, key, name, value)) field = static_cast<std::int32_t>(value);
}

// Whether the key holds any setting besides the name. A first start that
// ended before its close leaves a key that holds none.
bool HoldsSettings(StoreKey& key) {
  for (const char* name : {kValueACPowerFlag, kValueBatteryPowerFlag, kValueBatteryParcent, kValueSuspendDisable,
                           kValueHourTimer, kValueMinTimer, kValueShutDownFlag}) {
    if (key.ReadDword(name).status != ReadStatus::Missing) return true;
  }
  return false;
}

}  // namespace

ChargeSettings FirstStartSettings() {
  ChargeSettings settings;
  settings.HandsetName = text::kDefaultHandsetName;
  settings.ACPowerFlag = false;
  settings.BatteryPowerFlag = false;
  settings.BatteryParcent = 30;
  settings.SuspendDisable = true;
  settings.ShutDownFlag = false;
  return settings;
}

void TMainForm::LoadSettings(StoreKey& key) {
  ReadFlag(errors_, key, kValueACPowerFlag, Settings.ACPowerFlag);
  ReadFlag(errors_, key, kValueBatteryPowerFlag, Settings.BatteryPowerFlag);
  ReadNumber(errors_, key, kValueBatteryParcent, Settings.BatteryParcent);
  ReadFlag(errors_, key, kValueSuspendDisable, Settings.SuspendDisable);
  ReadNumber(errors_, key, kValueHourTimer, Settings.HourTimer);
  ReadNumber(errors_, key, kValueMinTimer, Settings.MinTimer);
  ReadFlag(errors_, key, kValueShutDownFlag, Settings.ShutDownFlag);
  ReadOptionalFlag(errors_, key, kValueAutoCharge, Settings.AutoCharge);
  ReadOptionalFlag(errors_, key, kValueStartWithSession, Settings.StartWithSession);
  ReadOptionalFlag(errors_, key, kValueTrayIcon, Settings.TrayIcon);
  // While the setting is on, each start writes the log-in entry again, so it
  // names this program wherever it now lives: an install into another folder
  // removes the old folder's entry. Quietly: a start has nobody to ask, and
  // the dialog's OK says when the entry cannot be written.
  if (Settings.StartWithSession) platform_.sessionStart.Set(true);

  // The boxes clamp what they show and copy a changed value back into the
  // field, so a stored 9 hours becomes 6; a negative value shows as 0 but
  // stays in the field because the shown value does not change.
  SpinEdit1.SetValue(Settings.HourTimer);
  SpinEdit2.SetValue(Settings.MinTimer);
  LMDCheckBox1.SetCheckedQuietly(Settings.ShutDownFlag);
}

void TMainForm::FormCreate() {
  const std::string path = SettingsKeyPath();
  std::unique_ptr<StoreKey> key = platform_.store.OpenReadOnly(path);
  if (!key) key = platform_.store.OpenWritable(path);

  // A key without a usable handset name is a first start, also when an
  // earlier first start created the key and ended before writing into it. A
  // key that lost only its name (a hand edit the store could not read) keeps
  // the rest: the name is reported as any unreadable value is and keeps its
  // first-start default.
  std::string name;
  if (key) {
    StoreRead<std::string> stored = key->ReadString(kValueKestraName);
    // An empty name matches no line: it is read as a missing one, so the
    // other values are kept rather than replaced by a first start's.
    if (stored.status == ReadStatus::Ok && stored.value.empty()) stored.status = ReadStatus::Missing;
    if (stored.status == ReadStatus::Ok) {
      name = stored.value;
    } else {
      const bool holdsTheRest = HoldsSettings(*key);
      if (stored.status == ReadStatus::WrongType || holdsTheRest) {
        errors_.Show(WithValueName(stored.status == ReadStatus::Missing ? text::kReadFailed : text::kWrongType,
                                   kValueKestraName));
      }
      if (holdsTheRest) name = text::kDefaultHandsetName;
    }
  }
  Run.Configured = !name.empty();

  Settings = FirstStartSettings();
  if (Run.Configured) {
    Settings.HandsetName = name;
    LoadSettings(*key);
  } else {
    platform_.boxes.Show(BoxKind::Information, kInformationCaption, text::kFirstStart);
  }
  key.reset();
  PowerInfo();
  Run.DevicePresent = true;
  settingsLoaded_ = true;
}

bool TMainForm::WriteSettings(bool report) {
  std::unique_ptr<StoreKey> key = platform_.store.OpenWritable(SettingsKeyPath());
  if (!key) {
    if (report) platform_.boxes.Show(BoxKind::Error, kErrorCaption, text::kCannotWriteStore);
    return false;
  }
  // Every value is tried, so one refused value costs only itself; a refused
  // value keeps what the store held before.
  bool all = true;
  auto check = [this, report, &all](bool written, std::string_view name) {
    if (written) return;
    all = false;
    if (report) errors_.Show(WithValueName(text::kWriteFailed, name));
  };
  check(key->WriteString(kValueKestraName, Settings.HandsetName), kValueKestraName);
  check(key->WriteDword(kValueACPowerFlag, Settings.ACPowerFlag ? 1 : 0), kValueACPowerFlag);
  check(key->WriteDword(kValueBatteryPowerFlag, Settings.BatteryPowerFlag ? 1 : 0), kValueBatteryPowerFlag);
  check(key->WriteDword(kValueBatteryParcent, static_cast<std::uint32_t>(Settings.BatteryParcent)),
        kValueBatteryParcent);
  check(key->WriteDword(kValueSuspendDisable, Settings.SuspendDisable ? 1 : 0), kValueSuspendDisable);
  check(key->WriteDword(kValueHourTimer, static_cast<std::uint32_t>(Settings.HourTimer)), kValueHourTimer);
  check(key->WriteDword(kValueMinTimer, static_cast<std::uint32_t>(Settings.MinTimer)), kValueMinTimer);
  check(key->WriteDword(kValueShutDownFlag, Settings.ShutDownFlag ? 1 : 0), kValueShutDownFlag);
  check(key->WriteDword(kValueAutoCharge, Settings.AutoCharge ? 1 : 0), kValueAutoCharge);
  check(key->WriteDword(kValueStartWithSession, Settings.StartWithSession ? 1 : 0), kValueStartWithSession);
  check(key->WriteDword(kValueTrayIcon, Settings.TrayIcon ? 1 : 0), kValueTrayIcon);
  return all;
}

void TMainForm::WriteSettingsQuietly() {
  // Nobody may be there to answer a box: the session is ending.
  WriteSettings(false);
}

void TMainForm::RegistryWrite() {
  WriteSettings(true);
  PowerInfo();
  // A run started from the ticks of a box above ends here too.
  EndRunWithProgram();
}

void TMainForm::FormClose() {
  // The run ends before anything else: a box the write below may show runs
  // ticks, and they must find the line closed, no run left to count down or
  // keep the system awake for, and no run to start by themselves.
  closing_ = true;
  EndRunWithProgram();
  RegistryWrite();
}

void TMainForm::SessionEnding() {
  closing_ = true;
  EndRunWithProgram();
  WriteSettingsQuietly();
}

void TMainForm::SpeedButton1Click() {
  if (ConfForm == nullptr) return;
  TConfForm& conf = *ConfForm;
  conf.ShowHandsetNames(DataModemLineNames(platform_.tapi), Settings.HandsetName);
  conf.CheckBox1.SetChecked(Settings.ACPowerFlag);
  conf.CheckBox1Click();
  conf.CheckBox2.SetChecked(Settings.BatteryPowerFlag);
  conf.CheckBox3.SetChecked(Settings.SuspendDisable);
  conf.SpinEdit1.SetValue(Settings.BatteryParcent);
  conf.CheckBox4.SetChecked(Settings.AutoCharge);
  // The box shows what the session will do, which the entry decides: lost
  // settings may have left an entry behind, or something else removed it.
  conf.CheckBox5.SetChecked(platform_.sessionStart.IsSet());
  // Without a notification area the icon has nowhere to stand: the box keeps
  // the setting, out of reach, and says why to whoever reads it out.
  const bool trayAvailable = platform_.tray != nullptr && platform_.tray->Available();
  conf.CheckBox6.SetChecked(Settings.TrayIcon);
  conf.CheckBox6.SetEnabled(trayAvailable);
  conf.CheckBox6.SetDescription(trayAvailable ? "" : text::kNoNotificationArea);

  // No run starts by itself under the open dialog, nor under a box that its
  // OK shows before the start button is set; a handset plugged in meanwhile
  // starts on the first poll after this handler.
  settingsUnderWay_ = true;
  const ScopeExit closed([this] { settingsUnderWay_ = false; });
  if (platform_.forms.ShowModal(conf) != TModalResult::Ok) return;

  // The poll of the next tick looks for the handset by its new name (never an
  // empty one: the dialog's OK takes none).
  Settings.HandsetName = conf.StaticText.Text();
  Settings.ACPowerFlag = conf.CheckBox1.Checked();
  Settings.BatteryPowerFlag = conf.CheckBox2.Checked();
  Settings.BatteryParcent = conf.SpinEdit1.Value();
  Settings.SuspendDisable = conf.CheckBox3.Checked();
  Settings.AutoCharge = conf.CheckBox4.Checked();
  Settings.TrayIcon = conf.CheckBox6.Checked();
  // Ticked, the entry is written on every OK, so it names this program even
  // after the program has moved; unticked, an entry that is there is removed,
  // whatever the setting said.
  const bool withSession = conf.CheckBox5.Checked();
  if (withSession || Settings.StartWithSession || platform_.sessionStart.IsSet()) {
    ApplyStartWithSession(withSession);
  }
  // Taken values are stored at once, so no end of the session loses them.
  WriteSettings(true);

  if (!Run.Configured) {
    SpeedButton2.SetEnabled(true);
    SpeedButton3.SetEnabled(false);
    Run.Configured = true;
  }
}

void TMainForm::ApplyStartWithSession(bool wanted) {
  if (platform_.sessionStart.Set(wanted)) {
    Settings.StartWithSession = wanted;
    return;
  }
  // The setting keeps saying what the session will do.
  Settings.StartWithSession = platform_.sessionStart.IsSet();
  platform_.boxes.Show(BoxKind::Error, kErrorCaption,
                       wanted ? text::kCannotWriteSessionStart : text::kCannotRemoveSessionStart);
}

}  // namespace murrelet
