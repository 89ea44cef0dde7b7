#include "platform/win32/win32_desktop.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

namespace murrelet::win32 {

CommonControls::CommonControls() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
}

}  // namespace murrelet::win32
