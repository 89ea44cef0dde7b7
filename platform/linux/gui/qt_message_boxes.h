// Modal message boxes with one OK button, over the window in front.
#pragma once

#include "kit/message_box.h"

namespace murrelet::linux_platform {

class QtFormHost;

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QtFormHost& host) : host_(host) {}
  void Show(BoxKind kind, std::string_view caption, std::string_view text) override;

 private:
  QtFormHost& host_;
};

}  // namespace murrelet::linux_platform
