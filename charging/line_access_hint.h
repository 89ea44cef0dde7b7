// The advice shown when a run could not start because this user may not open
// the handset's device (on Linux: not a member of the tty's group).
#pragma once

#include <string>
#include <string_view>

#include "kit/tapi.h"

namespace murrelet {

// The text of the advice box for `handsetName`, naming the device and, when
// the platform knows it, the group to join and the platform's command that
// joins it; to a user who is in the group already, what stands in the way; for
// a device that no group may open, its owner, group and mode and what to ask
// the administrator for.
std::string LineAccessHint(std::string_view handsetName, const LineOpenDiagnosis& diagnosis);

}  // namespace murrelet
