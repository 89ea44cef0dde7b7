// The observable state of the program and its simulated platform as JSON.
#include "charging/settings_key.h"
#include "charging/texts.h"
#include "tools/scenario/scenario.h"

namespace murrelet::scenario {
namespace {

const char* KindName(BoxKind kind) { return kind == BoxKind::Error ? "error" : "information"; }

const char* ProgressStateName(TaskbarProgressState state) {
  switch (state) {
    case TaskbarProgressState::Normal:
      return "normal";
    case TaskbarProgressState::Indeterminate:
      return "indeterminate";
    case TaskbarProgressState::None:
      break;
  }
  return "none";
}

Json Numbers(const std::vector<std::uint32_t>& values) {
  Json array = Json::MakeArray();
  for (const std::uint32_t value : values) array.Push(value);
  return array;
}

Json PanelsJson(const TStatusBar& status) {
  Json panels = Json::MakeArray();
  for (std::size_t n = 0; n < status.PanelCount(); ++n) panels.Push(status.Panel(n));
  return panels;
}

Json ControlsJson(const Form& form) {
  Json controls = Json::MakeObject();
  for (const Control* control : form.Controls()) {
    if (control->Kind() == ControlKind::Timer) continue;
    controls.Set(control->Name(), ControlJson(*control));
  }
  return controls;
}

}  // namespace

Json ControlJson(const Control& control) {
  Json json = Json::MakeObject();
  json.Set("text", control.Text());
  json.Set("enabled", control.Enabled());
  if (const auto* spin = dynamic_cast<const TSpinEdit*>(&control)) {
    json.Set("value", spin->Value());
    json.Set("min", spin->MinValue());
    json.Set("max", spin->MaxValue());
    json.Set("increment", spin->Increment());
  } else if (const auto* check = dynamic_cast<const TCheckBox*>(&control)) {
    json.Set("checked", check->Checked());
    if (!check->Description().empty()) json.Set("description", check->Description());
  } else if (const auto* bar = dynamic_cast<const TProgressBar*>(&control)) {
    json.Set("position", bar->Position());
    json.Set("shown", bar->ShownPercent());
  } else if (const auto* label = dynamic_cast<const TLabel*>(&control)) {
    json.Set("color", label->Color() == FontColor::Red ? "red" : "windowtext");
    json.Set("bold", label->Bold());
  } else if (const auto* button = dynamic_cast<const TButton*>(&control)) {
    json.Set("hint", button->Hint);
  } else if (const auto* status = dynamic_cast<const TStatusBar*>(&control)) {
    json.Set("panels", PanelsJson(*status));
  } else if (const auto* combo = dynamic_cast<const TComboBox*>(&control)) {
    Json items = Json::MakeArray();
    for (const std::string& item : combo->Items()) items.Push(item);
    json.Set("items", std::move(items));
  }
  return json;
}

Json Scenario::MainJson() const {
  if (!app_ || app_->MainForm() == nullptr) return lastMain_;
  const TMainForm& main = *app_->MainForm();
  Json json = Json::MakeObject();
  json.Set("caption", main.Caption());
  json.Set("visible", main.Visible);
  json.Set("minimized", sim_.forms.minimized.count(&main) != 0);
  json.Set("panels", PanelsJson(main.StatusBar));
  json.Set("controls", ControlsJson(main));
  json.Set("timer_enabled", main.Timer1.Enabled());

  const ChargeRun& run = main.Run;
  json.Set("run", Json::Object{{"Charging", run.Charging}, {"RemainingSeconds", run.RemainingSeconds},
                               {"DeviceId", run.DeviceId}, {"LineApp", run.LineApp}, {"Line", run.Line},
                               {"DevicePresent", run.DevicePresent}, {"Configured", run.Configured}});
  const ChargeSettings& settings = main.Settings;
  json.Set("settings",
           Json::Object{{"HandsetName", settings.HandsetName}, {"ACPowerFlag", settings.ACPowerFlag},
                        {"BatteryPowerFlag", settings.BatteryPowerFlag}, {"BatteryParcent", settings.BatteryParcent},
                        {"SuspendDisable", settings.SuspendDisable}, {"HourTimer", settings.HourTimer},
                        {"MinTimer", settings.MinTimer}, {"ShutDownFlag", settings.ShutDownFlag},
                        {"AutoCharge", settings.AutoCharge}, {"StartWithSession", settings.StartWithSession},
                         {"TrayIcon", settings.TrayIcon}});
  const TAPM& apm = main.Apm();
  json.Set("apm", Json::Object{{"ACPowerStatus", apm.ACPowerStatus}, {"ACPowerStatusFlag", apm.ACPowerStatusFlag},
                               {"BatteryChargeStatus", apm.BatteryChargeStatus},
                               {"BatteryChargeStatusFlag", apm.BatteryChargeStatusFlag},
                               {"BatteryLifePercent", apm.BatteryLifePercent}, {"BatteryLifeTime", apm.BatteryLifeTime},
                               {"BatteryLifeFullTime", apm.BatteryLifeFullTime}, {"Enabled", apm.Enabled}});
  return json;
}

Json Scenario::DialogJson() const {
  if (!app_ || app_->ConfForm() == nullptr) return lastDialog_;
  const TConfForm& conf = *app_->ConfForm();
  Json json = Json::MakeObject();
  json.Set("caption", conf.Caption());
  json.Set("visible", conf.Visible);
  json.Set("controls", ControlsJson(conf));
  return json;
}

Json Scenario::TrayJson() const {
  const sim::SimTrayIcon& tray = sim_.tray;
  Json json = Json::MakeObject();
  json.Set("available", tray.available);
  json.Set("visible", tray.visible);
  json.Set("look", tray.look == TrayLook::Charging ? "charging" : "idle");
  json.Set("tooltip", tray.tooltip);
  Json menu = Json::MakeArray();
  for (const TrayMenuItem& item : tray.menu) {
    Json entry = Json::MakeObject();
    entry.Set("text", item.text);
    entry.Set("enabled", item.enabled);
    menu.Push(std::move(entry));
  }
  json.Set("menu", std::move(menu));
  Json notices = Json::MakeArray();
  for (const sim::RecordedNotice& notice : tray.notices) {
    Json entry = Json::MakeObject();
    entry.Set("title", notice.title);
    entry.Set("text", notice.text);
    notices.Push(std::move(entry));
  }
  json.Set("notices", std::move(notices));
  return json;
}

Json Scenario::Dump(bool takeCalls) {
  std::vector<sim::TapiCall> fresh = sim_.tapi.TakeCalls();
  pendingCalls_.insert(pendingCalls_.end(), std::make_move_iterator(fresh.begin()),
                       std::make_move_iterator(fresh.end()));

  Json dump = Json::MakeObject();
  dump.Set("running", Running());
  dump.Set("exit_code", exitCode_);
  dump.Set("title", sim_.forms.applicationTitle);

  Json main = MainJson();
  // The run state, settings and power snapshot have their own top-level keys.
  Json run, settings, apm;
  bool timerEnabled = false;
  if (main.IsObject()) {
    if (const Json* r = main.Child("run")) run = *r;
    if (const Json* s = main.Child("settings")) settings = *s;
    if (const Json* a = main.Child("apm")) apm = *a;
    if (const Json* t = main.Child("timer_enabled")) timerEnabled = *t == Json(true);
    Json trimmed = Json::MakeObject();
    for (const char* key : {"caption", "visible", "minimized", "panels", "controls"}) {
      if (const Json* value = main.Child(key)) trimmed.Set(key, *value);
    }
    main = std::move(trimmed);
  }
  dump.Set("main", main);
  Json timer = Json::MakeObject();
  timer.Set("enabled", timerEnabled);
  timer.Set("skipped", timerSkipped_);
  dump.Set("timer", std::move(timer));
  dump.Set("run", run);
  dump.Set("settings", settings);
  dump.Set("apm", apm);

  Json boxes = Json::MakeArray();
  Json errors = Json::MakeArray();
  for (const sim::RecordedBox& box : sim_.boxes.shown) {
    Json entry = Json::MakeObject();
    entry.Set("kind", KindName(box.kind));
    entry.Set("caption", box.caption);
    entry.Set("text", box.text);
    boxes.Push(std::move(entry));
    if (box.kind == BoxKind::Error && box.caption == text::kApplicationTitle) errors.Push(box.text);
  }
  dump.Set("boxes", std::move(boxes));
  dump.Set("errors", std::move(errors));

  Json tapi = Json::MakeObject();
  tapi.Set("line_apps_alive", sim_.tapi.LineAppsAlive());
  tapi.Set("lines_open", sim_.tapi.LinesOpen());
  tapi.Set("max_line_apps_alive", sim_.tapi.MaxLineAppsAlive());
  Json counts = Json::MakeObject();
  for (const auto& [op, count] : sim_.tapi.Counts()) counts.Set(op, static_cast<long long>(count));
  tapi.Set("counts", std::move(counts));
  Json calls = Json::MakeArray();
  for (const sim::TapiCall& call : pendingCalls_) {
    Json entry = Json::MakeObject();
    entry.Set("op", call.op);
    for (const auto& [name, value] : call.args) entry.Set(name, static_cast<long long>(value));
    entry.Set("result", static_cast<long long>(call.result));
    calls.Push(std::move(entry));
  }
  tapi.Set("calls", std::move(calls));
  const LineOpenDiagnosis diagnosis = sim_.tapi.LastOpenDiagnosis();
  Json openDiagnosis = Json::MakeObject();
  openDiagnosis.Set("access_denied", diagnosis.accessDenied);
  openDiagnosis.Set("device", diagnosis.device);
  openDiagnosis.Set("group", diagnosis.group);
  openDiagnosis.Set("standing", diagnosis.standing == GroupStanding::NotMember          ? "none"
                                : diagnosis.standing == GroupStanding::JoinedSinceLogin ? "joined"
                                                                                        : "in-process");
  openDiagnosis.Set("join_command", diagnosis.joinCommand);
  tapi.Set("open_diagnosis", std::move(openDiagnosis));
  dump.Set("tapi", std::move(tapi));
  if (takeCalls) pendingCalls_.clear();

  Json shutdown = Json::MakeArray();
  for (const sim::ShutdownCall& call : sim_.shutdown.calls) {
    Json entry = Json::MakeObject();
    entry.Set("op", call.op);
    for (const auto& [name, value] : call.args) entry.Set(name, Json::Parse(value).value_or(Json(value)));
    entry.Set("result", call.result);
    shutdown.Push(std::move(entry));
  }
  dump.Set("shutdown", std::move(shutdown));
  dump.Set("second", second_);
  dump.Set("last_answer", lastAnswer_);
  dump.Set("execution_state", Numbers(sim_.execution.values));
  dump.Set("sleeps", Numbers(sim_.sleeper.waits));

  Json store = Json::MakeObject();
  const auto key = sim_.store.keys.find(SettingsKeyPath());
  store.Set("exists", key != sim_.store.keys.end());
  Json values = Json::MakeObject();
  if (key != sim_.store.keys.end()) {
    for (const auto& [name, value] : key->second) {
      Json entry = Json::MakeObject();
      if (const auto* text = std::get_if<std::string>(&value)) {
        entry.Set("type", "sz");
        entry.Set("data", *text);
      } else {
        entry.Set("type", "dword");
        entry.Set("data", std::get<std::uint32_t>(value));
      }
      values.Set(name, std::move(entry));
    }
  }
  store.Set("values", std::move(values));
  dump.Set("store", std::move(store));
  dump.Set("dialog", DialogJson());

  dump.Set("window_active", sim_.forms.programActive);
  Json sessionEntry = Json::MakeObject();
  sessionEntry.Set("present", sim_.sessionStart.present);
  sessionEntry.Set("writes", sim_.sessionStart.writes);
  dump.Set("session_entry", std::move(sessionEntry));
  Json taskbar = Json::MakeObject();
  taskbar.Set("state", ProgressStateName(sim_.runStatus.progress.state));
  taskbar.Set("percent", sim_.runStatus.progress.percent);
  taskbar.Set("updates", sim_.runStatus.progressUpdates);
  dump.Set("taskbar", std::move(taskbar));
  Json notices = Json::MakeArray();
  for (const sim::RecordedNotice& notice : sim_.runStatus.notices) {
    Json entry = Json::MakeObject();
    entry.Set("title", notice.title);
    entry.Set("text", notice.text);
    notices.Push(std::move(entry));
  }
  dump.Set("notices", std::move(notices));
  dump.Set("tray", TrayJson());
  return dump;
}

}  // namespace murrelet::scenario
