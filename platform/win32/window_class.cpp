#include "platform/win32/window_class.h"

#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

namespace {

LRESULT CALLBACK RoutedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* receiver = reinterpret_cast<WindowReceiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (receiver == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return receiver->Receive(message, wParam, lParam);
}

}  // namespace

const wchar_t* ProgramWindowClass() {
  static constexpr const wchar_t* kName = L"MurreletForm";
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(DefWindowProcW));
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    windowClass.lpszClassName = kName;
    RegisterClassExW(&windowClass);
    return true;
  }();
  (void)registered;
  return kName;
}

void RouteMessages(WindowHandle window, WindowReceiver& receiver) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&receiver));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RoutedProcedure));
}

void StopRouting(WindowHandle window) { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

}  // namespace murrelet::win32
