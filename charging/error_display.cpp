#include "charging/error_display.h"

#include <new>

#include "charging/texts.h"

namespace murrelet {

std::string StandardErrorText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
  return text;
}

void ErrorDisplay::Show(std::string_view message) {
  boxes_.Show(BoxKind::Error, text::kApplicationTitle, StandardErrorText(message));
}

void ErrorDisplay::Show(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    Show("Out of memory");
    return;
  }
  Show(error.what());
}

void ErrorDisplay::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    Show(error);
  }
}

}  // namespace murrelet
