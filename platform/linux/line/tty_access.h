// What to tell a user whom the system refused access to a modem tty.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <vector>

#include "kit/tapi.h"

namespace murrelet::linux_platform {

// The node's path, owner, group and mode and, when the node's group may read
// and write it, that group's name, where this user stands with it, and the
// command that joins it.
LineOpenDiagnosis DiagnoseRefusedAccess(const std::filesystem::path& node);

// Runs a getgrgid_r-style `lookup(buffer)` that answers ERANGE while the
// buffer is too small, growing the buffer each time up to 1 MiB (a group of
// many members needs more than 4 KiB). Returns the lookup's last answer.
int LookUpWithGrowingBuffer(std::vector<char>& buffer, const std::function<int(std::vector<char>&)>& lookup);

}  // namespace murrelet::linux_platform
