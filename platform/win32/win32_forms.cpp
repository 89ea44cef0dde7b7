#include "platform/win32/win32_forms.h"

#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

Win32Forms::Win32Forms(PowerStatusSource& power) : power_(power) {}

Win32Forms::~Win32Forms() {
  // Dialogs first: they are owned by the main window.
  while (!windows_.empty()) windows_.pop_back();
}

void Win32Forms::Connect(Deliver deliver, std::function<void(Form&)> closeRequested,
                         std::function<void()> windowsEnding) {
  deliver_ = std::move(deliver);
  closeRequested_ = std::move(closeRequested);
  windowsEnding_ = std::move(windowsEnding);
}

OwnerWindow& Win32Forms::CreateWindow(Form& form) {
  const bool dialog = form.Role() == WindowRole::Dialog;
  const WindowHandle owner = dialog && !windows_.empty() ? windows_.front()->Handle() : application_.Handle();
  windows_.push_back(std::make_unique<FormWindow>(form, owner, dialog, deliver_, *this));
  FormWindow& window = *windows_.back();
  if (!dialog) window.AddPowerBridge(power_);
  return window.Hook();
}

void Win32Forms::SetApplicationTitle(const std::string& title) { application_.SetTitle(title); }

bool Win32Forms::IsActive(const Form& form) const {
  const FormWindow* window = WindowOf(form);
  const HWND handle = window != nullptr ? window->Handle() : nullptr;
  if (handle == nullptr) return false;
  return IsWindowVisible(handle) != FALSE && IsIconic(handle) == FALSE && GetForegroundWindow() == handle;
}

FormWindow* Win32Forms::WindowOf(const Form& form) const {
  for (const auto& window : windows_) {
    if (&window->TheForm() == &form) return window.get();
  }
  return nullptr;
}

WindowHandle Win32Forms::HandleOf(const Form& form) const {
  const FormWindow* window = WindowOf(form);
  return window != nullptr ? window->Handle() : nullptr;
}

void Win32Forms::Show(Form& form) {
  form.Visible = true;
  FormWindow* window = WindowOf(form);
  if (window == nullptr) return;
  window->MakeControls();
  const bool main = window == windows_.front().get();
  if (main && IsIconic(application_.Handle()) != FALSE) {
    // Down with the task-bar button's window: restoring it brings back what
    // its minimising hid (Restored), the open dialog above the main window.
    ShowWindow(application_.Handle(), SW_RESTORE);
  } else if (main) {
    application_.Show();
  }
  if (IsWindowVisible(window->Handle()) == FALSE) ShowWindow(window->Handle(), SW_SHOW);
  UpdateWindow(window->Handle());
  // In front, so that what comes next (a box) is seen; above an open
  // dialog only the dialog itself.
  if (main) BringTopWindowForward();
}

bool Win32Forms::IsMinimized(const Form& form) const {
  const FormWindow* window = WindowOf(form);
  if (window == nullptr) return false;
  // The main window and its dialogs go down with the task-bar button's
  // window, which alone is iconic then.
  return IsIconic(window->Handle()) != FALSE || IsIconic(application_.Handle()) != FALSE;
}

void Win32Forms::ShowMinimized(Form& form) {
  FormWindow* window = WindowOf(form);
  if (window == nullptr || window != windows_.front().get()) {
    Show(form);
    return;
  }
  form.Visible = true;
  window->MakeControls();
  // Shown without activation, then minimised with the task-bar button's
  // window, which hides it until the user restores the button.
  ShowWindow(window->Handle(), SW_SHOWNOACTIVATE);
  application_.ShowMinimized();
}

void Win32Forms::Hide(Form& form) {
  form.Visible = false;
  if (FormWindow* window = WindowOf(form)) {
    ShowWindow(window->Handle(), SW_HIDE);
    if (window == windows_.front().get()) application_.Hide();
  }
}

TModalResult Win32Forms::ShowModal(Form& form) {
  FormWindow* window = WindowOf(form);
  if (window == nullptr) return TModalResult::Cancel;
  const HWND main = windows_.front()->Handle();
  const bool ownerWasEnabled = IsWindowEnabled(main) != FALSE;
  form.ModalResult = TModalResult::None;
  modal_.push_back(&form);
  EnableWindow(main, FALSE);
  window->FocusFirstControl();
  Show(form);
  SetForegroundWindow(window->Handle());

  MSG message;
  while (form.ModalResult == TModalResult::None) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: the main loop must see the quit as well.
      PostQuitMessage(static_cast<int>(message.wParam));
      form.ModalResult = TModalResult::Cancel;
      break;
    }
    if (got < 0) {
      form.ModalResult = TModalResult::Cancel;
      break;
    }
    Dispatch(&message);
  }
  // The owner comes back before the dialog goes, so it gets the activation.
  if (ownerWasEnabled) EnableWindow(main, TRUE);
  Hide(form);
  modal_.pop_back();
  return form.ModalResult;
}

void Win32Forms::Quit() { PostQuitMessage(0); }

void Win32Forms::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(&message);
}

void Win32Forms::Dispatch(void* raw) const {
  MSG& message = *static_cast<MSG*>(raw);
  const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  const bool enterOrEscape = key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE);
  if (enterOrEscape && !modal_.empty()) {
    // Enter and Escape in the open dialog press its OK and cancel buttons;
    // their characters go nowhere, so nothing beeps.
    FormWindow* dialog = WindowOf(*modal_.back());
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (dialog != nullptr && root == dialog->Handle()) {
      if (message.message == WM_KEYDOWN && dialog->PressKeyButton(message.wParam == VK_RETURN)) return;
      if (message.message == WM_CHAR) return;
    }
  }
  if (!enterOrEscape) {
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogMessageW(root, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

WindowHandle Win32Forms::TopWindow() const {
  if (!modal_.empty()) {
    if (FormWindow* window = WindowOf(*modal_.back())) return window->Handle();
  }
  return windows_.empty() ? nullptr : windows_.front()->Handle();
}

void Win32Forms::BringTopWindowForward() const {
  const WindowHandle top = TopWindow();
  if (top != nullptr && IsWindowVisible(top) != FALSE) SetForegroundWindow(top);
}

void* Win32Forms::BoxOwner() const {
  const WindowHandle top = TopWindow();
  // The main window owns a box only once it is shown; an open dialog always.
  if (top == nullptr || (modal_.empty() && IsWindowVisible(top) == FALSE)) return nullptr;
  return top;
}

void Win32Forms::CloseRequested(Form& form) {
  // The main window and a dialog in its modal loop ask the core; a window
  // shown any other way simply goes.
  bool modal = false;
  for (const Form* dialog : modal_) modal = modal || dialog == &form;
  if (form.Role() == WindowRole::Main || modal) {
    if (closeRequested_) closeRequested_(form);
    return;
  }
  Hide(form);
}

void Win32Forms::MinimizeRequested() { application_.Minimize(); }

void Win32Forms::Minimized() {
  for (const auto& window : windows_) {
    if (IsWindowVisible(window->Handle()) == FALSE) continue;
    ShowWindow(window->Handle(), SW_HIDE);
    hiddenByMinimize_.push_back(window->Handle());
  }
  // Behind the notification-area icon the core takes the button away too.
  if (onMinimized && deliver_) deliver_(onMinimized);
}

void Win32Forms::Restored() {
  // Owner first, so that the dialog comes back above the main window.
  for (const WindowHandle window : hiddenByMinimize_) ShowWindow(window, SW_SHOWNA);
  hiddenByMinimize_.clear();
  BringTopWindowForward();
}

WindowHandle Win32Forms::ActivationTarget() { return TopWindow(); }

void Win32Forms::CloseRequested() {
  // The button's "close" acts as the main window's close box; while a dialog
  // is open that box cannot be pressed, so the dialog comes forward instead.
  if (windows_.empty()) return;
  if (!modal_.empty()) {
    BringTopWindowForward();
    return;
  }
  CloseRequested(windows_.front()->TheForm());
}

void Win32Forms::SessionEndQueried() {
  if (sessionEndQueried) sessionEndQueried();
}

void Win32Forms::SessionEnding() {
  if (windowsEnding_) windowsEnding_();
}

}  // namespace murrelet::win32
