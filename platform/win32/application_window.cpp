#include "platform/win32/application_window.h"

#include "platform/win32/text_encoding.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

// Posted to itself, so that the activation moves on once Windows has finished
// activating this window.
constexpr UINT kPassActivation = WM_APP + 1;

}  // namespace

ApplicationWindow::ApplicationWindow(ApplicationWindowEvents& events) : events_(events) {
  // A pop-up keeps the zero size it is given; the caption and the boxes give
  // the task-bar button its window menu (restore, minimise, close).
  const int left = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2;
  window_ = CreateWindowExW(0, ProgramWindowClass(), L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                            left, top, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return;
  buttonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
  RouteMessages(window_, *this);
}

ApplicationWindow::~ApplicationWindow() {
  if (window_ == nullptr) return;
  StopRouting(window_);
  DestroyWindow(window_);
}

void ApplicationWindow::SetTitle(const std::string& title) {
  if (window_ != nullptr) SetWindowTextW(window_, Widen(title).c_str());
}

void ApplicationWindow::Show() {
  if (window_ != nullptr) ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void ApplicationWindow::Hide() {
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

void ApplicationWindow::ShowMinimized() {
  if (window_ != nullptr) ShowWindow(window_, SW_SHOWMINNOACTIVE);
}

void ApplicationWindow::Minimize() {
  if (window_ != nullptr) ShowWindow(window_, SW_MINIMIZE);
}

std::intptr_t ApplicationWindow::Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (buttonCreated_ != 0 && message == buttonCreated_) {
    events_.TaskbarButtonCreated();
    return 0;
  }
  switch (message) {
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        events_.Minimized();
      } else if (wParam == SIZE_RESTORED) {
        events_.Restored();
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && IsIconic(window_) == FALSE) PostMessageW(window_, kPassActivation, 0, 0);
      break;
    case kPassActivation: {
      if (GetActiveWindow() != window_) return 0;  // something else took it meanwhile
      const HWND target = events_.ActivationTarget();
      if (target != nullptr && IsWindowVisible(target) != FALSE) SetActiveWindow(target);
      return 0;
    }
    case WM_CLOSE:
      events_.CloseRequested();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace murrelet::win32
