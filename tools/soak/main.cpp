// murrelet-soak: drives the program on the simulated platform with a seeded
// random mix of steps and checks its rules after every one.
//
//   murrelet-soak --steps N --seed S [--shrink-seconds T] [--script FILE]
//   murrelet-soak --replay FILE
//
// The last line printed is "N steps, V violations"; the exit code is 1 when V
// is above 0 (after the first violating step and a script that reproduces
// it), 2 on a usage error or a step the runner refused.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "tools/soak/script_shrinker.h"
#include "tools/soak/soak_run.h"
#include "tools/soak/step_generator.h"

namespace {

using murrelet::soak::Findings;
using murrelet::soak::SoakRun;

struct Options {
  long long steps = 10000;
  std::uint64_t seed = 1;
  double shrinkSeconds = 60;
  std::string scriptFile;
  std::string replayFile;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int n = 1; n < argc; ++n) {
    const std::string arg = argv[n];
    if (n + 1 >= argc) return false;
    const char* value = argv[++n];
    char* end = nullptr;
    if (arg == "--steps") {
      options.steps = std::strtoll(value, &end, 10);
    } else if (arg == "--seed") {
      options.seed = std::strtoull(value, &end, 0);
    } else if (arg == "--shrink-seconds") {
      options.shrinkSeconds = std::strtod(value, &end);
    } else if (arg == "--script") {
      options.scriptFile = value;
      continue;
    } else if (arg == "--replay") {
      options.replayFile = value;
      continue;
    } else {
      return false;
    }
    if (end == value || *end != '\0') return false;
  }
  return options.steps >= 0;
}

void PrintFindings(const Findings& findings) {
  for (const auto& finding : findings) std::cout << "  [" << finding.id << "] " << finding.detail << "\n";
}

void PrintScript(const std::vector<std::string>& lines) {
  std::cout << "--- script (" << lines.size() << " lines) ---\n";
  for (const std::string& line : lines) std::cout << line << "\n";
  std::cout << "--- end of script ---\n";
}

int Replay(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << file << "\n";
    return 2;
  }
  SoakRun run;
  long long violations = 0;
  std::string line;
  while (std::getline(in, line)) {
    const Findings findings = run.Step(line);
    if (findings.empty()) continue;
    ++violations;
    std::cout << "step " << run.Steps() << ": " << line << "\n";
    PrintFindings(findings);
  }
  std::cout << run.Steps() << " steps, " << violations << " violations\n";
  return violations > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << "usage: murrelet-soak --steps N --seed S [--shrink-seconds T] [--script FILE]\n"
                 "       murrelet-soak --replay FILE\n";
    return 2;
  }
  if (!options.replayFile.empty()) return Replay(options.replayFile);

  const auto began = std::chrono::steady_clock::now();
  SoakRun run;
  murrelet::soak::StepGenerator generator(options.seed);
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(std::min<long long>(options.steps, 2'000'000)));
  long long violations = 0;
  long long firstViolation = -1;
  std::string firstId;
  std::set<std::string> idsSeen;
  long long starts = 0, runs = 0, completed = 0;

  for (long long step = 1; step <= options.steps; ++step) {
    const bool wasRunning = run.Scene().Running();
    const bool wasCharging = wasRunning && run.Scene().App()->MainForm()->Run.Charging;
    lines.push_back(generator.Next(run.Scene()));
    const Findings findings = run.Step(lines.back());
    if (!wasRunning && run.Scene().Running()) ++starts;
    if (run.Scene().Running()) {
      const murrelet::TMainForm& main = *run.Scene().App()->MainForm();
      if (!wasCharging && main.Run.Charging) ++runs;
      // A timed run that reached its end (the shutdown may have replaced the text).
      if (wasCharging && !main.Run.Charging && main.Run.RemainingSeconds == 0) ++completed;
    }
    if ((step & 0xFFF) == 0) run.Compact();
    if (findings.empty()) continue;
    if (findings.front().id == "bad-step") {
      std::cout << "step " << step << ": " << lines.back() << "\n";
      PrintFindings(findings);
      std::cout << step << " steps, 0 violations (the soak made a step the runner refuses)\n";
      return 2;
    }
    ++violations;
    bool fresh = false;
    for (const auto& finding : findings) fresh |= idsSeen.insert(finding.id).second;
    if (firstViolation < 0) {
      firstViolation = step;
      firstId = findings.front().id;
      std::cout << "first violation at step " << step << ": " << lines.back() << "\n";
      PrintFindings(findings);
    } else if (fresh) {
      std::cout << "also at step " << step << ": " << lines.back() << "\n";
      PrintFindings(findings);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  if (firstViolation >= 0) {
    std::vector<std::string> script(lines.begin(), lines.begin() + firstViolation);
    if (!options.scriptFile.empty()) {
      std::ofstream out(options.scriptFile, std::ios::binary);
      for (const std::string& line : script) out << line << "\n";
    }
    const std::vector<std::string> shrunk = murrelet::soak::ShrinkScript(script, firstId, options.shrinkSeconds);
    std::cout << "reproducing script for step " << firstViolation << " ([" << firstId << "]), "
              << (shrunk.size() < script.size() ? "shrunk from " + std::to_string(script.size()) + " lines" : "as played")
              << "; replay with murrelet-soak --replay FILE\n";
    PrintScript(shrunk);
  }
  std::cout << "seed " << options.seed << ": " << starts << " starts, " << runs << " runs (" << completed << " ran to their end), "
            << run.Scene().Sim().shutdown.accepted << " shutdowns taken, " << seconds << " s\n";
  std::cout << options.steps << " steps, " << violations << " violations\n";
  return violations > 0 ? 1 : 0;
}
