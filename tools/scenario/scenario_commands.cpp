// The script's commands: one table of names, handlers and usages, and the
// handlers, which check their words and act on the simulated platform.
#include <cstdio>

#include "charging/settings_key.h"
#include "tools/scenario/scenario.h"

namespace murrelet::scenario {
namespace {

// "key=value" split at the first '='; value empty and false when there is none.
bool SplitKey(const std::string& word, std::string& key, std::string& value) {
  const std::size_t at = word.find('=');
  if (at == std::string::npos) return false;
  key = word.substr(0, at);
  value = word.substr(at + 1);
  return true;
}

std::optional<bool> OkFail(const std::string& value) {
  if (value == "ok") return true;
  if (value == "fail") return false;
  return std::nullopt;
}

std::optional<bool> OnOff(const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  return std::nullopt;
}

// A command with one argument out of two words: true for `first`, false for
// `second`, nullopt for any other line.
std::optional<bool> OneOfTwo(const std::vector<std::string>& w, std::string_view first, std::string_view second) {
  if (w.size() != 2 || (w[1] != first && w[1] != second)) return std::nullopt;
  return w[1] == first;
}

template <typename T>
std::optional<T> NumberIn(const std::string& word, std::int64_t low, std::int64_t high) {
  const auto n = ParseNumber(word);
  if (!n || *n < low || *n > high) return std::nullopt;
  return static_cast<T>(*n);
}

}  // namespace

// One row per command: its name, its handler and how it is written.
std::span<const Scenario::Command> Scenario::Commands() {
  static constexpr Command kCommands[] = {
      {"device", &Scenario::CmdDevice, "device add|set|remove ..."},
      {"tapi", &Scenario::CmdTapi, "tapi init=ok|fail|reinit [fail=OPERATION ...] [next_line=N]"},
      {"time", &Scenario::CmdTime, "time HH:MM:SS"},
      {"time-format", &Scenario::CmdTimeFormat, "time-format 24h|12h"},
      {"start", &Scenario::CmdStart, "start [session]"},
      {"start-second", &Scenario::CmdStartSecond, "start-second takes no arguments"},
      {"tick", &Scenario::CmdTick, "tick [N]"},
      {"click", &Scenario::CmdClick, "click CONTROL"},
      {"spin", &Scenario::CmdSpin, "spin CONTROL up|down|VALUE"},
      {"check", &Scenario::CmdCheck, "check CONTROL on|off"},
      {"modal-ticks", &Scenario::CmdModalTicks, "modal-ticks N"},
      {"close", &Scenario::CmdClose, "close takes no arguments"},
      {"windows-end", &Scenario::CmdWindowsEnd, "windows-end takes no arguments"},
      {"kill", &Scenario::CmdKill, "kill takes no arguments"},
      {"dump", &Scenario::CmdDump, "dump takes no arguments"},
      {"expect", &Scenario::CmdExpect, "expect PATH JSON"},
      {"show", &Scenario::CmdShow, "show takes no arguments"},
      {"power", &Scenario::CmdPower, "power fail | power ac=N flag=N percent=N life=N full=N"},
      {"broadcast", &Scenario::CmdBroadcast, "broadcast WPARAM LPARAM"},
      {"message", &Scenario::CmdMessage, "message MSG WPARAM LPARAM"},
      {"platform", &Scenario::CmdPlatform, "platform nt|other"},
      {"shutdown", &Scenario::CmdShutdown, "shutdown token=ok|fail lookup=ok|fail adjust=ok|fail exit=ok|fail"},
      {"store", &Scenario::CmdStore,
       "store absent | set NAME sz \"TEXT\" | set NAME dword N | delete NAME | readonly-fail | create-fail | "
       "write-fail NAME | ok"},
      {"dialog", &Scenario::CmdDialog, "dialog [CONTROL=VALUE ...] [ticks=N] ok|cancel|close"},
      {"window", &Scenario::CmdWindow, "window active|inactive"},
      {"line-closed", &Scenario::CmdLineClosed, "line-closed takes no arguments"},
      {"session-entry", &Scenario::CmdSessionEntry, "session-entry ok|fail|present|absent|removed"},
      {"minimize", &Scenario::CmdMinimize, "minimize takes no arguments"},
      {"tray", &Scenario::CmdTray, "tray activate | tray menu \"TEXT\" | tray available yes|no"},
  };
  return kCommands;
}

int Scenario::StartProgram(bool second, TApplication::StartedBy startedBy) {
  if (Running()) {
    // A second copy on the same desktop: it sees the first one's lock.
    TApplication copy(sim_.platform);
    const bool started = copy.Start(startedBy) == TApplication::StartResult::Running;
    second_.Set("started", started);
    second_.Set("exit_code", 0);
    second_.Set("windows_created", copy.WindowsCreated());
    if (started) copy.WindowsEnding();
    return kOk;
  }
  app_ = std::make_unique<TApplication>(sim_.platform);
  exitCode_ = nullptr;
  lastAnswer_ = nullptr;
  const bool started = app_->Start(startedBy) == TApplication::StartResult::Running;
  if (second) {
    second_.Set("started", started);
    second_.Set("exit_code", started ? Json() : Json(0));
    second_.Set("windows_created", app_->WindowsCreated());
  }
  if (!started) {
    app_.reset();
    exitCode_ = 0;
  }
  return kOk;
}

int Scenario::CmdStart(const Line& line) {
  // "start session": the session starts the program at log-in, through the
  // entry that "ログイン時に起動する。" writes.
  const bool bySession = line.words.size() == 2 && line.words[1] == "session";
  if (line.words.size() != 1 && !bySession) return Usage(line);
  return StartProgram(false, bySession ? TApplication::StartedBy::Session : TApplication::StartedBy::User);
}

int Scenario::CmdStartSecond(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  return StartProgram(true);
}

int Scenario::CmdTick(const Line& line) {
  const std::vector<std::string>& w = line.words;
  int count = 1;
  if (w.size() > 2) return Usage(line);
  if (w.size() == 2) {
    auto n = NumberIn<int>(w[1], 0, 10'000'000);
    if (!n) return Fail(line, "tick count must be 0 to 10000000");
    count = *n;
  }
  Tick(count);
  return kOk;
}

int Scenario::CmdModalTicks(const Line& line) {
  const std::vector<std::string>& w = line.words;
  auto n = w.size() == 2 ? NumberIn<int>(w[1], 0, 1'000'000) : std::nullopt;
  if (!n) return Usage(line);
  sim_.boxes.modalTicks = *n;
  return kOk;
}

int Scenario::CmdClose(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  if (Running()) app_->CloseMainWindow();
  return kOk;
}

int Scenario::CmdWindowsEnd(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  if (Running()) app_->WindowsEnding();
  return kOk;
}

int Scenario::CmdKill(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  if (Running()) EndProcess();
  return kOk;
}

int Scenario::CmdDump(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  out_ << Dump(true).Serialize() << "\n";
  return kOk;
}

int Scenario::CmdShow(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  out_ << ShowLine() << "\n";
  return kOk;
}

int Scenario::CmdBroadcast(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() != 3) return Usage(line);
  return SendToMainWindow(WM_POWERBROADCAST, w[1], w[2], line);
}

int Scenario::CmdMessage(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() != 4) return Usage(line);
  auto message = NumberIn<std::uint32_t>(w[1], 0, 0xFFFFFFFF);
  if (!message) return Fail(line, "bad message number");
  return SendToMainWindow(*message, w[2], w[3], line);
}

int Scenario::CmdWindow(const Line& line) {
  const auto active = OneOfTwo(line.words, "active", "inactive");
  if (!active) return Usage(line);
  sim_.forms.programActive = *active;
  // The user brings the program's window forward: a minimised one opens.
  if (*active) sim_.forms.minimized.clear();
  return kOk;
}

int Scenario::CmdSessionEntry(const Line& line) {
  if (const auto ok = OneOfTwo(line.words, "ok", "fail")) {
    sim_.sessionStart.fail = !*ok;
    return kOk;
  }
  // The entry put there or taken away by something else (a left-over of
  // lost settings, the desktop's own start-up settings, an uninstaller),
  // not by the program; "removed" is "absent" as an uninstaller leaves it.
  if (line.words.size() == 2 && line.words[1] == "removed") {
    sim_.sessionStart.present = false;
    return kOk;
  }
  const auto present = OneOfTwo(line.words, "present", "absent");
  if (!present) return Usage(line);
  sim_.sessionStart.present = *present;
  return kOk;
}

int Scenario::CmdMinimize(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  if (!Running()) return kOk;
  TMainForm& main = *app_->MainForm();
  // Only a window on the screen has a minimise button to press.
  if (!main.Visible) return kOk;
  sim_.forms.minimized.insert(&main);
  app_->MainWindowMinimized();
  return kOk;
}

int Scenario::CmdTray(const Line& line) {
  const std::vector<std::string>& w = line.words;
  sim::SimTrayIcon& tray = sim_.tray;
  if (w.size() == 3 && w[1] == "available" && (w[2] == "yes" || w[2] == "no")) {
    // A panel that starts or quits: the program hears of it like any event.
    tray.SetAvailable(w[2] == "yes");
    if (Running() && tray.Events() != nullptr) app_->Deliver([&] { tray.Events()->TrayAvailabilityChanged(); });
    return kOk;
  }
  const bool activate = w.size() == 2 && w[1] == "activate";
  const bool menu = w.size() == 3 && w[1] == "menu";
  if (!activate && !menu) return Usage(line);
  // Nothing to click while no icon stands.
  if (!Running() || !tray.visible || tray.Events() == nullptr) return kOk;
  if (activate) {
    app_->Deliver([&] { tray.Events()->TrayActivated(); });
    return kOk;
  }
  for (std::size_t n = 0; n < tray.menu.size(); ++n) {
    if (tray.menu[n].text != w[2]) continue;
    // A disabled item is handed on all the same: the program must ignore a
    // choice its menu no longer offers.
    app_->Deliver([&] { tray.Events()->TrayMenuChosen(n); });
    return kOk;
  }
  return Fail(line, "the icon's menu has no item \"" + w[2] + "\"");
}

int Scenario::CmdDevice(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 2) return Usage(line);
  auto& devices = sim_.tapi.devices;
  std::size_t first = 0;
  sim::SimLineDevice* device = nullptr;
  sim::SimLineDevice added;
  if (w[1] == "add") {
    if (w.size() < 3) return Fail(line, "device add \"NAME\" [key=value ...]");
    added.name = w[2];
    device = &added;
    first = 3;
  } else if (w[1] == "set" || w[1] == "remove") {
    auto id = w.size() >= 3 ? NumberIn<std::size_t>(w[2], 0, 0x7FFFFFFF) : std::nullopt;
    if (!id || *id >= devices.size()) return Fail(line, "no device with that identifier");
    if (w[1] == "remove") {
      if (w.size() != 3) return Fail(line, "device remove ID");
      sim_.tapi.RemoveDevice(*id);
      return kOk;
    }
    device = &devices[*id];
    first = 3;
  } else {
    return Usage(line);
  }
  sim::SimLineDevice changed = *device;
  for (std::size_t n = first; n < w.size(); ++n) {
    std::string key, value;
    if (!SplitKey(w[n], key, value)) return Fail(line, "expected key=value, got '" + w[n] + "'");
    if (key == "name" && w[1] == "set") {
      changed.name = value;
    } else if (key == "media" || key == "needed" || key == "name_offset" || key == "name_size") {
      auto number = NumberIn<std::uint32_t>(value, 0, 0xFFFFFFFF);
      if (!number) return Fail(line, key + " must be a 32-bit number");
      if (key == "media") changed.media = *number;
      if (key == "needed") changed.needed = *number;
      if (key == "name_offset") changed.nameOffset = *number;
      if (key == "name_size") changed.nameSize = *number;
    } else if (key == "api" && (value == "ok" || value == "refuse")) {
      changed.acceptsVersion = value == "ok";
    } else if ((key == "caps" || key == "open") && OkFail(value)) {
      (key == "caps" ? changed.capsOk : changed.openOk) = *OkFail(value);
      if (key == "open") changed.openDenied = false;
    } else if (key == "open" && value == "denied") {
      changed.openDenied = true;
    } else if (key == "node" || key == "group") {
      (key == "node" ? changed.node : changed.group) = value;
    } else if (key == "standing" && (value == "none" || value == "joined" || value == "in-process")) {
      changed.standing = value == "none"     ? GroupStanding::NotMember
                         : value == "joined" ? GroupStanding::JoinedSinceLogin
                                             : GroupStanding::InThisProcess;
    } else {
      return Fail(line, "bad device setting '" + w[n] + "'");
    }
  }
  *device = changed;
  if (w[1] == "add") devices.push_back(added);
  return kOk;
}

int Scenario::CmdLineClosed(const Line& line) {
  if (line.words.size() != 1) return Usage(line);
  sim_.tapi.CloseLinesBySystem();
  return kOk;
}

int Scenario::CmdTapi(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 2) return Usage(line);
  for (std::size_t n = 1; n < w.size(); ++n) {
    std::string key, value;
    if (!SplitKey(w[n], key, value)) return Fail(line, "expected key=value");
    if (key == "init" && value == "ok") {
      sim_.tapi.init = sim::InitMode::Ok;
    } else if (key == "init" && value == "fail") {
      sim_.tapi.init = sim::InitMode::Fail;
    } else if (key == "init" && value == "reinit") {
      sim_.tapi.init = sim::InitMode::Reinit;
    } else if (key == "fail" && (value == "lineInitialize" || value == "lineNegotiateAPIVersion" ||
                                 value == "lineGetDevCaps" || value == "lineOpen")) {
      ++sim_.tapi.failNext[value];
    } else if (key == "next_line") {
      auto handle = NumberIn<std::uint32_t>(value, 1, 0xFFFFFFFF);
      if (!handle) return Fail(line, "next_line must be 1 to 0xFFFFFFFF");
      sim_.tapi.SetNextLineHandle(*handle);
    } else {
      return Fail(line, "bad tapi setting '" + w[n] + "'");
    }
  }
  return kOk;
}

int Scenario::CmdTime(const Line& line) {
  const std::vector<std::string>& w = line.words;
  int h = 0, m = 0, s = 0;
  char extra = 0;
  if (w.size() != 2 || std::sscanf(w[1].c_str(), "%d:%d:%d%c", &h, &m, &s, &extra) != 3 || h < 0 || h > 23 || m < 0 ||
      m > 59 || s < 0 || s > 59) {
    return Usage(line);
  }
  sim_.clock.secondsOfDay = h * 3600 + m * 60 + s;
  return kOk;
}

int Scenario::CmdTimeFormat(const Line& line) {
  const auto twelveHour = OneOfTwo(line.words, "12h", "24h");
  if (!twelveHour) return Usage(line);
  sim_.clock.twelveHour = *twelveHour;
  return kOk;
}

int Scenario::CmdClick(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() != 2) return Usage(line);
  if (!Running()) return kOk;
  TMainForm& main = *app_->MainForm();
  Control* control = main.Find(w[1]);
  if (control == nullptr) return Fail(line, "no control named '" + w[1] + "'");
  app_->Deliver([&] {
    if (auto* button = dynamic_cast<TButton*>(control)) button->UserClick();
    if (auto* check = dynamic_cast<TCheckBox*>(control)) check->UserSetChecked(!check->Checked());
  });
  return kOk;
}

int Scenario::CmdSpin(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() != 3) return Usage(line);
  if (!Running()) return kOk;
  auto* spin = dynamic_cast<TSpinEdit*>(app_->MainForm()->Find(w[1]));
  if (spin == nullptr) return Fail(line, "no spin box named '" + w[1] + "'");
  std::optional<int> value;
  if (w[2] != "up" && w[2] != "down") {
    value = NumberIn<int>(w[2], INT32_MIN, INT32_MAX);
    if (!value) return Fail(line, "spin value must be up, down or a number");
  }
  app_->Deliver([&] {
    if (value) {
      spin->UserSetValue(*value);
    } else {
      spin->UserStep(w[2] == "up" ? 1 : -1);
    }
  });
  return kOk;
}

int Scenario::CmdCheck(const Line& line) {
  const std::vector<std::string>& w = line.words;
  const auto state = w.size() == 3 ? OnOff(w[2]) : std::nullopt;
  if (!state) return Usage(line);
  if (!Running()) return kOk;
  auto* check = dynamic_cast<TCheckBox*>(app_->MainForm()->Find(w[1]));
  if (check == nullptr) return Fail(line, "no check box named '" + w[1] + "'");
  app_->Deliver([&] { check->UserSetChecked(*state); });
  return kOk;
}

int Scenario::CmdPower(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 2) return Usage(line);
  if (w.size() == 2 && w[1] == "fail") {
    sim_.power.fail = true;
    return kOk;
  }
  SYSTEM_POWER_STATUS status = sim_.power.status;
  for (std::size_t n = 1; n < w.size(); ++n) {
    std::string key, value;
    if (!SplitKey(w[n], key, value)) return Fail(line, "expected key=value");
    if (key == "ac" || key == "flag" || key == "percent") {
      auto byte = NumberIn<std::uint8_t>(value, 0, 255);
      if (!byte) return Fail(line, key + " must be 0 to 255");
      (key == "ac" ? status.ACLineStatus : key == "flag" ? status.BatteryFlag : status.BatteryLifePercent) = *byte;
    } else if (key == "life" || key == "full") {
      auto seconds = NumberIn<std::uint32_t>(value, INT32_MIN, 0xFFFFFFFF);
      if (!seconds) return Fail(line, key + " must be a 32-bit number");
      (key == "life" ? status.BatteryLifeTime : status.BatteryFullLifeTime) = *seconds;
    } else {
      return Fail(line, "bad power setting '" + w[n] + "'");
    }
  }
  sim_.power.status = status;
  sim_.power.fail = false;
  return kOk;
}

int Scenario::SendToMainWindow(std::uint32_t message, const std::string& wParam, const std::string& lParam,
                               const Line& line) {
  const auto w = ParseNumber(wParam);
  const auto l = ParseNumber(lParam);
  if (!w || !l) return Fail(line, "WPARAM and LPARAM must be numbers");
  lastAnswer_ = nullptr;
  if (!Running()) return kOk;
  sim::SimWindow* window = sim_.forms.WindowOf(*app_->MainForm());
  app_->Deliver([&] {
    lastAnswer_ =
        static_cast<long long>(window->Send(message, static_cast<std::uintptr_t>(*w), static_cast<std::intptr_t>(*l)));
  });
  return kOk;
}

int Scenario::CmdPlatform(const Line& line) {
  const auto nt = OneOfTwo(line.words, "nt", "other");
  if (!nt) return Usage(line);
  sim_.shutdown.nt = *nt;
  return kOk;
}

int Scenario::CmdShutdown(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 2) return Usage(line);
  for (std::size_t n = 1; n < w.size(); ++n) {
    std::string key, value;
    const auto ok = SplitKey(w[n], key, value) ? OkFail(value) : std::nullopt;
    if (!ok) return Fail(line, "bad shutdown setting '" + w[n] + "'");
    if (key == "token") {
      sim_.shutdown.tokenOk = *ok;
    } else if (key == "lookup") {
      sim_.shutdown.lookupOk = *ok;
    } else if (key == "adjust") {
      sim_.shutdown.adjustOk = *ok;
    } else if (key == "exit") {
      sim_.shutdown.exitOk = *ok;
    } else {
      return Fail(line, "bad shutdown setting '" + w[n] + "'");
    }
  }
  return kOk;
}

int Scenario::CmdStore(const Line& line) {
  const std::vector<std::string>& w = line.words;
  auto& store = sim_.store;
  const std::string path = SettingsKeyPath();
  if (w.size() == 2 && w[1] == "absent") {
    store.keys.erase(path);
  } else if (w.size() == 2 && w[1] == "readonly-fail") {
    store.readOnlyFail = true;
  } else if (w.size() == 2 && w[1] == "create-fail") {
    store.createFail = true;
  } else if (w.size() == 2 && w[1] == "ok") {
    store.readOnlyFail = false;
    store.createFail = false;
    store.writeFail.clear();
  } else if (w.size() == 3 && w[1] == "write-fail") {
    store.writeFail.insert(w[2]);
  } else if (w.size() == 3 && w[1] == "delete") {
    auto key = store.keys.find(path);
    if (key != store.keys.end()) key->second.erase(w[2]);
  } else if (w.size() == 5 && w[1] == "set" && w[3] == "sz") {
    store.keys[path][w[2]] = w[4];
  } else if (w.size() == 5 && w[1] == "set" && w[3] == "dword") {
    auto number = NumberIn<std::uint32_t>(w[4], INT32_MIN, 0xFFFFFFFF);
    if (!number) return Fail(line, "a dword is a 32-bit number");
    store.keys[path][w[2]] = *number;
  } else {
    return Usage(line);
  }
  return kOk;
}

int Scenario::CmdDialog(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 2) return Usage(line);
  const std::string& answer = w.back();
  if (answer != "ok" && answer != "cancel" && answer != "close") {
    return Fail(line, "dialog must end with ok|cancel|close");
  }
  struct Change {
    std::string control;
    std::string value;
  };
  std::vector<Change> changes;
  int ticks = 0;
  for (std::size_t n = 1; n + 1 < w.size(); ++n) {
    std::string key, value;
    if (!SplitKey(w[n], key, value)) return Fail(line, "expected CONTROL=VALUE, got '" + w[n] + "'");
    if (key == "ticks") {
      auto count = NumberIn<int>(value, 0, 10'000'000);
      if (!count) return Fail(line, "ticks must be 0 to 10000000");
      ticks = *count;
    } else if (key == "CheckBox1" || key == "CheckBox2" || key == "CheckBox3" || key == "CheckBox4" ||
               key == "CheckBox5" || key == "CheckBox6") {
      if (!OnOff(value)) return Fail(line, key + " takes on|off");
      changes.push_back({key, value});
    } else if (key == "StaticText") {
      changes.push_back({key, value});  // any name, the empty one too
    } else if (key == "SpinEdit1") {
      if (value != "up" && value != "down" && !NumberIn<int>(value, INT32_MIN, INT32_MAX)) {
        return Fail(line, "SpinEdit1 takes a value, up or down");
      }
      changes.push_back({key, value});
    } else {
      return Fail(line, "the dialog has no control '" + key + "' to change");
    }
  }
  if (!Running() || app_->ConfForm() == nullptr) return kOk;
  TConfForm& conf = *app_->ConfForm();
  sim_.forms.modalScript = [this, &conf, changes, ticks, answer](Form&) {
    for (const Change& change : changes) {
      if (change.control == "StaticText") {
        conf.StaticText.UserSetText(change.value);
      } else if (auto* check = dynamic_cast<TCheckBox*>(conf.Find(change.control))) {
        check->UserSetChecked(change.value == "on");
      } else if (change.value == "up" || change.value == "down") {
        conf.SpinEdit1.UserStep(change.value == "up" ? 1 : -1);
      } else {
        conf.SpinEdit1.UserSetValue(static_cast<int>(*ParseNumber(change.value)));
      }
    }
    Tick(ticks);
    if (answer == "ok") {
      conf.Button1.UserClick();
    } else if (answer == "cancel") {
      conf.Button2.UserClick();
    }
    // "close": the window's close box; the dialog answers cancel.
  };
  app_->Deliver([this] { app_->MainForm()->SpeedButton1.UserClick(); });
  sim_.forms.modalScript = nullptr;
  return kOk;
}

int Scenario::CmdExpect(const Line& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 3) return Usage(line);
  // The JSON is the rest of the line after the path, up to a comment.
  if (line.lexed.quoted[1]) return Fail(line, "write the path of expect without quotes");
  const auto expected = Json::Parse(line.lexed.rests[1]);
  if (!expected) return Fail(line, "expected value is not JSON");

  const Json state = Dump(false);
  const Json* actual = &state;
  std::string_view path = w[1];
  while (actual != nullptr && !path.empty()) {
    const std::size_t dot = path.find('.');
    actual = actual->Child(path.substr(0, dot));
    path = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
  }
  const Json missing;
  if (actual == nullptr) actual = &missing;
  if (*actual == *expected) return kOk;
  err_ << "line " << line.number << ": expect " << w[1] << "\n  expected: " << expected->Serialize()
       << "\n  actual:   " << actual->Serialize() << "\n";
  return kExpectationFailed;
}

}  // namespace murrelet::scenario
