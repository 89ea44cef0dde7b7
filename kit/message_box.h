// Modal message boxes with a single OK button. Showing one runs a nested
// message loop on real platforms, so ticks and broadcasts may run inside it.
#pragma once

#include <string_view>

namespace murrelet {

enum class BoxKind { Error, Information };

inline constexpr std::string_view kErrorCaption = "エラー";
inline constexpr std::string_view kInformationCaption = "情報";

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(BoxKind kind, std::string_view caption, std::string_view text) = 0;
};

}  // namespace murrelet
