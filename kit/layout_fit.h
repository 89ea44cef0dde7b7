// A window's design grown to fit its texts in the font at hand. Each control
// gets at least the size its content needs; what lies after it in its group
// (to its right on the same line, below it in the same column) moves along,
// keeping the design's gaps; a group grows round its controls, keeping its
// design margins; groups, bars and pictures whose edges lined up in the design,
// or reached their parent's edge, line up again; and the window grows round
// everything. Nothing shrinks, and
// contents that fit leave the design as it is. A front end measures, this
// decides, the front end places.
#pragma once

#include <span>
#include <vector>

#include "kit/form.h"

namespace murrelet {

// A control's place, in 96-dpi design pixels, relative to its parent group
// (or to the client area), as the layout rows give it.
struct LayoutRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const LayoutRect&) const = default;
};

// What a control's content needs, in design pixels: its text and what the
// control draws beside it (a check box's box, a button's edges). Zero asks
// for nothing beyond the design.
struct ContentSize {
  int width = 0;
  int height = 0;
};

struct FittedLayout {
  std::vector<LayoutRect> rects;  // one per layout row, in the layout's order
  int clientWidth = 0;
  int clientHeight = 0;
};

// `needs` holds one entry per layout row (missing entries need nothing).
FittedLayout FitLayout(std::span<const ControlLayout> layout, std::span<const ContentSize> needs, int clientWidth,
                       int clientHeight);

// The rectangle of row `index` in the client area: its own place plus those
// of the groups it sits in.
LayoutRect InClientArea(std::span<const ControlLayout> layout, const FittedLayout& fitted, std::size_t index);

// A front end that keeps the design's places (Linux, whose CJK face is a
// little wider than the design's) grows a control only into free room: the
// width a control gets is its design width, or up to `room` when its content
// needs more; the rest of its text is narrowed by StretchToFit.
int FittedWidth(int designWidth, int neededWidth, int room);
// How far the control of `row` may extend: up to the next control on its
// right that shares any of its rows (same parent), or the parent's inner edge.
int RoomToTheRight(const ControlLayout& row, std::span<const ControlLayout> layout, int parentInnerRight);

// A text that changes after the layout is settled (a label's power text, a
// status panel's message) is drawn narrower rather than cut: the font
// stretch (percent, 100 = normal) that fits `neededWidth` into
// `availableWidth`, rounded down so that the text fits rather than nearly
// fits, and never below kMinStretch. A front end measures, narrows its font
// by this, and measures again.
inline constexpr int kMinStretch = 70;
int StretchToFit(int neededWidth, int availableWidth);

// A status bar's panels across a bar `barWidth` wide: each at its design
// width, `gap` after the one before it, and the last reaching the bar's end
// (as the system's status bar draws it), so the clock has room in any time
// format and no gap stays at the end.
struct PanelSpan {
  int left = 0;
  int width = 0;
  bool operator==(const PanelSpan&) const = default;
};
std::vector<PanelSpan> StatusPanelSpans(std::span<const int> designWidths, int gap, int barWidth);

}  // namespace murrelet
