#include "platform/win32/window_class.h"

#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

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

}  // namespace murrelet::win32
