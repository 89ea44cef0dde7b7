#include "platform/win32/form_window.h"

#include "kit/controls.h"
#include "kit/tick_schedule.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/ui_metrics.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace murrelet::win32 {
namespace {

constexpr int kFirstControlId = 100;  // above IDOK and IDCANCEL, which nothing answers
constexpr int kFirstTimerId = 1;
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

struct FormWindow::Widget : ControlView {
  Widget(FormWindow& window_, Control* control_, const ControlLayout* row_, int id_)
      : owner(window_), control(control_), row(row_), id(id_) {}
  void ControlChanged(const Control&) override { owner.Mirror(*this); }
  // An arrow key on a spin box's edit, or a click on its arrows.
  void Step(int direction) {
    auto* spin = static_cast<TSpinEdit*>(control);
    owner.Run([spin, direction] { spin->UserStep(direction); });
  }

  FormWindow& owner;
  Control* control;          // null for a row that no control claims
  const ControlLayout* row;  // null for a timer
  int id;
  HWND window = nullptr;
  HWND upDown = nullptr;
  HWND nameLabel = nullptr;  // an edit's name, just before it in z-order
  std::wstring shownText;
  std::wstring shownClock;
  int shownPercent = -1;
  std::unique_ptr<Artwork> image;
  std::unique_ptr<Artwork> disabledImage;
  TickSchedule schedule;  // a timer's periods
};

namespace {

// The arrow keys on a spin box's edit step its value, as its arrows do.
LRESULT CALLBACK SpinKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
    reinterpret_cast<FormWindow::Widget*>(data)->Step(wParam == VK_UP ? +1 : -1);
    return 0;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

FormWindow::FormWindow(Form& form, WindowHandle owner, bool dialog, Deliver deliver, FormWindowEvents& events)
    : form_(form),
      deliver_([this, outer = std::move(deliver)](const std::function<void()>& action) { RunKeepingFocus(outer, action); }),
      events_(events),
      dialog_(dialog) {
  RegisterCustomControls();
  const DWORD style = dialog ? WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS
                             : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
  const DWORD exStyle = dialog ? WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT : WS_EX_CONTROLPARENT;
  window_ = CreateWindowExW(exStyle, ProgramWindowClass(), Widen(form.Caption()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            form.ClientWidth(), form.ClientHeight(), owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  RouteMessages(window_, *this);
  hook_ = std::make_unique<HookableWindow>(window_, deliver_);

  dpi_ = WindowDpi(window_);
  int width = 0;
  int height = 0;
  OuterSize(form.ClientWidth(), form.ClientHeight(), style, exStyle, dpi_, width, height);
  // Centred on the desktop.
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  CreateWidgets();
}

FormWindow::~FormWindow() {
  for (const auto& widget : widgets_) {
    if (widget->row == nullptr) KillTimer(window_, static_cast<UINT_PTR>(widget->id));
  }
  bridge_.reset();
  hook_.reset();
  // The form may be gone already: no message reaches it from here on.
  StopRouting(window_);
  if (tooltip_ != nullptr) DestroyWindow(tooltip_);
  DestroyWindow(window_);
}

void FormWindow::AddPowerBridge(PowerStatusSource& power) {
  bridge_ = std::make_unique<LegacyPowerBridge>(window_, power);
  hook_->SetPowerEntry([this](std::uintptr_t wParam, std::intptr_t lParam, const auto& pass) {
    return bridge_->Receive(wParam, lParam, pass);
  });
}

void FormWindow::CreateWidgets() {
  font_ = CreateWindowFont(form_.Font(), dpi_, false);
  boldFont_ = CreateWindowFont(form_.Font(), dpi_, true);
  drawing_ = {font_.get(), dpi_};
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  int index = 0;
  for (const ControlLayout& row : form_.Layout()) {
    widgets_.push_back(std::make_unique<Widget>(*this, form_.Find(row.name), &row, kFirstControlId + index++));
    CreateWidget(*widgets_.back());
  }
  int timerId = kFirstTimerId;
  for (Control* control : form_.Controls()) {
    if (control->Kind() != ControlKind::Timer) continue;
    widgets_.push_back(std::make_unique<Widget>(*this, control, nullptr, timerId++));
  }
  // Views attach last, then show the state the program has already set.
  for (const auto& widget : widgets_) {
    if (widget->control == nullptr) continue;
    widget->control->Attach(widget.get());
    Mirror(*widget);
  }
}

void FormWindow::CreateWidget(Widget& widget) {
  const ControlLayout& row = *widget.row;
  const HINSTANCE module = GetModuleHandleW(nullptr);
  const wchar_t* className = WC_STATICW;
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  // A glyph button's window text is its accessible name; the caption it
  // draws is the control's text.
  const std::wstring text = Widen(row.kind == ControlKind::Button ? AccessibleName(row, widget.control) : std::string(row.text));
  switch (row.kind) {
    case ControlKind::Group:
      className = WC_BUTTONW;
      style |= BS_GROUPBOX;
      break;
    case ControlKind::Label:
      style |= SS_NOPREFIX | (row.align == Align::Center ? SS_CENTER : SS_LEFT);
      break;
    case ControlKind::StaticText:
      style |= SS_NOPREFIX | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN;
      break;
    case ControlKind::Button:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | (row.image.empty() ? BS_PUSHBUTTON : BS_OWNERDRAW);
      break;
    case ControlKind::CheckBox:
      className = WC_BUTTONW;
      style |= WS_TABSTOP | BS_CHECKBOX;
      break;
    case ControlKind::SpinEdit:
      className = WC_EDITW;
      style |= WS_TABSTOP | ES_READONLY | ES_LEFT | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ProgressBar:
      className = PROGRESS_CLASSW;
      break;
    case ControlKind::StatusBar:
      className = STATUSCLASSNAMEW;
      style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
      break;
    case ControlKind::Picture:
      className = kPicturePanelClass;
      break;
    case ControlKind::Timer:
      return;
  }
  if (row.kind == ControlKind::SpinEdit) {
    // The system names an edit after the static text just before it in
    // z-order; this one, of no size, holds the box's whole name.
    widget.nameLabel = CreateWindowExW(0, WC_STATICW, Widen(AccessibleName(row, widget.control)).c_str(),
                                       WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, window_, nullptr, module, nullptr);
  }
  widget.window = CreateWindowExW(exStyle, className, text.c_str(), style, 0, 0, 0, 0, window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(widget.id)), module, nullptr);
  widget.shownText = text;
  SendMessageW(widget.window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (row.kind == ControlKind::SpinEdit) {
    widget.upDown = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0,
                                    0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(widget.id + 1000)),
                                    module, nullptr);
    // The program owns the value: the arrows only report a step.
    SendMessageW(widget.upDown, UDM_SETRANGE32, 0, 100);
    SendMessageW(widget.upDown, UDM_SETPOS32, 0, 50);
  }
  if (row.kind == ControlKind::ProgressBar) {
    SendMessageW(widget.window, PBM_SETRANGE32, 0, 100);
    DrawPercentOver(widget.window, &drawing_);
  }
  if (row.kind == ControlKind::StatusBar) DrawPanelsOver(widget.window, &drawing_);
  if (row.kind == ControlKind::SpinEdit) SetWindowSubclass(widget.window, SpinKeys, 1, reinterpret_cast<DWORD_PTR>(&widget));
  if (row.kind == ControlKind::Button && widget.control != nullptr) {
    const auto* button = static_cast<const TButton*>(widget.control);
    if (!button->Hint.empty()) {
      if (tooltip_ == nullptr) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   module, nullptr);
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
      }
      std::wstring hint = Widen(button->Hint);
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof(tool);
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = window_;
      tool.uId = reinterpret_cast<UINT_PTR>(widget.window);
      tool.lpszText = hint.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  PlaceWidget(widget);
}

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

void FormWindow::RunKeepingFocus(const Deliver& deliver, const std::function<void()>& action) {
  Control* focused = nullptr;
  const HWND focus = GetFocus();
  for (const auto& widget : widgets_) {
    if (widget->window != nullptr && widget->window == focus) focused = widget->control;
  }
  deliver(action);
  // Disabling the focused control leaves the focus nowhere (or on the
  // control, where no key reaches it); a focus the action moved elsewhere,
  // such as into a box it showed, stays where it went.
  const HWND now = GetFocus();
  if (focused == nullptr || focused->Enabled() || (now != nullptr && now != focus)) return;
  const Control* next = FocusAfter(form_, *focused);
  for (const auto& widget : widgets_) {
    if (next == nullptr || widget->control != next || widget->window == nullptr) continue;
    SetFocus(widget->window);
    if (widget->row->kind == ControlKind::SpinEdit) SendMessageW(widget->window, EM_SETSEL, 0, -1);
    return;
  }
  SetFocus(window_);
}

FormWindow::Widget* FormWindow::WidgetById(int id) {
  for (const auto& widget : widgets_) {
    if (widget->id == id && widget->row != nullptr) return widget.get();
  }
  return nullptr;
}

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
    if (control.Kind() == ControlKind::Label) PlaceWidget(widget);
  }
  InvalidateRect(widget.window, nullptr, TRUE);
}

std::intptr_t FormWindow::Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case WM_COMMAND: {
      Widget* widget = WidgetById(LOWORD(wParam));
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
      ApplyDpi(HIWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace murrelet::win32
