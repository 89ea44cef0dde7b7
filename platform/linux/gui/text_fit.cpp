#include "platform/linux/gui/text_fit.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

#include "kit/layout_fit.h"

namespace murrelet::linux_platform {

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
  // The core's proportion first, then narrower in small steps: glyph widths
  // round, so the first guess can be a little too wide.
  int stretch = StretchToFit(QFontMetrics(font).horizontalAdvance(text), width);
  for (; stretch > kMinStretch; stretch -= 2) {
    font.setStretch(stretch);
    if (QFontMetrics(font).horizontalAdvance(text) <= width) break;
  }
  font.setStretch(std::max(stretch, kMinStretch));
  widget.setFont(font);
}

}  // namespace murrelet::linux_platform
