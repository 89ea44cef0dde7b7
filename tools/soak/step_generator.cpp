#include "tools/soak/step_generator.h"

#include <array>
#include <cstdio>

#include "charging/settings_key.h"

namespace murrelet::soak {
namespace {

// Every control of the main window, the timer and the decorations included:
// a click on a disabled control or on a label must do nothing.
constexpr std::array<const char*, 18> kMainControls = {
    "Image1",        "LMDGroupBox1",    "LMDSimpleLabel1", "LMDLabel1",    "LMDSimpleLabel3", "LMDProgress",
    "LMDGroupBox2",  "LMDSimpleLabel2", "SpinEdit1",       "LMDSimpleLabel4", "SpinEdit2",    "LMDSimpleLabel6",
    "LMDCheckBox1",  "SpeedButton1",    "SpeedButton2",    "SpeedButton3", "StatusBar",       "Timer1"};

constexpr std::array<const char*, 11> kValueNames = {
    kValueKestraName, kValueACPowerFlag,  kValueBatteryPowerFlag, kValueBatteryParcent,
    kValueSuspendDisable, kValueHourTimer, kValueMinTimer,        kValueShutDownFlag,
    kValueAutoCharge, kValueStartWithSession, kValueTrayIcon};

// The icon's menu, and a text it never offers.
constexpr std::array<const char*, 4> kTrayItems = {"\"充電開始\"", "\"充電停止\"", "\"環境設定\"", "\"終了\""};

// Line names that match the handset only byte for byte: the real one most
// often, and the near misses the search must pass over. "\x00" ends a name
// early, so the last one matches too.
constexpr std::array<const char*, 8> kNames = {
    "\"KESTRA T48R\"", "\"KESTRA T48R\"", "\"KESTRA T48R\"", "\"kestra t48r\"",
    "\"KESTRA T48R \"", "\"Modem\"",        "\"\"",             "\"KESTRA T48R\\x00x\""};

constexpr std::array<const char*, 4> kOps = {"lineInitialize", "lineNegotiateAPIVersion", "lineGetDevCaps",
                                             "lineOpen"};

std::string Hex(std::uint64_t value) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
  return buffer;
}

}  // namespace

std::uint32_t StepGenerator::Below(std::uint32_t bound) {
  return static_cast<std::uint32_t>(random_() % bound);
}

std::string StepGenerator::Number32() {
  switch (Below(6)) {
    case 0: return "0";
    case 1: return "1";
    case 2: return "-1";
    case 3: return Hex(0xFFFFFFFFu);
    case 4: return std::to_string(Below(1000));
    default: return Hex(static_cast<std::uint32_t>(random_()));
  }
}

std::string StepGenerator::Int32() {
  switch (Below(4)) {
    case 0: return "2147483647";
    case 1: return "-2147483648";
    case 2: return "-1";
    default: return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(random_())));
  }
}

std::string StepGenerator::Unsigned32() {
  const std::string number = Number32();
  return number == "-1" ? "0x80000000" : number;
}

std::string StepGenerator::HandsetNameWord() { return kNames[Below(kNames.size())]; }

std::string StepGenerator::Tick() {
  const std::uint32_t kind = Below(100);
  if (kind < 60) return "tick";
  if (kind < 92) return "tick " + std::to_string(2 + Below(40));
  // Long enough for a ten-minute run to end by its timer.
  return "tick " + std::to_string(100 + Below(700));
}

std::string StepGenerator::Click() {
  const std::uint32_t kind = Below(100);
  if (kind < 45) return "click SpeedButton2";
  if (kind < 65) return "click SpeedButton3";
  if (kind < 72) return "click SpeedButton1";
  return std::string("click ") + kMainControls[Below(kMainControls.size())];
}

std::string StepGenerator::Spin() {
  if (Chance(15)) return std::string("check LMDCheckBox1 ") + (Chance(50) ? "on" : "off");
  const bool hours = Chance(40);
  std::string line = hours ? "spin SpinEdit1 " : "spin SpinEdit2 ";
  const std::uint32_t kind = Below(100);
  if (kind < 35) return line + (Chance(50) ? "up" : "down");
  // Mostly short runs, so that timed runs end within a soak.
  if (kind < 75) return line + (hours ? "0" : std::to_string(10 * Below(3)));
  if (kind < 90) return line + std::to_string(Below(hours ? 8 : 60));
  return line + (Chance(50) ? "-2147483648" : Int32());
}

std::string StepGenerator::Dialog() {
  std::string line = "dialog";
  for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5", "CheckBox6"}) {
    if (Chance(40)) line += std::string(" ") + box + "=" + (Chance(box[8] == '1' ? 30 : 50) ? "on" : "off");
  }
  if (Chance(40)) {
    const std::uint32_t kind = Below(4);
    line += " SpinEdit1=";
    line += kind == 0 ? "up" : kind == 1 ? "down" : kind == 2 ? std::to_string(Below(120)) : Int32();
  }
  if (Chance(40)) line += " ticks=" + std::to_string(Chance(90) ? Below(30) : 100 + Below(600));
  const std::uint32_t answer = Below(10);
  return line + (answer < 6 ? " ok" : answer < 8 ? " cancel" : " close");
}

std::string StepGenerator::Tray() {
  const std::uint32_t kind = Below(100);
  if (kind < 30) return "minimize";
  if (kind < 50) return "tray activate";
  // "終了" is a close: rarer, so runs last long enough to matter.
  if (kind < 85) return std::string("tray menu ") + kTrayItems[Below(3)];
  if (kind < 90) return std::string("tray menu ") + kTrayItems[3];
  return std::string("tray available ") + (Chance(60) ? "yes" : "no");
}

std::string StepGenerator::Broadcast() {
  static constexpr std::array<std::uint32_t, 12> kCommon = {0, 0, 0, 4, 7, 9, 9, 10, 10, 10, 11, 18};
  std::string code;
  const std::uint32_t kind = Below(10);
  if (kind < 6) {
    code = std::to_string(kCommon[Below(kCommon.size())]);
  } else if (kind < 9) {
    code = std::to_string(Below(19));
  } else {
    code = Chance(50) ? Number32() : Hex(random_() >> 1);
  }
  static constexpr std::array<const char*, 6> kLParams = {"0", "1", "1", "0x10001", "0xFFFF0001", "-1"};
  const std::string lParam = Chance(70) ? kLParams[Below(kLParams.size())] : Number32();
  return "broadcast " + code + " " + lParam;
}

std::string StepGenerator::Message() {
  static constexpr std::array<const char*, 5> kMessages = {"0x0010", "0x0112", "0x0218", "0x0400", "0"};
  const std::string message = Chance(70) ? kMessages[Below(kMessages.size())] : Hex(static_cast<std::uint32_t>(random_()));
  return "message " + message + " " +
         Number32() + " " + Number32();
}

std::string StepGenerator::Power() {
  if (Chance(4)) return "power fail";
  std::string line = "power";
  const std::uint32_t ac = Below(10);
  line += " ac=" + std::string(ac < 6 ? "1" : ac < 9 ? "0" : "255");
  static constexpr std::array<int, 12> kFlags = {0, 1, 2, 4, 6, 8, 9, 10, 12, 128, 255, 3};
  line += " flag=" + std::to_string(Chance(90) ? kFlags[Below(kFlags.size())] : static_cast<int>(Below(256)));
  const std::uint32_t percent = Below(10);
  line += " percent=" + std::to_string(percent < 8 ? Below(101) : percent < 9 ? 255 : Below(256));
  if (Chance(20)) line += " life=" + Number32() + " full=" + Number32();
  return line;
}

std::string StepGenerator::Device(scenario::Scenario& scene) {
  const std::size_t count = scene.Sim().tapi.devices.size();
  const std::uint32_t kind = Below(100);
  if (count > 0 && (count >= 6 || kind < 25)) return "device remove " + std::to_string(Below(count));
  if (kind < 30) return "line-closed";
  std::string line;
  const bool adding = count == 0 || kind < 65;
  if (adding) {
    line = "device add " + HandsetNameWord();
  } else {
    line = "device set " + std::to_string(Below(count));
    if (Chance(30)) line += " name=" + HandsetNameWord();
  }
  // Most devices behave; the others refuse the version, fail their queries
  // or their open, or describe their capability block wrongly.
  if (Chance(65)) return line + (adding ? "" : " open=ok caps=ok api=ok");
  if (Chance(30)) line += std::string(" api=") + (Chance(50) ? "refuse" : "ok");
  if (Chance(30)) line += std::string(" caps=") + (Chance(50) ? "fail" : "ok");
  if (Chance(40)) line += std::string(" open=") + (Chance(50) ? "fail" : "ok");
  if (Chance(20)) line += " media=" + std::string(Chance(50) ? "0x14" : Unsigned32());
  if (Chance(15)) line += " needed=" + std::string(Chance(50) ? std::to_string(Below(2000)) : Unsigned32());
  if (Chance(10)) line += " name_offset=" + std::string(Chance(50) ? std::to_string(Below(300)) : Unsigned32());
  if (Chance(10)) line += " name_size=" + std::string(Chance(50) ? std::to_string(Below(300)) : Unsigned32());
  return line;
}

std::string StepGenerator::Tapi() {
  const std::uint32_t kind = Below(100);
  if (kind < 50) return "tapi init=ok";
  if (kind < 60) return "tapi init=fail";
  if (kind < 70) return "tapi init=reinit";
  return std::string("tapi fail=") + kOps[Below(kOps.size())];
}

std::string StepGenerator::Store() {
  const std::uint32_t kind = Below(100);
  if (kind < 40) return "store ok";
  if (kind < 46) return "store absent";
  if (kind < 52) return "store readonly-fail";
  if (kind < 58) return "store create-fail";
  const std::string name = kValueNames[Below(kValueNames.size())];
  if (kind < 68) return "store write-fail " + name;
  if (kind < 74) return "store delete " + name;
  if (name == kValueKestraName ? Chance(85) : Chance(10)) return "store set " + name + " sz " + HandsetNameWord();
  return "store set " + name + " dword " + (Chance(60) ? std::to_string(Below(120)) : Number32());
}

std::string StepGenerator::Shutdown() {
  if (Chance(30)) return std::string("platform ") + (Chance(70) ? "nt" : "other");
  std::string line = "shutdown";
  for (const char* call : {"token", "lookup", "adjust", "exit"}) {
    line += std::string(" ") + call + "=" + (Chance(75) ? "ok" : "fail");
  }
  return line;
}

std::string StepGenerator::ModalTicks() {
  return "modal-ticks " + std::to_string(Chance(90) ? 1 + Below(20) : 100 + Below(600));
}

std::string StepGenerator::Time() {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "time %u:%02u:%02u", Below(24), Below(60), Below(60));
  return buffer;
}

std::string StepGenerator::Lifecycle() {
  const std::uint32_t kind = Below(100);
  if (kind < 45) return "close";
  if (kind < 65) return "kill";
  if (kind < 85) return "windows-end";
  return Chance(50) ? (Chance(80) ? "start" : "start session") : "start-second";
}

std::string StepGenerator::Environment(scenario::Scenario& scene) {
  const std::uint32_t kind = Below(100);
  if (kind < 22) return Device(scene);
  if (kind < 40) return Store();
  if (kind < 55) return Power();
  if (kind < 67) return Tapi();
  if (kind < 80) return Shutdown();
  if (kind < 95) return ModalTicks();
  if (kind < 97) {
    // Mostly whether writing it works; sometimes the entry put there or taken
    // away behind the program's back.
    const std::uint32_t what = Below(10);
    return std::string("session-entry ") + (what < 5 ? "ok" : what < 7 ? "fail" : what < 9 ? "present" : "absent");
  }
  return Time();
}

std::string StepGenerator::Next(scenario::Scenario& scene) {
  // The system ends the session after it took the program's shutdown request.
  const int accepted = scene.Sim().shutdown.accepted;
  if (accepted != shutdownsSeen_) {
    shutdownsSeen_ = accepted;
    if (scene.Running() && Chance(90)) return "windows-end";
  }
  if (!scene.Running()) {
    // The session's start at log-in too, with the window minimised.
    if (Chance(55)) return Chance(90) ? (Chance(85) ? "start" : "start session") : "start-second";
    return Environment(scene);
  }
  const std::uint32_t kind = Below(1000);
  if (kind < 300) return Tick();
  if (kind < 470) return Click();
  if (kind < 540) return Spin();
  if (kind < 590) return Dialog();
  if (kind < 630) return Tray();
  if (kind < 690) return Broadcast();
  if (kind < 700) return Message();
  if (kind < 975) return Environment(scene);
  return Lifecycle();
}

}  // namespace murrelet::soak
