#include "charging/line_access_hint.h"

#include "charging/texts.h"

namespace murrelet {

std::string LineAccessHint(std::string_view handsetName, const LineOpenDiagnosis& diagnosis) {
  std::string hint(handsetName);
  if (!diagnosis.device.empty()) hint.append("（").append(diagnosis.device).append("）");
  hint.append(text::kLineAccessDenied);
  if (diagnosis.group.empty()) return hint;
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
