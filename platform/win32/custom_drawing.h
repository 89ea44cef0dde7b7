// How the program's own controls look: the side picture in its bevelled
// panel, the progress bar that prints its percentage, the glyph buttons and
// the status panels whose text is narrowed rather than cut off. The progress
// bar and the status bar stay the system's controls, drawn over by the
// program, so their values and texts remain theirs for assistive technology.
#pragma once

#include <string>

#include "platform/win32/artwork.h"
#include "platform/win32/ui_metrics.h"

struct tagDRAWITEMSTRUCT;
struct HDC__;
struct HWND__;
struct tagRECT;

namespace murrelet::win32 {

// The window class of the picture panel; its GWLP_USERDATA points at the
// Artwork it shows.
extern const wchar_t* const kPicturePanelClass;
void RegisterCustomControls();

// The font and scale a drawn-over control paints with; owned by the window
// that owns the control, and alive as long as the control.
struct DrawingState {
  FontHandle font = nullptr;
  unsigned dpi = 96;
};

// A system progress bar (0..100) that prints its position as a percentage.
void DrawPercentOver(HWND__* progressBar, const DrawingState* state);
// A system status bar whose panels keep their texts (SB_GETTEXT, the bar's
// own accessible object) while the program draws them: the first
// left-aligned, the last centred, each narrowed rather than cut.
void DrawPanelsOver(HWND__* statusBar, const DrawingState* state);
// Where a panel's text goes: the part less its border and a margin.
tagRECT PanelTextRect(HWND__* statusBar, int part, unsigned dpi);

// A push button with its glyph left of the caption (centred without one).
void DrawGlyphButton(const tagDRAWITEMSTRUCT& item, const std::wstring& caption, const Artwork* glyph,
                     FontHandle font, unsigned dpi);

// A copy of `font` narrowed so that `text` fits in `width` pixels on `dc`, as
// far as a font can be narrowed; null when the text fits as it is. The caller
// deletes the font.
OwnedFont CondensedFont(HDC__* dc, FontHandle font, const std::wstring& text, int width);

// A panel's text in `rect`, left-aligned or centred, in `font` or narrower.
void DrawFittedText(HDC__* dc, const tagRECT& rect, const std::wstring& text, FontHandle font, bool centred);

}  // namespace murrelet::win32
