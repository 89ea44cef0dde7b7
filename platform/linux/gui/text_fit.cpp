#include "platform/linux/gui/text_fit.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace murrelet::linux_platform {

int FittedWidth(int designWidth, int neededWidth, int room) {
  if (neededWidth <= designWidth) return designWidth;
  return std::max(designWidth, std::min(neededWidth, room));
}

int RoomToTheRight(const ControlLayout& row, std::span<const ControlLayout> layout, int parentInnerRight) {
  int right = parentInnerRight;
  for (const ControlLayout& other : layout) {
    if (other.name == row.name || other.parent != row.parent || other.kind == ControlKind::Timer) continue;
    const bool sharesRows = other.top < row.top + row.height && row.top < other.top + other.height;
    if (sharesRows && other.left >= row.left + row.width) right = std::min(right, other.left - 1);
  }
  return std::max(row.width, right - row.left);
}

int StretchToFit(int neededWidth, int availableWidth) {
  if (neededWidth <= availableWidth || neededWidth <= 0) return 100;
  // Rounded down, so the narrowed text fits rather than nearly fits.
  return std::max(kMinStretch, availableWidth * 100 / neededWidth);
}

void CondenseToWidth(QWidget& widget, int width) {
  QFont font = widget.font();
  font.setStretch(100);
  widget.setFont(font);
  for (int stretch = StretchToFit(widget.sizeHint().width(), width); stretch >= kMinStretch; stretch -= 2) {
    font.setStretch(stretch);
    widget.setFont(font);
    if (stretch == 100 || widget.sizeHint().width() <= width) return;
  }
}

void CondenseTextToWidth(QWidget& widget, const QString& text, int width) {
  // The clock changes every second and nearly always fits: measured with the
  // widget's own font, whose engine is already looked up, that is all it costs.
  if (widget.font().stretch() == 100 && widget.fontMetrics().horizontalAdvance(text) <= width) return;
  QFont font = widget.font();
  font.setStretch(100);
  int stretch = StretchToFit(QFontMetrics(font).horizontalAdvance(text), width);
  for (; stretch > kMinStretch; stretch -= 2) {
    font.setStretch(stretch);
    if (QFontMetrics(font).horizontalAdvance(text) <= width) break;
  }
  font.setStretch(std::max(stretch, kMinStretch));
  widget.setFont(font);
}

}  // namespace murrelet::linux_platform
