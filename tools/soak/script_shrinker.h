// Makes a failing soak script short enough to read: drops runs of lines as
// long as the last line still breaks the same rule, first in big chunks,
// then line by line, within a time budget.
#pragma once

#include <string>
#include <vector>

namespace murrelet::soak {

// True when replaying `lines` in a fresh soak breaks rule `id` at the last
// line and nothing before it.
bool Reproduces(const std::vector<std::string>& lines, const std::string& id);

std::vector<std::string> ShrinkScript(std::vector<std::string> lines, const std::string& id, double seconds);

}  // namespace murrelet::soak
