// What a form's window does with its messages: the user's actions become
// the controls' User* calls through the program's delivery.
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

std::intptr_t FormWindow::Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case WM_COMMAND: {
      Widget* widget = WidgetById(LOWORD(wParam));
      if (widget != nullptr && widget->control != nullptr && widget->row->kind == ControlKind::ComboBox) {
        auto* combo = static_cast<TComboBox*>(widget->control);
        const HWND window = widget->window;
        std::wstring text;
        if (HIWORD(wParam) == CBN_EDITCHANGE) {
          text.resize(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1);
          text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
        } else if (HIWORD(wParam) == CBN_SELCHANGE) {
          // The edit field takes the picked item only after this message.
          const LRESULT picked = SendMessageW(window, CB_GETCURSEL, 0, 0);
          if (picked == CB_ERR) return 0;
          text.resize(static_cast<std::size_t>(SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(picked), 0)) + 1);
          text.resize(static_cast<std::size_t>(
              SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(picked), reinterpret_cast<LPARAM>(text.data()))));
        } else {
          return 0;
        }
        widget->shownText = text;
        const std::string utf8 = Narrow(text);
        Run([combo, utf8] { combo->UserSetText(utf8); });
        return 0;
      }
      if (widget == nullptr || widget->control == nullptr || HIWORD(wParam) != BN_CLICKED) break;
      if (widget->row->kind == ControlKind::Button) {
        auto* button = static_cast<TButton*>(widget->control);
        Run([button] { button->UserClick(); });
      } else if (widget->row->kind == ControlKind::CheckBox) {
        auto* check = static_cast<TCheckBox*>(widget->control);
        Run([check] { check->UserSetChecked(!check->Checked()); });
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code != UDN_DELTAPOS) break;
      Widget* widget = WidgetById(static_cast<int>(header->idFrom) - 1000);
      if (widget == nullptr || widget->control == nullptr) return 1;
      widget->Step(reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta > 0 ? +1 : -1);
      return 1;  // the arrows keep no value of their own
    }
    case WM_TIMER:
      for (const auto& widget : widgets_) {
        if (widget->row == nullptr && widget->id == static_cast<int>(wParam)) {
          auto* timer = static_cast<TTimer*>(widget->control);
          const TickSchedule::Time now = events_.MonotonicTime();
          if (!widget->schedule.Due(now)) {
            SetTimer(window_, wParam, widget->schedule.DelayMsFrom(now), nullptr);
            return 0;
          }
          widget->schedule.Fired(now);
          // Armed before the period runs, whose message boxes run nested loops.
          SetTimer(window_, wParam, widget->schedule.DelayMsFrom(events_.MonotonicTime()), nullptr);
          Run([timer] { timer->Fire(); });
          return 0;
        }
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Widget* widget = WidgetById(static_cast<int>(item->CtlID));
      if (widget == nullptr) break;
      const bool enabled = widget->control == nullptr || widget->control->Enabled();
      const Artwork* glyph = enabled ? widget->image.get() : widget->disabledImage.get();
      const std::wstring caption = widget->control != nullptr ? Widen(widget->control->Text()) : std::wstring();
      DrawGlyphButton(*item, caption, glyph, font_.get(), dpi_);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      Widget* widget = WidgetById(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
      if (widget != nullptr && widget->row->kind == ControlKind::SpinEdit) {
        // A read-only edit asks as a static does; it keeps the colours of an
        // edit, which a high-contrast scheme sets apart from the face.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<std::intptr_t>(GetSysColorBrush(COLOR_WINDOW));
      }
      const auto* label = widget != nullptr ? dynamic_cast<const TLabel*>(widget->control) : nullptr;
      SetTextColor(dc, label != nullptr && label->Color() == FontColor::Red ? RGB(255, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<std::intptr_t>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      // As a dialog does: the focus leaves with the window and comes back to
      // the control that had it, or to the first one the keyboard reaches.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
        return 0;
      }
      if (lastFocus_ == nullptr || !IsWindow(lastFocus_) || !IsWindowEnabled(lastFocus_)) {
        lastFocus_ = GetNextDlgTabItem(window_, nullptr, FALSE);
      }
      if (lastFocus_ != nullptr) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      events_.CloseRequested(form_);
      return 0;
    case WM_SYSCOMMAND:
      // The main window goes down with the task-bar button's window, which
      // hides it and brings it back on restore.
      if (!dialog_ && (wParam & 0xFFF0) == SC_MINIMIZE) {
        events_.MinimizeRequested();
        return 0;
      }
      break;
    case WM_QUERYENDSESSION:
      // The end may follow without WM_ENDSESSION reaching us in time: the
      // settings are written now. The program never holds the session up.
      if (!dialog_) events_.SessionEndQueried();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam != FALSE) events_.SessionEnding();
      return 0;
    case WM_POWERBROADCAST:
      // Arriving here first, with no procedure of the program installed
      // ahead of this one.
      if (hook_ && hook_->Power()) {
        return hook_->Power()(wParam, lParam, [this](std::uintptr_t w, std::intptr_t l) {
          return DefWindowProcW(window_, WM_POWERBROADCAST, w, l);
        });
      }
      break;
    case WM_DPICHANGED: {
      // Where the system suggests; the size then follows the texts measured
      // at the new DPI.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(HIWORD(wParam));
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}


}  // namespace murrelet::win32
