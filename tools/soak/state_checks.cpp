#include "tools/soak/state_checks.h"

#include <cstdint>
#include <initializer_list>

#include "charging/error_display.h"
#include "charging/settings_key.h"
#include "charging/texts.h"
#include "services/exit_win.h"

namespace murrelet::soak {
namespace {

constexpr int kLongestRunSeconds = 6 * 3600 + 50 * 60;

const char* const kValueNames[] = {kValueKestraName,     kValueACPowerFlag,    kValueBatteryPowerFlag,
                                   kValueBatteryParcent, kValueSuspendDisable, kValueHourTimer,
                                   kValueMinTimer,       kValueShutDownFlag};
// Added after 2.0: a store without them is no fault, so "の取得に失敗しました"
// is never a right box for them.
const char* const kOptionalValueNames[] = {kValueAutoCharge, kValueStartWithSession, kValueTrayIcon};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}
bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// "H:mm:ss" as the simulated clock formats it; -1 when it is not one.
int SecondsOfLongTime(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 6 ||
      text[colon + 3] != ':') {
    return -1;
  }
  for (std::size_t n = 0; n < text.size(); ++n) {
    if (n == colon || n == colon + 3) continue;
    if (text[n] < '0' || text[n] > '9') return -1;
  }
  const int hours = std::stoi(std::string(text.substr(0, colon)));
  const int minutes = (text[colon + 1] - '0') * 10 + (text[colon + 2] - '0');
  const int seconds = (text[colon + 4] - '0') * 10 + (text[colon + 5] - '0');
  if (minutes > 59 || seconds > 59) return -1;
  return hours * 3600 + minutes * 60 + seconds;
}

// The countdown text "充電中（残り H:mm:ss)"; its seconds, or -1.
int RemainingShown(std::string_view panel) {
  if (!StartsWith(panel, text::kChargingRemainingOpen) || !EndsWith(panel, text::kChargingRemainingClose)) return -1;
  const std::size_t open = std::string_view(text::kChargingRemainingOpen).size();
  const std::size_t close = std::string_view(text::kChargingRemainingClose).size();
  if (panel.size() < open + close) return -1;
  return SecondsOfLongTime(panel.substr(open, panel.size() - open - close));
}

// "バッテリ残量がN％以下のため停止" with N a decimal number.
bool IsThresholdText(std::string_view panel) {
  if (!StartsWith(panel, text::kBatteryThresholdOpen) || !EndsWith(panel, text::kBatteryThresholdClose)) return false;
  const std::size_t open = std::string_view(text::kBatteryThresholdOpen).size();
  const std::size_t close = std::string_view(text::kBatteryThresholdClose).size();
  if (panel.size() <= open + close) return false;
  std::string_view number = panel.substr(open, panel.size() - open - close);
  if (number.front() == '-') number.remove_prefix(1);
  if (number.empty() || number.size() > 10) return false;
  for (const char c : number) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A name the not-connected texts may carry: the handset name now, or the
// empty name and the default a tick inside a start-up box can see before
// the settings are in place.
bool IsKnownHandsetName(const TMainForm& main, std::string_view name) {
  return name == main.Settings.HandsetName || name.empty() || name == text::kDefaultHandsetName;
}

bool IsNotConnectedText(const TMainForm& main, std::string_view text) {
  return EndsWith(text, text::kNotConnected) &&
         IsKnownHandsetName(main, text.substr(0, text.size() - std::string_view(text::kNotConnected).size()));
}

// "<handset name>との接続が切れたため充電停止".
bool IsConnectionLostText(const TMainForm& main, std::string_view text) {
  return EndsWith(text, text::kConnectionLost) &&
         IsKnownHandsetName(main, text.substr(0, text.size() - std::string_view(text::kConnectionLost).size()));
}

bool IsPanelText(const TMainForm& main, std::string_view panel) {
  for (const char* fixed : {"", text::kChargingUntimed, text::kChargeComplete, text::kShutdownStarting,
                            text::kStoppedOnBattery, text::kStoppedLowBattery, text::kStoppedSuspend}) {
    if (panel == fixed) return true;
  }
  const int remaining = RemainingShown(panel);
  if (remaining >= 0) return remaining < kLongestRunSeconds;
  return IsThresholdText(panel) || IsNotConnectedText(main, panel) || IsConnectionLostText(main, panel);
}

// Texts of the standard error display: the shutdown errors and the store's.
bool IsStandardErrorText(std::string_view shown) {
  for (const char* message : {kTokenMessage, kPrivilegeMessage, kPowerOffMessage}) {
    if (shown == StandardErrorText(message)) return true;
  }
  for (const char* pattern : {text::kReadFailed, text::kWrongType, text::kWriteFailed}) {
    for (const char* name : kValueNames) {
      if (shown == StandardErrorText(WithName(pattern, name))) return true;
    }
  }
  for (const char* pattern : {text::kWrongType, text::kWriteFailed}) {
    for (const char* name : kOptionalValueNames) {
      if (shown == StandardErrorText(WithName(pattern, name))) return true;
    }
  }
  return false;
}

bool IsProgramBox(const TMainForm* main, const sim::RecordedBox& box) {
  if (box.kind == BoxKind::Information) {
    // The first-start notice, or the advice after a start this user may not open.
    return box.caption == kInformationCaption &&
           (box.text == text::kFirstStart || box.text.find(text::kLineAccessDenied) != std::string::npos);
  }
  if (box.caption == text::kApplicationTitle) return IsStandardErrorText(box.text);
  if (box.caption != kErrorCaption) return false;
  if (box.text == text::kCannotWriteStore) return true;
  if (box.text == text::kCannotWriteSessionStart || box.text == text::kCannotRemoveSessionStart) return true;
  // The box may come from a copy that has ended since; then only the suffix is
  // known.
  return main != nullptr ? IsNotConnectedText(*main, box.text) : EndsWith(box.text, text::kNotConnected);
}

void Add(Findings& out, const char* id, std::string detail) { out.push_back({id, std::move(detail)}); }

}  // namespace

std::string WithName(const char* pattern, std::string_view name) {
  std::string message(pattern);
  message.replace(message.find("%s"), 2, name);
  return message;
}

void CheckLineHandles(const sim::SimPlatform& sim, TApplication* app, Findings& out) {
  const sim::SimTapi& tapi = sim.tapi;
  if (tapi.MaxLineAppsAlive() > 1) {
    Add(out, "two-line-apps", std::to_string(tapi.MaxLineAppsAlive()) + " line applications were alive at once");
  }
  const TMainForm* main = app != nullptr && app->Running() ? app->MainForm() : nullptr;
  if (main == nullptr) {
    if (tapi.LineAppsAlive() != 0 || tapi.LinesOpen() != 0) {
      Add(out, "handles-after-exit",
          "the program is not running but " + std::to_string(tapi.LineAppsAlive()) + " line applications and " +
              std::to_string(tapi.LinesOpen()) + " lines are alive");
    }
    return;
  }
  const ChargeRun& run = main->Run;
  // A line the system has closed is gone from the open ones; the run holds
  // its line application until the next tick ends it.
  const bool closedBySystem = run.Charging && tapi.LineClosedBySystem(run.Line);
  if (run.Charging) {
    if (static_cast<std::int32_t>(run.Line) < 1 || (!closedBySystem && !tapi.IsOpenLine(run.Line)) ||
        !tapi.IsLiveApp(run.LineApp) || tapi.LineAppsAlive() != 1 || tapi.LinesOpen() != (closedBySystem ? 0u : 1u)) {
      Add(out, "charging-without-line",
          "Charging is true but LineApp=" + std::to_string(run.LineApp) + " Line=" + std::to_string(run.Line) +
              " apps alive=" + std::to_string(tapi.LineAppsAlive()) +
              " lines open=" + std::to_string(tapi.LinesOpen()));
    }
  } else if (run.LineApp != 0 || run.Line != 0 || tapi.LineAppsAlive() != 0 || tapi.LinesOpen() != 0) {
    Add(out, "line-without-charging",
        "Charging is false but LineApp=" + std::to_string(run.LineApp) + " Line=" + std::to_string(run.Line) +
            " apps alive=" + std::to_string(tapi.LineAppsAlive()) + " lines open=" + std::to_string(tapi.LinesOpen()));
  }
}

void CheckWindow(const TMainForm& main, Findings& out) {
  const ChargeRun& run = main.Run;
  if (main.SpeedButton3.Enabled() && !run.Charging) Add(out, "stop-enabled-idle", "SpeedButton3 enabled while idle");
  if (run.Charging) {
    for (const Control* control : std::initializer_list<const Control*>{
             &main.SpeedButton1, &main.SpeedButton2, &main.SpinEdit1, &main.SpinEdit2, &main.LMDCheckBox1}) {
      if (control->Enabled()) Add(out, "input-enabled-running", control->Name() + " enabled during a run");
    }
  }
  if (run.RemainingSeconds != NoTimeLimit && (run.RemainingSeconds < 0 || run.RemainingSeconds > kLongestRunSeconds)) {
    Add(out, "remaining-out-of-range", "RemainingSeconds=" + std::to_string(run.RemainingSeconds));
  }
  const std::string& panel = main.StatusBar.Panel(0);
  if (!IsPanelText(main, panel)) Add(out, "panel-text", "panel 0 holds \"" + panel + "\"");
  const int shown = RemainingShown(panel);
  if (run.Charging && run.RemainingSeconds >= 0 && shown >= 0 && shown != run.RemainingSeconds) {
    Add(out, "countdown-shown",
        "panel 0 shows " + std::to_string(shown) + " s left, RemainingSeconds=" + std::to_string(run.RemainingSeconds));
  }
  // The tick never stays off: the paths that stop it for a shutdown start it
  // again.
  if (!main.Timer1.Enabled()) Add(out, "timer-stopped", "Timer1 is disabled between actions");
}

void CheckServices(const sim::SimPlatform& sim, TApplication* app, std::size_t firstBox, Findings& out) {
  if (sim.store.openKeys != 0) Add(out, "store-key-open", std::to_string(sim.store.openKeys) + " store keys left open");
  if (!sim.shutdown.openTokens.empty()) {
    Add(out, "token-open", std::to_string(sim.shutdown.openTokens.size()) + " process tokens left open");
  }
  const TMainForm* main = app != nullptr ? app->MainForm() : nullptr;
  for (std::size_t n = firstBox; n < sim.boxes.shown.size(); ++n) {
    const sim::RecordedBox& box = sim.boxes.shown[n];
    if (!IsProgramBox(main, box)) {
      Add(out, "unexpected-box", "box \"" + box.caption + "\": \"" + box.text + "\"");
    }
  }
  for (const std::uint32_t flags : sim.execution.values) {
    if (flags != ES_SYSTEM_REQUIRED)
      Add(out, "execution-state", "SetThreadExecutionState(" + std::to_string(flags) + ")");
  }
  for (const std::uint32_t ms : sim.sleeper.waits) {
    if (ms != 500) Add(out, "sleep", "Sleep(" + std::to_string(ms) + ")");
  }
}

void CheckRunStatus(const sim::SimPlatform& sim, TApplication* app, Findings& out) {
  const TMainForm* main = app != nullptr && app->Running() ? app->MainForm() : nullptr;
  if (main != nullptr) {
    const TaskbarProgressState state = sim.runStatus.progress.state;
    const TaskbarProgressState expected = !main->Run.Charging                         ? TaskbarProgressState::None
                                          : main->Run.RemainingSeconds == NoTimeLimit ? TaskbarProgressState::Indeterminate
                                                                                      : TaskbarProgressState::Normal;
    if (state != expected) {
      Add(out, "taskbar-state", "the task bar's state is " + std::to_string(static_cast<int>(state)) + ", Charging=" +
                                    (main->Run.Charging ? "true" : "false"));
    }
  }
  if (!sim.runStatus.notices.empty()) {
    const sim::RecordedNotice& last = sim.runStatus.notices.back();
    const bool reason = last.text == text::kChargeComplete || last.text == text::kStoppedOnBattery ||
                        last.text == text::kStoppedLowBattery || IsThresholdText(last.text) ||
                        EndsWith(last.text, text::kConnectionLost);
    if (last.title != text::kApplicationTitle || !reason) {
      Add(out, "notice", "notice \"" + last.title + "\": \"" + last.text + "\"");
    }
  }
}

// The main window is never out of reach: on the screen or the task bar, or
// hidden behind an icon that stands. The icon stands exactly while the
// program runs with the setting on and a notification area to stand in, and
// goes with the program.
void CheckTray(const sim::SimPlatform& sim, TApplication* app, Findings& out) {
  const TMainForm* main = app != nullptr && app->Running() ? app->MainForm() : nullptr;
  if (main == nullptr) {
    if (sim.tray.visible) Add(out, "tray-after-exit", "the icon stands while the program is not running");
    return;
  }
  if (!main->Visible && !sim.tray.visible) {
    Add(out, "window-unreachable", "the main window is hidden and no icon stands");
  }
  const bool wanted = main->Settings.TrayIcon && sim.tray.available;
  if (sim.tray.visible != wanted) {
    Add(out, "tray-out-of-step", std::string("the icon ") + (sim.tray.visible ? "stands" : "is missing") +
                                     " with TrayIcon " + (main->Settings.TrayIcon ? "on" : "off"));
  }
  if (sim.tray.visible && !sim.tray.menu.empty()) {
    // Outside any modal loop the start and stop items act exactly as the buttons.
    const bool asButtons = sim.tray.menu[0].enabled == main->SpeedButton2.Enabled() &&
                           sim.tray.menu[1].enabled == main->SpeedButton3.Enabled();
    if (!asButtons) Add(out, "tray-menu", "the icon's start and stop items differ from the buttons");
  }
}

Findings CheckState(const sim::SimPlatform& sim, TApplication* app, std::size_t firstBox) {
  Findings out;
  CheckTray(sim, app, out);
  CheckLineHandles(sim, app, out);
  if (app != nullptr && app->Running()) CheckWindow(*app->MainForm(), out);
  CheckServices(sim, app, firstBox, out);
  CheckRunStatus(sim, app, out);
  return out;
}

}  // namespace murrelet::soak
