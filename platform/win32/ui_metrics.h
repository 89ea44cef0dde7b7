// Pixels of the 96-dpi design on the window's monitor, and the window font.
#pragma once

#include <memory>
#include <string>

#include "kit/form.h"
#include "platform/win32/window_hook.h"

struct HFONT__;

namespace murrelet::win32 {

using FontHandle = HFONT__*;

// A font the program made; deleted with its owner.
struct FontDeleter {
  void operator()(FontHandle font) const;
};
using OwnedFont = std::unique_ptr<HFONT__, FontDeleter>;

unsigned WindowDpi(WindowHandle window);
inline int Scale(int designPixels, unsigned dpi) {
  return static_cast<int>((static_cast<long long>(designPixels) * dpi + 48) / 96);
}
// Outer size of a window with the given client size and styles at `dpi`.
void OuterSize(int clientWidth, int clientHeight, unsigned long style, unsigned long exStyle, unsigned dpi,
               int& width, int& height);

// The window font at `dpi`, at the design's pixel size: the design face when
// installed, else the system's message font (SPI_GETNONCLIENTMETRICS).
OwnedFont CreateWindowFont(const DesignFont& design, unsigned dpi, bool bold);
// The face CreateWindowFont draws in.
std::wstring WindowFontFace(const DesignFont& design);

}  // namespace murrelet::win32
