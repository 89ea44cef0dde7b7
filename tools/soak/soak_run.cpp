#include "tools/soak/soak_run.h"

#include <cstdlib>

#include "charging/settings_key.h"
#include "tools/scenario/script_lexer.h"

namespace murrelet::soak {
namespace {

bool ShownSince(const sim::SimBoxes& boxes, std::size_t first, const std::string& text) {
  for (std::size_t n = first; n < boxes.shown.size(); ++n) {
    if (boxes.shown[n].text == text) return true;
  }
  return false;
}

}  // namespace

SoakRun::SoakRun() : scene_(out_, err_) {
  // A soak never dumps, so the per-call log would only grow.
  scene_.Sim().tapi.recordCalls = false;
  model_.Take(scene_.Sim().store);
}

Findings SoakRun::Step(const std::string& line) {
  ++steps_;
  sim::SimPlatform& sim = scene_.Sim();
  const bool wasRunning = scene_.Running();
  ChargeSettings before;
  bool wasCharging = false;
  if (wasRunning) {
    before = scene_.App()->MainForm()->Settings;
    wasCharging = scene_.App()->MainForm()->Run.Charging;
  }
  const std::size_t firstBox = sim.boxes.shown.size();
  const std::size_t appsBefore = sim.tapi.LineAppsAlive();
  const int writesBefore = sim.store.writableOpens;
  const scenario::LexResult lexed = scenario::SplitWords(line);
  const std::string command = lexed.words.empty() ? std::string() : lexed.words.front();
  // A close is checked call by call: the lines it ends must balance the ones alive.
  const bool closing = command == "close" && wasRunning;
  if (closing) {
    sim.tapi.TakeCalls();
    sim.tapi.recordCalls = true;
  }

  Findings found;
  int code = scenario::kOk;
  try {
    const int lineNumber = static_cast<int>(steps_ & 0x7FFFFFFF);
    if (command == "tick") {
      code = PlayTicks(line, lexed.words, lineNumber, found);
    } else {
      unaskedRunJustStarted_ = false;
      code = scene_.RunLine(line, lineNumber);
    }
  } catch (const std::exception& error) {
    found.push_back({"escaped", std::string("an exception left the program: ") + error.what()});
  } catch (...) {
    found.push_back({"escaped", "a non-standard exception left the program"});
  }
  sim.tapi.recordCalls = false;
  if (code != scenario::kOk) {
    found.push_back({"bad-step", "the runner refused the line: " + err_.str()});
    err_.str("");
    return found;
  }

  for (Finding& finding : CheckState(sim, scene_.App(), firstBox)) {
    // The highest number of line applications alive is a running maximum:
    // report each new height once.
    if (finding.id == "two-line-apps") {
      if (sim.tapi.MaxLineAppsAlive() <= reportedMaxApps_) continue;
      reportedMaxApps_ = sim.tapi.MaxLineAppsAlive();
    }
    found.push_back(std::move(finding));
  }
  CheckStep(command, wasRunning, before, appsBefore, firstBox, sim.store.writableOpens != writesBefore, found);
  CheckRunStart(line, wasCharging, found);
  // After a finding the model follows the store again, so one fault is
  // reported once rather than on every later step.
  if (!found.empty()) model_.Take(sim.store);
  return found;
}

void SoakRun::CheckStep(const std::string& command, bool wasRunning, const ChargeSettings& before,
                        std::size_t appsBefore, std::size_t firstBox, bool wrote, Findings& out) {
  sim::SimPlatform& sim = scene_.Sim();
  if (command == "store") {
    model_.Take(sim.store);
    return;
  }
  // A tick ends a run whose line the system closed.
  if (command == "tick" && scene_.Running()) {
    const ChargeRun& run = scene_.App()->MainForm()->Run;
    if (run.Charging && sim.tapi.LineClosedBySystem(run.Line)) {
      out.push_back({"charging-on-closed-line", "a tick left the run going on a line the system closed"});
    }
  }
  const bool started = (command == "start" || command == "start-second") && !wasRunning && scene_.Running();
  if (started) {
    int infoBoxes = 0;
    for (std::size_t n = firstBox; n < sim.boxes.shown.size(); ++n) {
      infoBoxes += sim.boxes.shown[n].kind == BoxKind::Information ? 1 : 0;
    }
    model_.Started(sim.store, scene_.App()->MainForm()->Settings, infoBoxes, out);
  }
  if (command == "close" && wasRunning && !scene_.Running()) {
    const std::vector<std::string> errors = model_.Closed(sim.store, before);
    for (const std::string& error : errors) {
      if (!ShownSince(sim.boxes, firstBox, error)) out.push_back({"write-unreported", "not shown: " + error});
    }
    std::int64_t alive = static_cast<std::int64_t>(appsBefore);
    for (const sim::TapiCall& call : sim.tapi.TakeCalls()) {
      if (call.result != 0) continue;
      if (call.op == "lineInitialize") ++alive;
      if (call.op == "lineShutdown") --alive;
    }
    if (alive != 0) {
      out.push_back({"close-leaves-line-app", std::to_string(alive) + " line applications alive after the close"});
    }
    if (errors.empty()) {
      auto key = sim.store.keys.find(SettingsKeyPath());
      // The eight values and the three added after 2.0.
      if (key == sim.store.keys.end() || key->second.size() != 11) {
        out.push_back({"store-not-eight", "after a normal close the key does not hold exactly its eleven values"});
      }
    }
  }
  // The session's end writes like a close, without a box; so do OK in the
  // settings dialog (which reports) and the request of the program's own
  // shutdown inside a tick or a broadcast (which does not). Each writes all
  // eight values from the settings as they stand.
  if (command == "windows-end" && wasRunning) {
    if (!wrote) out.push_back({"session-end-unwritten", "the session ended without the settings written"});
    model_.Closed(sim.store, before);
  } else if (wrote && (command == "start" || command == "start-second")) {
    // A second copy that ran without the guard ended with the session.
    model_.Take(sim.store);
  } else if (wrote && command != "close") {
    const ChargeSettings& now = scene_.Running() ? scene_.App()->MainForm()->Settings : before;
    const std::vector<std::string> errors = model_.Closed(sim.store, now);
    if (command == "dialog") {
      for (const std::string& error : errors) {
        if (!ShownSince(sim.boxes, firstBox, error)) out.push_back({"write-unreported", "not shown: " + error});
      }
    }
  }
  model_.Compare(sim.store, out);
}

void SoakRun::CheckRunStart(const std::string& line, bool wasCharging, Findings& out) {
  if (wasCharging || !scene_.Running()) return;
  const TMainForm& main = *scene_.App()->MainForm();
  if (!main.Run.Charging) return;
  // A run begins at the start button (or the icon's item that presses it),
  // or by itself on an idle poll when the user asked for that; never otherwise.
  if (line == "click SpeedButton2" || line == "tray menu \"充電開始\"" || main.Settings.AutoCharge) return;
  out.push_back({"start-unasked", "a run started on \"" + line + "\" with AutoCharge off"});
}

int SoakRun::PlayTicks(const std::string& line, const std::vector<std::string>& words, int lineNumber,
                       Findings& out) {
  long count = 1;
  if (words.size() == 2) count = std::strtol(words[1].c_str(), nullptr, 10);
  // Anything but a plain count is the runner's to judge, as one line.
  if (words.size() > 2 || count < 1 || count > 100000 || !scene_.Running()) {
    unaskedRunJustStarted_ = false;
    return scene_.RunLine(line, lineNumber);
  }
  sim::SimPlatform& sim = scene_.Sim();
  for (long n = 0; n < count; ++n) {
    const bool wasCharging = scene_.Running() && scene_.App()->MainForm()->Run.Charging;
    const std::size_t shutdownCalls = sim.shutdown.calls.size();
    const int code = scene_.RunLine("tick", lineNumber);
    if (code != scenario::kOk) return code;
    const bool charging = scene_.Running() && scene_.App()->MainForm()->Run.Charging;
    if (unaskedRunJustStarted_ && !charging && sim.shutdown.calls.size() != shutdownCalls) {
      out.push_back({"unasked-run-shut-down", "a run that started by itself ended in a shutdown on its first tick"});
    }
    // The button is no tick: a run that a tick starts started by itself.
    unaskedRunJustStarted_ = !wasCharging && charging;
  }
  return scenario::kOk;
}

void SoakRun::Compact() {
  sim::SimPlatform& sim = scene_.Sim();
  sim.boxes.shown.clear();
  sim.execution.values.clear();
  sim.sleeper.waits.clear();
  sim.shutdown.calls.clear();
  if (scene_.Running()) {
    if (sim::SimWindow* window = sim.forms.WindowOf(*scene_.App()->MainForm())) window->defaultSeen.clear();
  }
}

}  // namespace murrelet::soak
