// Measuring for the core's fit (kit/layout_fit.h): where the controls go and
// how far a text is narrowed are decided there, for both front ends; here a
// widget's font is narrowed by that decision until its text measures as fitting.
// No text is ever cut off or elided (the status bar wraps a message that does
// not fit even narrowed: widgets.h).
#pragma once

class QWidget;
class QString;

namespace murrelet::linux_platform {

// Narrows `widget`'s font until its size hint fits `width`.
void CondenseToWidth(QWidget& widget, int width);
// Narrows `widget`'s font until `text` measures within `width` pixels, as far
// as the core's least stretch allows (labels and panels whose text changes).
void CondenseTextToWidth(QWidget& widget, const QString& text, int width);

}  // namespace murrelet::linux_platform
