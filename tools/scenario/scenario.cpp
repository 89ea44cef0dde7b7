#include "tools/scenario/scenario.h"

namespace murrelet::scenario {

Scenario::Scenario(std::ostream& out, std::ostream& err) : out_(out), err_(err) {
  sim_.boxes.runTicks = [this](int count) { Tick(count); };
  second_ = Json::MakeObject();
  second_.Set("started", nullptr);
  second_.Set("exit_code", nullptr);
  second_.Set("windows_created", 0);
}

Scenario::~Scenario() {
  // Ends the program before the platform it runs on goes away.
  app_.reset();
}

bool Scenario::Running() const { return app_ && app_->Running(); }

int Scenario::Fail(int lineNumber, const std::string& message) {
  err_ << "line " << lineNumber << ": " << message << "\n";
  return kBadScript;
}

int Scenario::RunScript(std::string_view script) {
  const std::vector<std::string_view> lines = SplitLines(script);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const LexResult lexed = SplitWords(lines[n]);
    if (!lexed.error.empty()) return Fail(static_cast<int>(n + 1), lexed.error);
  }
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const int code = RunLine(lines[n], static_cast<int>(n + 1));
    if (code != kOk) return code;
  }
  return kOk;
}

int Scenario::RunLine(std::string_view line, int lineNumber) {
  const LexResult lexed = SplitWords(line);
  if (!lexed.error.empty()) return Fail(lineNumber, lexed.error);
  if (lexed.words.empty()) return kOk;
  const int code = Execute(lexed, lineNumber);
  if (!Running() && app_) EndProcess();
  return code;
}

void Scenario::Tick(int count) {
  for (int n = 0; n < count; ++n) {
    sim_.clock.Advance();
    if (!Running() || app_->MainForm() == nullptr) continue;
    TTimer& timer = app_->MainForm()->Timer1;
    app_->Deliver([&] {
      if (!timer.Fire()) ++timerSkipped_;
    });
  }
}

void Scenario::EndProcess() {
  lastMain_ = MainJson();
  lastDialog_ = DialogJson();
  app_.reset();
  // The system takes back whatever the process still held.
  sim_.tapi.ReleaseAll();
  // The task-bar button goes with the program's windows; `updates` counts
  // only what the program itself said.
  sim_.runStatus.progress = {};
  exitCode_ = 0;
}

int Scenario::Execute(const LexResult& lexed, int lineNumber) {
  const std::string& name = lexed.words[0];
  for (const Command& command : Commands()) {
    if (command.name == name) return (this->*command.run)(Line{lexed, lexed.words, lineNumber, command.usage});
  }
  return Fail(lineNumber, "unknown command '" + name + "'");
}

}  // namespace murrelet::scenario
