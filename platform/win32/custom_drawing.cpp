#include "platform/win32/custom_drawing.h"

#include <algorithm>
#include <string>

#include "kit/layout_fit.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace murrelet::win32 {

const wchar_t* const kPicturePanelClass = L"MurreletPicturePanel";

namespace {

template <typename T>
T* StateOf(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void PaintPicturePanel(HWND window, HDC dc) {
  RECT rect;
  GetClientRect(window, &rect);
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  // A raised outer and a lowered inner bevel, one pixel each.
  DrawEdge(dc, &rect, BDR_RAISEDOUTER | BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
  if (const Artwork* picture = StateOf<const Artwork>(window)) {
    picture->Draw(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  }
}

void PaintPercentBar(HWND window, HDC dc, const DrawingState* state) {
  RECT rect;
  GetClientRect(window, &rect);
  DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  const int percent = std::clamp(static_cast<int>(SendMessageW(window, PBM_GETPOS, 0, 0)), 0, 100);
  RECT filled = rect;
  filled.right = rect.left + (rect.right - rect.left) * percent / 100;
  RECT empty = rect;
  empty.left = filled.right;
  FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));
  FillRect(dc, &empty, GetSysColorBrush(COLOR_WINDOW));

  const std::wstring text = std::to_wstring(percent) + L"%";
  HGDIOBJ previous = state && state->font ? SelectObject(dc, state->font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  // The text reads in both halves: highlight colours over the filled part.
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  DrawTextW(dc, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RestoreDC(dc, saved);
  ExcludeClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (previous != nullptr) SelectObject(dc, previous);
}

LRESULT CALLBACK PaintedControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PaintPicturePanel(window, dc);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, wParam, lParam);
}

// Paints into the DC a WM_PAINT or WM_PRINTCLIENT brings, or a fresh one.
template <typename Paint>
LRESULT PaintWith(HWND window, WPARAM given, Paint paint) {
  if (given != 0) {
    paint(reinterpret_cast<HDC>(given));
    return 0;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  paint(dc);
  EndPaint(window, &ps);
  return 0;
}

LRESULT CALLBACK PercentBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const auto* state = reinterpret_cast<const DrawingState*>(data);
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return PaintWith(window, wParam, [&](HDC dc) { PaintPercentBar(window, dc, state); });
    case WM_ERASEBKGND:
      return 1;
    case PBM_SETPOS: {
      // The bar's own drawing animates towards a new position; this one
      // shows it at once.
      const LRESULT previous = DefSubclassProc(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return previous;
    }
    default:
      return DefSubclassProc(window, message, wParam, lParam);
  }
}

std::wstring PartText(HWND bar, int part) {
  const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  std::wstring text(LOWORD(length) + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(length));
  return text;
}

LRESULT CALLBACK PanelsProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const auto* state = reinterpret_cast<const DrawingState*>(data);
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT && message != WM_PRINTCLIENT) return DefSubclassProc(bar, message, wParam, lParam);
  // The whole bar in system colours: each part sunken, its text fitted.
  return PaintWith(bar, wParam, [&](HDC dc) {
    RECT client;
    GetClientRect(bar, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    for (int part = 0; part < parts; ++part) {
      RECT bound{};
      SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&bound));
      DrawEdge(dc, &bound, BDR_SUNKENOUTER, BF_RECT);
      DrawFittedText(dc, PanelTextRect(bar, part, state->dpi), PartText(bar, part), state->font,
                     part == parts - 1 && parts > 1);
    }
  });
}

}  // namespace

void RegisterCustomControls() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PaintedControl;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPicturePanelClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

void DrawGlyphButton(const DRAWITEMSTRUCT& item, const std::wstring& caption, const Artwork* glyph, FontHandle font,
                     unsigned dpi) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SIZE textSize{0, 0};
  if (!caption.empty()) GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize);
  const int glyphSize = glyph && glyph->Loaded() ? Scale(16, dpi) : 0;
  const int spacing = glyphSize > 0 && textSize.cx > 0 ? Scale(4, dpi) : 0;
  const int shift = pushed ? 1 : 0;
  int left = (rect.left + rect.right - (glyphSize + spacing + textSize.cx)) / 2 + shift;
  const int middle = (rect.top + rect.bottom) / 2 + shift;
  if (glyphSize > 0) glyph->Draw(dc, left, middle - glyphSize / 2, glyphSize, glyphSize);
  left += glyphSize + spacing;
  if (textSize.cx > 0) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    TextOutW(dc, left, middle - textSize.cy / 2, caption.c_str(), static_cast<int>(caption.size()));
  }
  if (previous != nullptr) SelectObject(dc, previous);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -Scale(4, dpi), -Scale(4, dpi));
    DrawFocusRect(dc, &focus);
  }
}

OwnedFont CondensedFont(HDC dc, FontHandle font, const std::wstring& text, int width) {
  if (text.empty() || width <= 0) return nullptr;
  const HGDIOBJ previous = SelectObject(dc, font);
  const int length = static_cast<int>(text.size());
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), length, &size);
  OwnedFont narrow;
  if (size.cx > width) {
    LOGFONTW shape{};
    TEXTMETRICW metrics{};
    GetObjectW(font, sizeof shape, &shape);
    GetTextMetricsW(dc, &metrics);
    // The core's proportion first (kit/layout_fit.h), then a pixel less at a
    // time: glyph widths round, so the first guess can be a little too wide.
    // A status panel has no second line to go to, so its text narrows on.
    LONG average = std::max<LONG>(1, metrics.tmAveCharWidth * StretchToFit(size.cx, width) / 100);
    for (; average >= 1; --average) {
      shape.lfWidth = average;
      narrow.reset(CreateFontIndirectW(&shape));
      if (narrow == nullptr) break;
      SelectObject(dc, narrow.get());
      GetTextExtentPoint32W(dc, text.c_str(), length, &size);
      SelectObject(dc, font);
      if (size.cx <= width) break;
    }
  }
  SelectObject(dc, previous);
  return narrow;
}

void DrawPercentOver(HWND progressBar, const DrawingState* state) {
  SetWindowSubclass(progressBar, PercentBarProc, 1, reinterpret_cast<DWORD_PTR>(state));
}

void DrawPanelsOver(HWND statusBar, const DrawingState* state) {
  SetWindowSubclass(statusBar, PanelsProc, 1, reinterpret_cast<DWORD_PTR>(state));
}

RECT PanelTextRect(HWND statusBar, int part, unsigned dpi) {
  RECT rect{};
  SendMessageW(statusBar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&rect));
  // Inside the sunken border, with a margin of two design pixels.
  InflateRect(&rect, -1, -1);
  rect.left += Scale(2, dpi);
  rect.right -= Scale(2, dpi);
  if (rect.right < rect.left) rect.right = rect.left;
  return rect;
}

void DrawFittedText(HDC dc, const RECT& rect, const std::wstring& text, FontHandle font, bool centred) {
  const OwnedFont narrow = CondensedFont(dc, font, text, rect.right - rect.left);
  const HGDIOBJ previous = SelectObject(dc, narrow != nullptr ? narrow.get() : font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT area = rect;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
            // Unclipped: text that did not fit would show, not vanish.
            (centred ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  SelectObject(dc, previous);
}

}  // namespace murrelet::win32
