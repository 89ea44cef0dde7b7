// Fuzzes the scenario runner's parser and, through it, the program: any text
// is played as a script, and afterwards the program's rules between actions
// must still hold. Scripts that would run for long (many ticks over many
// devices) are turned away here, so that one input stays well under a second.
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "tools/scenario/scenario.h"
#include "tools/scenario/script_lexer.h"
#include "tools/soak/state_checks.h"

namespace {

using murrelet::scenario::ParseNumber;
using murrelet::scenario::SplitLines;
using murrelet::scenario::SplitWords;

// Ticks times devices searched per tick.
constexpr std::int64_t kWorkBudget = 200'000;

std::int64_t TickCount(std::string_view word) {
  const auto n = ParseNumber(word);
  return n && *n > 0 ? *n : 0;
}

// Adds a tick count to the total while it stays within the budget. The total
// never exceeds the budget, so a count near the largest number cannot overflow
// the sum: it is turned away instead.
bool AddTicks(std::int64_t& total, std::string_view word) {
  const std::int64_t n = TickCount(word);
  if (n > kWorkBudget - total) return false;
  total += n;
  return true;
}

bool CheapEnough(std::string_view script) {
  std::int64_t ticks = 0;
  std::int64_t devices = 1;
  for (const std::string_view line : SplitLines(script)) {
    const auto words = SplitWords(line).words;
    if (words.empty()) continue;
    const std::string& command = words.front();
    if (command == "tick" && !AddTicks(ticks, words.size() == 2 ? words[1] : "1")) return false;
    if (command == "modal-ticks" && words.size() == 2 && !AddTicks(ticks, words[1])) return false;
    if (command == "device") ++devices;
    for (const std::string& word : words) {
      if (word.rfind("ticks=", 0) == 0 && !AddTicks(ticks, std::string_view(word).substr(6))) return false;
    }
    if (ticks * devices > kWorkBudget) return false;
  }
  return true;
}

}  // namespace

// The rules are checked after every line, as the soak does: a message box is
// judged against the program that showed it, not against a later copy started
// with other settings.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(bytes), size);
  if (!CheapEnough(script)) return -1;  // not kept in the corpus
  const std::vector<std::string_view> lines = SplitLines(script);
  for (const std::string_view line : lines) {
    if (!SplitWords(line).error.empty()) return 0;  // the runner refuses the whole script
  }
  std::ostringstream out;
  std::ostringstream err;
  murrelet::scenario::Scenario scene(out, err);
  scene.Sim().tapi.recordCalls = false;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::size_t firstBox = scene.Sim().boxes.shown.size();
    const int code = scene.RunLine(lines[n], static_cast<int>(n + 1));
    const murrelet::soak::Findings findings = murrelet::soak::CheckState(scene.Sim(), scene.App(), firstBox);
    if (!findings.empty()) {
      std::cerr << "after line " << n + 1 << ": " << lines[n] << "\n";
      for (const auto& finding : findings) std::cerr << "[" << finding.id << "] " << finding.detail << "\n";
      std::abort();
    }
    if (code != murrelet::scenario::kOk) break;
  }
  return 0;
}
