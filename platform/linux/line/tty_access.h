// What to tell a user whom the system refused access to a modem tty.
#pragma once

#include <filesystem>

#include "kit/tapi.h"

namespace murrelet::linux_platform {

// The node's path and, when the node's group may read and write it, that
// group's name: joining it is what gives the access.
LineOpenDiagnosis DiagnoseRefusedAccess(const std::filesystem::path& node);

}  // namespace murrelet::linux_platform
