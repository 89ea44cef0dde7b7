// A control's state mirrored into its window: text, enabled state, value,
// check, panels and the label's font.
#include "platform/win32/form_window.h"

#include "kit/controls.h"
#include "kit/tick_schedule.h"
#include "platform/win32/form_window_widget.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/ui_metrics.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace murrelet::win32 {

void FormWindow::Mirror(Widget& widget) {
  const Control& control = *widget.control;
  if (control.Kind() == ControlKind::Timer) {
    const auto& timer = static_cast<const TTimer&>(control);
    // Enabling again restarts the period. The system timer runs one wait at a
    // time, re-armed from the schedule so that periods follow the monotonic clock.
    if (timer.Enabled()) {
      const TickSchedule::Time now = events_.MonotonicTime();
      widget.schedule.Start(now, std::chrono::milliseconds(timer.Interval()));
      SetTimer(window_, static_cast<UINT_PTR>(widget.id), widget.schedule.DelayMsFrom(now), nullptr);
    } else {
      KillTimer(window_, static_cast<UINT_PTR>(widget.id));
    }
    return;
  }
  if (widget.window == nullptr) return;
  const bool enabled = control.Enabled();
  if ((IsWindowEnabled(widget.window) != FALSE) != enabled) {
    EnableWindow(widget.window, enabled ? TRUE : FALSE);
    if (widget.upDown != nullptr) EnableWindow(widget.upDown, enabled ? TRUE : FALSE);
  }
  switch (control.Kind()) {
    case ControlKind::SpinEdit: {
      const std::wstring value = std::to_wstring(static_cast<const TSpinEdit&>(control).Value());
      if (value != widget.shownText) {
        widget.shownText = value;
        SetWindowTextW(widget.window, value.c_str());
      }
      return;
    }
    case ControlKind::ProgressBar: {
      const int percent = static_cast<const TProgressBar&>(control).ShownPercent();
      if (percent != widget.shownPercent) {
        widget.shownPercent = percent;
        SendMessageW(widget.window, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
      }
      return;
    }
    case ControlKind::StatusBar: {
      const auto& status = static_cast<const TStatusBar&>(control);
      // The parts keep their texts, so the bar reads them out and tells
      // assistive technology of each change itself; each is set only when it
      // changed, so a tick that changes nothing says nothing.
      const auto setPart = [&](std::size_t part, std::wstring& shown) {
        std::wstring text = status.PanelCount() > part ? Widen(status.Panel(part)) : std::wstring();
        if (text == shown) return;
        shown = std::move(text);
        SendMessageW(widget.window, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(shown.c_str()));
      };
      setPart(0, widget.shownText);
      setPart(1, widget.shownClock);
      return;
    }
    case ControlKind::ComboBox: {
      std::vector<std::wstring> items;
      for (const std::string& item : static_cast<const TComboBox&>(control).Items()) items.push_back(Widen(item));
      if (items != widget.shownItems) {
        widget.shownItems = std::move(items);
        SendMessageW(widget.window, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& item : widget.shownItems) {
          SendMessageW(widget.window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        widget.shownText.clear();  // the reset emptied the edit field
      }
      break;
    }
    case ControlKind::CheckBox:
      SendMessageW(widget.window, BM_SETCHECK, static_cast<const TCheckBox&>(control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    default:
      break;
  }
  if (const auto* label = dynamic_cast<const TLabel*>(&control)) {
    SendMessageW(widget.window, WM_SETFONT, reinterpret_cast<WPARAM>(label->Bold() ? boldFont_.get() : font_.get()), FALSE);
  }
  const std::wstring text =
      Widen(control.Kind() == ControlKind::Button ? AccessibleName(*widget.row, &control) : control.Text());
  if (text != widget.shownText) {
    widget.shownText = text;
    SetWindowTextW(widget.window, text.c_str());
    Refit(false);
  }
  InvalidateRect(widget.window, nullptr, TRUE);
}


}  // namespace murrelet::win32
