#include "tools/soak/script_shrinker.h"

#include <chrono>

#include "tools/soak/soak_run.h"

namespace murrelet::soak {

bool Reproduces(const std::vector<std::string>& lines, const std::string& id) {
  if (lines.empty()) return false;
  SoakRun run;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const Findings findings = run.Step(lines[n]);
    if ((n & 0xFFF) == 0xFFF) run.Compact();
    if (findings.empty()) continue;
    if (n + 1 != lines.size()) return false;
    for (const Finding& finding : findings) {
      if (finding.id == id) return true;
    }
    return false;
  }
  return false;
}

std::vector<std::string> ShrinkScript(std::vector<std::string> lines, const std::string& id, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  if (seconds <= 0 || !Reproduces(lines, id)) return lines;
  for (std::size_t chunk = lines.size() / 2; chunk >= 1; chunk /= 2) {
    // The last line is the failing step itself; everything before it may go.
    std::size_t at = 0;
    while (at + 1 < lines.size()) {
      if (std::chrono::steady_clock::now() > deadline) return lines;
      const std::size_t end = std::min(at + chunk, lines.size() - 1);
      std::vector<std::string> candidate(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(at));
      candidate.insert(candidate.end(), lines.begin() + static_cast<std::ptrdiff_t>(end), lines.end());
      if (Reproduces(candidate, id)) {
        lines = std::move(candidate);
      } else {
        at = end;
      }
    }
  }
  return lines;
}

}  // namespace murrelet::soak
