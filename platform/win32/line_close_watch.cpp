#include "platform/win32/line_close_watch.h"

namespace murrelet::win32 {

void LineCloseWatch::Opened(std::uintptr_t line, std::uint32_t deviceId) {
  open_[line] = deviceId;
  closed_.erase(line);
}

void LineCloseWatch::Closed(std::uintptr_t line) {
  open_.erase(line);
  closed_.erase(line);
}

void LineCloseWatch::OnMessage(std::uint32_t message, std::uintptr_t device, std::uintptr_t param1) {
  const bool lineGone = message == kLineClose || (message == kLineDevState && (param1 & kLineDevStateRemoved) != 0);
  if (lineGone) {
    if (open_.count(device) != 0) closed_.insert(device);
    return;
  }
  if (message == kLineRemove) {
    for (const auto& [line, deviceId] : open_) {
      if (deviceId == param1) closed_.insert(line);
    }
  }
}

}  // namespace murrelet::win32
