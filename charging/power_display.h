// How the power snapshot reads on the main window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kit/controls.h"

namespace murrelet {

struct PowerSourceText {
  std::string text;
  // Empty when the AC state is undetermined: the label keeps its font.
  std::optional<FontColor> color;
  bool bold = false;
};

// The power-source text by AC line state, with the suffix chosen by the whole
// battery flag byte (not bit by bit); 128 replaces the whole text.
void DescribePowerSource(std::uint8_t acLineStatus, std::uint8_t batteryFlag, PowerSourceText& out);

}  // namespace murrelet
