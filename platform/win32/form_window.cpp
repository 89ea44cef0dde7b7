// A form's window: its creation, its controls' windows and its lifetime.
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
namespace {

constexpr int kFirstControlId = 100;  // above IDOK and IDCANCEL, which nothing answers
constexpr int kFirstTimerId = 1;

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
  // A dialog's controls are made when it first opens: most runs never open it.
  if (!dialog) MakeControls();
  MakeTimers();
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

void FormWindow::MakeControls() {
  if (controlsMade_) return;
  controlsMade_ = true;
  font_ = CreateWindowFont(form_.Font(), dpi_, false);
  boldFont_ = CreateWindowFont(form_.Font(), dpi_, true);
  drawing_ = {font_.get(), dpi_};
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  const std::size_t first = widgets_.size();
  int index = 0;
  for (const ControlLayout& row : form_.Layout()) {
    widgets_.push_back(std::make_unique<Widget>(*this, form_.Find(row.name), &row, kFirstControlId + index++));
    CreateWidget(*widgets_.back());
  }
  // Fitted once, when every view shows the program's state.
  fitHeld_ = true;
  AttachViews(first);
  fitHeld_ = false;
  Refit(true);
}

void FormWindow::MakeTimers() {
  const std::size_t first = widgets_.size();
  int timerId = kFirstTimerId;
  for (Control* control : form_.Controls()) {
    if (control->Kind() != ControlKind::Timer) continue;
    widgets_.push_back(std::make_unique<Widget>(*this, control, nullptr, timerId++));
  }
  AttachViews(first);
}

void FormWindow::AttachViews(std::size_t first) {
  // Views attach once their windows exist, then show the state the program
  // has already set.
  for (std::size_t i = first; i < widgets_.size(); ++i) {
    Widget& widget = *widgets_[i];
    if (widget.control == nullptr) continue;
    widget.control->Attach(&widget);
    Mirror(widget);
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
    case ControlKind::ComboBox:
      // Editable: the user may type any name or pick one the list offers.
      className = WC_COMBOBOXW;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
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

void FormWindow::FocusFirstControl() {
  MakeControls();
  const Control* first = FirstFocus(form_);
  for (const auto& widget : widgets_) {
    if (first != nullptr && widget->control == first && widget->window != nullptr) lastFocus_ = widget->window;
  }
  // The activation gives the focus to lastFocus_; focus rectangles show from
  // the start, as after a key.
  SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

bool FormWindow::PressKeyButton(bool enter) {
  const Control* focused = nullptr;
  const HWND focus = GetFocus();
  for (const auto& widget : widgets_) {
    if (widget->window != nullptr && widget->window == focus) focused = widget->control;
  }
  const TButton* button = enter ? EnterButton(form_, focused) : EscapeButton(form_);
  for (const auto& widget : widgets_) {
    if (button == nullptr || widget->control != button || widget->window == nullptr) continue;
    SendMessageW(widget->window, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

FormWindow::Widget* FormWindow::WidgetById(int id) {
  for (const auto& widget : widgets_) {
    if (widget->id == id && widget->row != nullptr) return widget.get();
  }
  return nullptr;
}


}  // namespace murrelet::win32
