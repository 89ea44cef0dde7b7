// The application's standard error display: a modal box captioned with the
// application title, showing an exception's message.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "kit/message_box.h"

namespace murrelet {

// The message as shown: "." is appended when its last byte sorts after ".".
std::string StandardErrorText(std::string_view message);

class ErrorDisplay {
 public:
  explicit ErrorDisplay(MessageBoxes& boxes) : boxes_(boxes) {}
  void Show(std::string_view message);
  void Show(const std::exception& error);
  // Runs `action` as the message loop does: anything it throws is shown and
  // the program carries on.
  void Guard(const std::function<void()>& action);

 private:
  MessageBoxes& boxes_;
};

}  // namespace murrelet
