// Fitting the design's pixel sizes to the CJK font at hand. The layout was
// drawn for a proportional Japanese face whose kana are narrower than Noto's,
// so a control may need a few more pixels than its design width: it grows to
// the right while nothing is in the way, and only text that still does not fit
// is drawn condensed. No text is ever cut off or elided (the status bar wraps
// a message that does not fit even condensed: widgets.h).
#pragma once

#include <span>

#include "kit/form.h"

class QWidget;
class QString;

namespace murrelet::linux_platform {

// The width a control gets: its design width, or up to `room` more when its
// content needs it.
int FittedWidth(int designWidth, int neededWidth, int room);

// How far the control of `row` may extend: up to the next control on its
// right that shares any of its rows (same parent), or the parent's inner edge.
int RoomToTheRight(const ControlLayout& row, std::span<const ControlLayout> layout, int parentInnerRight);

// The font stretch (percent, 100 = normal) that makes `neededWidth` fit into
// `availableWidth`; never below kMinStretch.
int StretchToFit(int neededWidth, int availableWidth);
inline constexpr int kMinStretch = 70;

// Narrows `widget`'s font until its size hint fits `width`.
void CondenseToWidth(QWidget& widget, int width);
// Same for a text drawn in `width` pixels (labels whose text changes).
void CondenseTextToWidth(QWidget& widget, const QString& text, int width);

}  // namespace murrelet::linux_platform
