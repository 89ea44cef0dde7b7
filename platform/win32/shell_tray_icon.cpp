#include "platform/win32/shell_tray_icon.h"

#include <cwchar>

#include "platform/win32/text_encoding.h"

namespace murrelet::win32 {

std::wstring CutUtf16(std::wstring text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t length = limit;
  // A high surrogate whose low half would be cut off goes too.
  if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  text.resize(length);
  return text;
}

namespace {

// An icon of the program's at the small icon's size (16 px at 100 %, 20 at
// 125 %, 24 at 150 %), which the notification area shows unscaled; Windows'
// generic icon in a program without the resource.
HICON SmallIcon(const wchar_t* name) {
  auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON,
                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

template <std::size_t N>
void CopyInto(wchar_t (&field)[N], const std::wstring& text) {
  const std::wstring cut = CutUtf16(text, N - 1);
  std::wmemcpy(field, cut.c_str(), cut.size() + 1);
}

}  // namespace

ShellTrayIcon::ShellTrayIcon(Notify notify) : notify_(std::move(notify)) {
  if (!notify_) {
    notify_ = [](DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data) != FALSE; };
  }
  // Top-level, never shown: a message-only window would not hear the
  // broadcast of a restarted Explorer.
  window_ = CreateWindowExW(0, ProgramWindowClass(), kWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  idleIcon_ = SmallIcon(L"MAINICON");
  chargingIcon_ = SmallIcon(L"CHARGINGICON");
  if (window_ == nullptr) return;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  RouteMessages(window_, *this);
}

ShellTrayIcon::~ShellTrayIcon() {
  if (wanted_ || added_) {
    NOTIFYICONDATAW data = Data();
    notify_(NIM_DELETE, data);
  }
  // The shell keeps its own copy of an icon it shows; the system's generic
  // icon is shared and never destroyed.
  const HICON generic = LoadIconW(nullptr, IDI_APPLICATION);
  for (HICON icon : {idleIcon_, chargingIcon_}) {
    if (icon != nullptr && icon != generic) DestroyIcon(icon);
  }
  if (window_ == nullptr) return;
  StopRouting(window_);
  DestroyWindow(window_);
}

NOTIFYICONDATAW ShellTrayIcon::Data() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  return data;
}

void ShellTrayIcon::Add() {
  NOTIFYICONDATAW data = Data();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = IconFor(look_);
  CopyInto(data.szTip, tip_);
  added_ = notify_(NIM_ADD, data);
  refused_ = !added_;
  if (!added_) return;
  data.uVersion = NOTIFYICON_VERSION_4;
  notify_(NIM_SETVERSION, data);
}

void ShellTrayIcon::Show(TrayLook look, std::string_view tooltip, std::span<const TrayMenuItem> menu) {
  std::wstring tip = Widen(tooltip);
  // The menu is built at each right click; only the picture and the tip are the shell's.
  const bool same = added_ && look == look_ && tip == tip_;
  look_ = look;
  tip_ = std::move(tip);
  menu_.assign(menu.begin(), menu.end());
  wanted_ = true;
  if (same) return;
  if (!added_) {
    Add();
    return;
  }
  NOTIFYICONDATAW data = Data();
  data.uFlags = NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.hIcon = IconFor(look_);
  CopyInto(data.szTip, tip_);
  if (!notify_(NIM_MODIFY, data)) Add();  // the shell lost it: put it up anew
}

void ShellTrayIcon::Hide() {
  wanted_ = false;
  if (!added_) return;
  NOTIFYICONDATAW data = Data();
  notify_(NIM_DELETE, data);
  added_ = false;
}

void ShellTrayIcon::ShowNotice(std::string_view title, std::string_view text) {
  if (!added_) return;
  NOTIFYICONDATAW data = Data();
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  CopyInto(data.szInfoTitle, Widen(title));
  CopyInto(data.szInfo, Widen(text));
  notify_(NIM_MODIFY, data);
}

void ShellTrayIcon::Run(const std::function<void()>& action) {
  if (events_ == nullptr) return;
  if (deliver_) {
    deliver_(action);
  } else {
    action();
  }
}

void ShellTrayIcon::PopUpMenu(int x, int y) {
  const HMENU popup = CreatePopupMenu();
  if (popup == nullptr) return;
  UINT id = kFirstCommand;
  for (const TrayMenuItem& item : menu_) {
    AppendMenuW(popup, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), id++, Widen(item.text).c_str());
  }
  // In front first, or the menu stays open when the user clicks elsewhere.
  SetForegroundWindow(window_);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON | (GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : 0u), x, y, 0,
                 window_, nullptr);
  PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(popup);
}

std::intptr_t ShellTrayIcon::Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    // A new Explorer knows no icons: the one that stood comes back, and one
    // the old shell refused may be tried again.
    added_ = false;
    refused_ = false;
    if (wanted_) Add();
    return 0;
  }
  switch (message) {
    case kCallbackMessage:
      // Version 4: the event in the low word, the point in wParam.
      switch (LOWORD(lParam)) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
          Run([this] { events_->TrayActivated(); });
          return 0;
        case WM_CONTEXTMENU:
          PopUpMenu(static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam)));
          return 0;
        default:
          return 0;
      }
    case WM_COMMAND: {
      const UINT id = LOWORD(wParam);
      if (id >= kFirstCommand && id < kFirstCommand + menu_.size()) {
        const std::size_t index = id - kFirstCommand;
        Run([this, index] { events_->TrayMenuChosen(index); });
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace murrelet::win32
