// The scenario runner: plays a script against the core on the simulated
// platform and prints the observable state as JSON.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "charging/application.h"
#include "platform/sim/sim_platform.h"
#include "tools/scenario/json.h"
#include "tools/scenario/script_lexer.h"

namespace murrelet::scenario {

enum ExitCode { kOk = 0, kExpectationFailed = 1, kBadScript = 2 };

class Scenario {
 public:
  Scenario(std::ostream& out, std::ostream& err);
  ~Scenario();
  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;

  // Plays a whole script: every line is read before the first one runs.
  int RunScript(std::string_view script);
  // Plays one line; `lineNumber` names it in messages.
  int RunLine(std::string_view line, int lineNumber);

  // The whole observable state; `takeCalls` ends the current batch of
  // recorded telephony calls, as a `dump` does.
  Json Dump(bool takeCalls);

  sim::SimPlatform& Sim() { return sim_; }
  TApplication* App() { return app_.get(); }
  bool Running() const;
  int TimerSkipped() const { return timerSkipped_; }

  // Runs N ticks of Timer1 on the running program, as the message loop would.
  void Tick(int count);

 private:
  int Execute(const LexResult& lexed, int lineNumber);
  int Fail(int lineNumber, const std::string& message);

  int CmdDevice(const std::vector<std::string>& w, int line);
  int CmdTapi(const std::vector<std::string>& w, int line);
  int CmdTime(const std::vector<std::string>& w, int line);
  int CmdTimeFormat(const std::vector<std::string>& w, int line);
  int CmdStart(bool second);
  int CmdClick(const std::vector<std::string>& w, int line);
  int CmdSpin(const std::vector<std::string>& w, int line);
  int CmdCheck(const std::vector<std::string>& w, int line);
  int CmdPower(const std::vector<std::string>& w, int line);
  int CmdMessage(std::uint32_t message, const std::string& wParam, const std::string& lParam, int line);
  int CmdPlatform(const std::vector<std::string>& w, int line);
  int CmdShutdown(const std::vector<std::string>& w, int line);
  int CmdStore(const std::vector<std::string>& w, int line);
  int CmdDialog(const std::vector<std::string>& w, int line);
  int CmdExpect(const LexResult& lexed, int line);

  // The program's process has ended (after a close, a session end or a kill):
  // the system releases what it held and the exit code is recorded.
  void EndProcess();

  Json MainJson() const;
  // One line of text with what the main window shows, for people to read.
  std::string ShowLine() const;
  Json DialogJson() const;

  std::ostream& out_;
  std::ostream& err_;
  sim::SimPlatform sim_;
  std::unique_ptr<TApplication> app_;
  Json lastMain_;
  Json lastDialog_;
  Json second_;
  Json lastAnswer_;
  Json exitCode_;
  std::vector<sim::TapiCall> pendingCalls_;
  int timerSkipped_ = 0;
};

// A control of either window as JSON: text, enabled state and what its kind adds.
Json ControlJson(const Control& control);

}  // namespace murrelet::scenario
