// How the program's own controls look: the side picture in its bevelled
// panel, the progress bar that prints its percentage, and the glyph buttons.
#pragma once

#include <string>

#include "platform/win32/artwork.h"
#include "platform/win32/ui_metrics.h"

struct tagDRAWITEMSTRUCT;

namespace murrelet::win32 {

// Window classes of the picture panel and the percentage bar; their
// GWLP_USERDATA points at what they show (an Artwork, a PercentBarState).
extern const wchar_t* const kPicturePanelClass;
extern const wchar_t* const kPercentBarClass;
void RegisterCustomControls();

struct PercentBarState {
  int percent = 0;  // 0..100
  FontHandle font = nullptr;
};

// A push button with its glyph left of the caption (centred without one).
void DrawGlyphButton(const tagDRAWITEMSTRUCT& item, const std::wstring& caption, const Artwork* glyph,
                     FontHandle font, unsigned dpi);

}  // namespace murrelet::win32
