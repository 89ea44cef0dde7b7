#include "charging/line_access_hint.h"

#include <cstdio>

#include "charging/texts.h"

namespace murrelet {

std::string LineAccessHint(std::string_view handsetName, const LineOpenDiagnosis& diagnosis) {
  std::string hint(handsetName);
  if (!diagnosis.device.empty()) hint.append("（").append(diagnosis.device).append("）");
  hint.append(text::kLineAccessDenied);
  if (diagnosis.group.empty()) {
    // No group may open it: joining one would not help, only the administrator can.
    const bool groupMayOpen = (diagnosis.deviceMode & 0060u) == 0060u;
    if (groupMayOpen || diagnosis.deviceOwner.empty() || diagnosis.deviceGroup.empty()) return hint;
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(diagnosis.deviceMode & 07777u));
    return hint.append("\n")
        .append(text::kLineAccessDeviceOwner)
        .append(diagnosis.deviceOwner)
        .append(text::kLineAccessDeviceGroup)
        .append(diagnosis.deviceGroup)
        .append(text::kLineAccessDeviceMode)
        .append(mode)
        .append(text::kLineAccessNoGroupMayOpen)
        .append("\n")
        .append(text::kLineAccessAskAdministrator);
  }
  hint.append("\n").append(diagnosis.group);
  switch (diagnosis.standing) {
    case GroupStanding::InThisProcess:
      // Joining again would change nothing.
      return hint.append(text::kLineAccessRefusedInGroup);
    case GroupStanding::JoinedSinceLogin:
      return hint.append(text::kLineAccessLogInAgain);
    case GroupStanding::NotMember:
      break;
  }
  // A group joined now counts only for processes started after the next login.
  hint.append(text::kLineAccessJoinGroup);
  if (!diagnosis.joinCommand.empty()) hint.append("\n").append(text::kLineAccessJoinCommand).append(diagnosis.joinCommand);
  return hint;
}

}  // namespace murrelet
