// Where a form's controls sit on the window's monitor: every text measured in
// the font it is drawn in, the design grown round the texts (kit/layout_fit.h),
// then scaled to the window's DPI; again whenever the DPI or a text changes.
#include "platform/win32/form_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "kit/controls.h"
#include "kit/layout_fit.h"
#include "kit/tick_schedule.h"
#include "platform/win32/form_window_widget.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/ui_metrics.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace murrelet::win32 {
namespace {

constexpr int kUpDownWidth = 16;
constexpr int kCheckBoxSize = 13;  // the box of a check box, at 96 dpi

int ToDesign(int pixels, unsigned dpi) {
  return static_cast<int>((static_cast<long long>(pixels) * 96 + dpi - 1) / dpi);
}

SIZE NonClient(HWND window) {
  RECT outer;
  RECT client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  return {(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}

}  // namespace

// The room a widget's content needs, in device pixels at the window's DPI:
// its text measured in the font it is drawn in, with what the control draws
// beside the text. A kind not named here gets room for its text, its frame
// and an arrow's width.
ContentSize FormWindow::Measure(const Widget& widget) const {
  const ControlLayout& row = *widget.row;
  std::wstring text;
  switch (row.kind) {
    case ControlKind::Picture:
    case ControlKind::Timer:
      return {};
    case ControlKind::Button:
      text = widget.control != nullptr ? Widen(widget.control->Text()) : Widen(row.text);
      break;
    case ControlKind::SpinEdit:
      text = widget.control != nullptr ? std::to_wstring(static_cast<const TSpinEdit*>(widget.control)->MaxValue()) : L"00";
      break;
    case ControlKind::ProgressBar:
      text = L"100%";
      break;
    case ControlKind::StatusBar:
      text = L"0";  // the panels narrow their texts; the bar needs their height
      break;
    default:
      text = widget.shownText;
      break;
  }
  const auto* label = dynamic_cast<const TLabel*>(widget.control);
  HDC dc = GetDC(widget.window);
  HGDIOBJ previous = SelectObject(dc, label != nullptr && label->Bold() ? boldFont_.get() : font_.get());
  SIZE extent{0, 0};
  if (!text.empty()) GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(widget.window, dc);
  const int line = metrics.tmHeight;
  const SIZE frame = NonClient(widget.window);
  const auto px = [this](int design) { return Scale(design, dpi_); };
  if (extent.cx == 0 && row.kind != ControlKind::StatusBar) return {};
  switch (row.kind) {
    case ControlKind::Label:
      return {extent.cx + 1, line};
    case ControlKind::StaticText:
      return {extent.cx + frame.cx + px(4), line + frame.cy};
    case ControlKind::CheckBox:
      // The box, the gap before the text, and the focus frame round it.
      return {px(kCheckBoxSize) + px(4) + extent.cx + px(2), std::max(line, px(kCheckBoxSize)) + px(2)};
    case ControlKind::Button:
      return {extent.cx + px(12) + (row.image.empty() ? 0 : px(20)), line + px(6)};
    case ControlKind::Group:
      return {extent.cx + px(18), 0};  // the caption sits in from the frame's corner
    case ControlKind::SpinEdit:
      return {extent.cx + px(kUpDownWidth) + frame.cx + px(6), line + frame.cy + px(2)};
    case ControlKind::ProgressBar:
      return {extent.cx + px(4), line + px(2)};
    case ControlKind::StatusBar:
      return {0, line + px(6)};
    default:
      return {extent.cx + frame.cx + px(24), line + frame.cy + px(4)};
  }
}

void FormWindow::Refit(bool keepCentre) {
  if (!controlsMade_ || fitHeld_) return;
  // Measured at the window's DPI, fitted in design pixels.
  std::vector<ContentSize> needs(form_.Layout().size());
  for (const auto& widget : widgets_) {
    if (widget->row == nullptr || widget->window == nullptr) continue;
    const ContentSize need = Measure(*widget);
    needs[static_cast<std::size_t>(widget->row - form_.Layout().data())] = {ToDesign(need.width, dpi_),
                                                                            ToDesign(need.height, dpi_)};
  }
  fitted_ = FitLayout(form_.Layout(), needs, form_.ClientWidth(), form_.ClientHeight());
  for (const auto& widget : widgets_) PlaceWidget(*widget);

  const DWORD style = static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE));
  int width = 0;
  int height = 0;
  OuterSize(fitted_.clientWidth, fitted_.clientHeight, style, exStyle, dpi_, width, height);
  RECT outer;
  GetWindowRect(window_, &outer);
  if (outer.right - outer.left == width && outer.bottom - outer.top == height) return;
  const int left = keepCentre ? (outer.left + outer.right - width) / 2 : outer.left;
  const int top = keepCentre ? (outer.top + outer.bottom - height) / 2 : outer.top;
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::PlaceWidget(Widget& widget) {
  if (widget.row == nullptr || widget.window == nullptr) return;
  const std::size_t index = static_cast<std::size_t>(widget.row - form_.Layout().data());
  if (index >= fitted_.rects.size()) return;
  const LayoutRect design = InClientArea(form_.Layout(), fitted_, index);
  // Sizes scaled on their own, so that a measured width is never a pixel
  // short for the rounding of two edges.
  const int left = Scale(design.left, dpi_);
  const int top = Scale(design.top, dpi_);
  const int width = Scale(design.width, dpi_);
  const int height = Scale(design.height, dpi_);
  const ControlKind kind = widget.row->kind;
  if (kind == ControlKind::SpinEdit) {
    // The edit and its arrows share the row's width.
    const int arrows = Scale(kUpDownWidth, dpi_);
    MoveWindow(widget.window, left, top, width - arrows, height, TRUE);
    MoveWindow(widget.upDown, left + width - arrows, top, arrows, height, TRUE);
  } else if (kind == ControlKind::ComboBox) {
    // A drop-down's window also holds its open list: room for eight names.
    MoveWindow(widget.window, left, top, width, height + Scale(8 * 16, dpi_), TRUE);
  } else {
    MoveWindow(widget.window, left, top, width, height, TRUE);
  }
  if (kind == ControlKind::StatusBar) {
    // The panels where the core puts them (the system's bar keeps its own
    // gap between parts): the last reaches the end of the bar.
    const auto& bar = static_cast<const TStatusBar&>(*widget.control);
    std::vector<int> widths;
    for (std::size_t i = 0; i < bar.PanelCount(); ++i) widths.push_back(bar.PanelWidth(i));
    const std::vector<PanelSpan> spans = StatusPanelSpans(widths, 0, design.width);
    std::vector<int> edges;
    for (const PanelSpan& span : spans) edges.push_back(Scale(span.left + span.width, dpi_));
    if (!edges.empty()) edges.back() = -1;
    SendMessageW(widget.window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  }
  const bool large = dpi_ >= 144;
  if (!widget.row->image.empty() && (widget.image == nullptr || widget.imageLarge != large)) {
    widget.imageLarge = large;
    widget.image = std::make_unique<Artwork>(widget.row->image, false, large);
    if (kind == ControlKind::Button) widget.disabledImage = std::make_unique<Artwork>(widget.row->image, true, large);
    if (kind == ControlKind::Picture) SetWindowLongPtrW(widget.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(widget.image.get()));
    InvalidateRect(widget.window, nullptr, TRUE);
  }
}

void FormWindow::ApplyDpi(unsigned dpi) {
  dpi_ = dpi;
  // The old fonts go only once every control has the new ones.
  const OwnedFont oldFont = std::move(font_);
  const OwnedFont oldBold = std::move(boldFont_);
  font_ = CreateWindowFont(form_.Font(), dpi_, false);
  boldFont_ = CreateWindowFont(form_.Font(), dpi_, true);
  drawing_ = {font_.get(), dpi_};
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  for (const auto& widget : widgets_) {
    if (widget->window == nullptr) continue;
    const auto* label = dynamic_cast<const TLabel*>(widget->control);
    const bool bold = label != nullptr && label->Bold();
    SendMessageW(widget->window, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_.get() : font_.get()), TRUE);
  }
  Refit(false);
  if (tooltip_ != nullptr) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  InvalidateRect(window_, nullptr, TRUE);
}


}  // namespace murrelet::win32
