// How the program's own controls look: the side picture in its bevelled
// panel, the progress bar that prints its percentage, the glyph buttons and
// the status panel whose text is narrowed rather than cut off.
#pragma once

#include <string>

#include "platform/win32/artwork.h"
#include "platform/win32/ui_metrics.h"

struct tagDRAWITEMSTRUCT;
struct HDC__;

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

// A copy of `font` narrowed so that `text` fits in `width` pixels on `dc`, as
// far as a font can be narrowed; null when the text fits as it is. The caller
// deletes the font.
FontHandle CondensedFont(HDC__* dc, FontHandle font, const std::wstring& text, int width);

// A status bar panel's text drawn from WM_DRAWITEM, left-aligned, in `font`
// or narrower.
void DrawFittedPanel(const tagDRAWITEMSTRUCT& item, const std::wstring& text, FontHandle font, unsigned dpi);

}  // namespace murrelet::win32
