// The scenario runner: plays a script against the core on the simulated
// platform and prints the observable state as JSON.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <span>
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
  // One line being played: its words, and for messages its number and the
  // usage of its command.
  struct Line {
    const LexResult& lexed;
    const std::vector<std::string>& words;
    int number;
    std::string_view usage;
  };
  // A command of the script language: its name, what it does, and how it is
  // written (the message for a line that does not fit).
  struct Command {
    std::string_view name;
    int (Scenario::*run)(const Line& line);
    std::string_view usage;
  };
  static std::span<const Command> Commands();

  int Execute(const LexResult& lexed, int lineNumber);
  int Fail(int lineNumber, const std::string& message);
  int Fail(const Line& line, const std::string& message) { return Fail(line.number, message); }
  int Usage(const Line& line) { return Fail(line.number, std::string(line.usage)); }

  // The commands, in the order of the table.
  int CmdDevice(const Line& line);
  int CmdTapi(const Line& line);
  int CmdLineClosed(const Line& line);
  int CmdTime(const Line& line);
  int CmdTimeFormat(const Line& line);
  int CmdStart(const Line& line);
  int CmdStartSecond(const Line& line);
  int CmdTick(const Line& line);
  int CmdClick(const Line& line);
  int CmdSpin(const Line& line);
  int CmdCheck(const Line& line);
  int CmdModalTicks(const Line& line);
  int CmdClose(const Line& line);
  int CmdWindowsEnd(const Line& line);
  int CmdKill(const Line& line);
  int CmdDump(const Line& line);
  int CmdExpect(const Line& line);
  int CmdShow(const Line& line);
  int CmdPower(const Line& line);
  int CmdBroadcast(const Line& line);
  int CmdMessage(const Line& line);
  int CmdPlatform(const Line& line);
  int CmdShutdown(const Line& line);
  int CmdStore(const Line& line);
  int CmdDialog(const Line& line);
  int CmdWindow(const Line& line);
  int CmdSessionEntry(const Line& line);
  int CmdMinimize(const Line& line);
  int CmdTray(const Line& line);

  // Starts the program, or a second copy beside the running one.
  int StartProgram(bool second, TApplication::StartedBy startedBy = TApplication::StartedBy::User);
  // Sends a message to the main window; its answer becomes `last_answer`.
  int SendToMainWindow(std::uint32_t message, const std::string& wParam, const std::string& lParam, const Line& line);

  // The program's process has ended (after a close, a session end or a kill):
  // the system releases what it held and the exit code is recorded.
  void EndProcess();

  Json MainJson() const;
  // One line of text with what the main window shows, for people to read.
  std::string ShowLine() const;
  Json DialogJson() const;
  Json TrayJson() const;

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
