#include "charging/line_access_hint.h"

#include "charging/texts.h"

namespace murrelet {

std::string LineAccessHint(std::string_view handsetName, const LineOpenDiagnosis& diagnosis) {
  std::string hint(handsetName);
  if (!diagnosis.device.empty()) hint.append("（").append(diagnosis.device).append("）");
  hint.append(text::kLineAccessDenied);
  if (diagnosis.group.empty()) return hint;
  // A group joined now counts only for processes started after the next login.
  hint.append("\n").append(diagnosis.group).append(text::kLineAccessJoinGroup);
  hint.append("\n").append(text::kLineAccessJoinCommandOpen).append(diagnosis.group).append(text::kLineAccessJoinCommandClose);
  return hint;
}

}  // namespace murrelet
