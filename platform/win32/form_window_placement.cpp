// Where a form's controls sit on the window's monitor: the design's 96-dpi
// pixels scaled to the window's DPI, again whenever the DPI changes.
#include "platform/win32/form_window.h"

#include "kit/controls.h"
#include "kit/tick_schedule.h"
#include "platform/win32/form_window_widget.h"
#include "platform/win32/ui_metrics.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace murrelet::win32 {
namespace {

constexpr int kUpDownWidth = 16;

const ControlLayout* RowOf(const Form& form, std::string_view name) {
  for (const ControlLayout& row : form.Layout()) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

// Rows sit in their group; windows sit in the client area.
RECT DesignRect(const Form& form, const ControlLayout& row) {
  RECT rect{row.left, row.top, row.left + row.width, row.top + row.height};
  for (const ControlLayout* parent = RowOf(form, row.parent); parent != nullptr;
       parent = RowOf(form, parent->parent)) {
    OffsetRect(&rect, parent->left, parent->top);
  }
  return rect;
}

}  // namespace

void FormWindow::PlaceWidget(Widget& widget) {
  if (widget.row == nullptr || widget.window == nullptr) return;
  const RECT design = DesignRect(form_, *widget.row);
  const int left = Scale(design.left, dpi_);
  const int top = Scale(design.top, dpi_);
  int width = Scale(design.right, dpi_) - left;
  const int height = Scale(design.bottom, dpi_) - top;
  const ControlKind kind = widget.row->kind;
  if (kind == ControlKind::Label && widget.row->align == Align::Left) {
    // Left-aligned labels size themselves to their text, so a face wider
    // than the design's does not cut a caption short.
    const auto* label = dynamic_cast<const TLabel*>(widget.control);
    HDC dc = GetDC(widget.window);
    HGDIOBJ previous = SelectObject(dc, label != nullptr && label->Bold() ? boldFont_.get() : font_.get());
    SIZE extent{0, 0};
    GetTextExtentPoint32W(dc, widget.shownText.c_str(), static_cast<int>(widget.shownText.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(widget.window, dc);
    if (extent.cx + 1 > width) width = extent.cx + 1;
  }
  if (kind == ControlKind::SpinEdit) {
    // The edit and its arrows share the layout's width.
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
    // The last panel reaches the end of the bar, as the original toolkit's
    // status bars do, so the clock has room in any time format.
    const auto& bar = static_cast<const TStatusBar&>(*widget.control);
    const int edges[2] = {Scale(bar.PanelWidth(0), dpi_), -1};
    SendMessageW(widget.window, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
  }
  if (!widget.row->image.empty()) {
    const bool large = dpi_ >= 144;
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
    PlaceWidget(*widget);
  }
  if (tooltip_ != nullptr) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  InvalidateRect(window_, nullptr, TRUE);
}


}  // namespace murrelet::win32
