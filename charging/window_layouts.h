// The two windows as both GUIs build them: one row per control, in tab order,
// with the names a screen reader says where a control's own text does not.
#pragma once

#include <span>

#include "kit/form.h"

namespace murrelet {

inline constexpr int kMainClientWidth = 309;
inline constexpr int kMainClientHeight = 215;
inline constexpr int kConfClientWidth = 393;
// Grown by the group of the boxes that start without a click, above the buttons.
inline constexpr int kConfClientHeight = 389;
inline constexpr int kFontPixels = 12;
inline constexpr const char* kFontFace = "ＭＳ Ｐゴシック";
inline constexpr int kStatusPanel0Width = 180;
inline constexpr int kStatusPanel1Width = 50;
inline constexpr DesignFont kDesignFont{kFontFace, kFontPixels};

std::span<const ControlLayout> MainFormLayout();
std::span<const ControlLayout> ConfFormLayout();

}  // namespace murrelet
