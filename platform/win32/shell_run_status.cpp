#include "platform/win32/shell_run_status.h"

#include <algorithm>
#include <string>

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>

namespace murrelet::win32 {
namespace {

// The notice icon's callback message and its identifier on our window.
constexpr UINT kNoticeCallback = WM_APP + 11;
constexpr UINT kNoticeIconId = 1;

// Copies as much of `text` as fits, always terminated.
template <std::size_t N>
void CopyInto(wchar_t (&field)[N], const std::wstring& text) {
  const std::size_t count = std::min(text.size(), N - 1);
  std::copy_n(text.data(), count, field);
  field[count] = L'\0';
}

HICON ProgramIcon(int width, int height) {
  auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, width, height, 0));
  // A program without the icon resource (the tests) still gets a balloon.
  return icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

ShellRunStatus::ShellRunStatus(WindowHandle buttonWindow) : button_(buttonWindow) {
  smallIcon_ = ProgramIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  largeIcon_ = ProgramIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  messages_ = CreateWindowExW(WS_EX_TOOLWINDOW, ProgramWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (messages_ != nullptr) RouteMessages(messages_, *this);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
}

ShellRunStatus::~ShellRunStatus() {
  RemoveNoticeIcon();
  if (taskbar_ != nullptr) {
    // The button goes with its window; a bar left on it would outlive nothing.
    taskbar_->Release();
    taskbar_ = nullptr;
  }
  if (comStarted_) CoUninitialize();
  if (messages_ != nullptr) {
    StopRouting(messages_);
    DestroyWindow(messages_);
  }
  // Icons loaded from a resource or the system are shared; only sized loads are ours.
  for (HICON icon : {smallIcon_, largeIcon_}) {
    if (icon != nullptr && icon != LoadIconW(nullptr, IDI_APPLICATION)) DestroyIcon(icon);
  }
}

ITaskbarList3* ShellRunStatus::Taskbar() {
  if (taskbar_ != nullptr || comTried_) return taskbar_;
  comTried_ = true;
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // S_FALSE: already started on this thread, still ours to balance.
  comStarted_ = SUCCEEDED(started);
  void* object = nullptr;
  HRESULT result = CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &object);
  if (SUCCEEDED(result)) {
    taskbar_ = static_cast<ITaskbarList3*>(object);
    result = taskbar_->HrInit();
    if (FAILED(result)) {
      taskbar_->Release();
      taskbar_ = nullptr;
    }
  }
  lastTaskbarResult_ = result;
  return taskbar_;
}

void ShellRunStatus::SetTaskbarProgress(const TaskbarProgress& progress) {
  progress_ = progress;
  ApplyProgress();
}

void ShellRunStatus::TaskbarButtonCreated() {
  // The task-bar object of the Explorer that ended is made anew.
  if (taskbar_ != nullptr) {
    taskbar_->Release();
    taskbar_ = nullptr;
    comTried_ = false;
  }
  // A new button shows no progress of its own: only a run's is given again.
  if (progress_.state != TaskbarProgressState::None) ApplyProgress();
}

void ShellRunStatus::ApplyProgress() {
  if (button_ == nullptr) return;
  ITaskbarList3* taskbar = Taskbar();
  if (taskbar == nullptr) return;
  TBPFLAG state = TBPF_NOPROGRESS;
  if (progress_.state == TaskbarProgressState::Normal) state = TBPF_NORMAL;
  if (progress_.state == TaskbarProgressState::Indeterminate) state = TBPF_INDETERMINATE;
  HRESULT result = taskbar->SetProgressState(button_, state);
  if (SUCCEEDED(result) && state == TBPF_NORMAL) {
    result = taskbar->SetProgressValue(button_, static_cast<ULONGLONG>(progress_.percent), 100);
  }
  lastTaskbarResult_ = result;
  ++taskbarUpdates_;
}

void ShellRunStatus::ShowNotice(std::string_view title, std::string_view text) {
  lastNoticeAccepted_ = false;
  if (messages_ == nullptr) return;
  noticeTitle_ = Widen(title);
  noticeText_ = Widen(text);
  lastNoticeAccepted_ = AddNoticeIcon();
}

bool ShellRunStatus::AddNoticeIcon() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = messages_;
  data.uID = kNoticeIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  data.uCallbackMessage = kNoticeCallback;
  data.hIcon = smallIcon_;
  CopyInto(data.szTip, noticeTitle_);
  CopyInto(data.szInfoTitle, noticeTitle_);
  CopyInto(data.szInfo, noticeText_);
  // The program's own icon, large; and no notice in a new user's first hour,
  // as the shell asks of every program.
  data.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON | NIIF_RESPECT_QUIET_TIME;
  data.hBalloonIcon = largeIcon_;
  // A notice still showing is replaced in place.
  if (iconShown_) {
    if (Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE) return true;
    RemoveNoticeIcon();
  }
  iconShown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  if (iconShown_) ++noticeIconAdds_;
  return iconShown_;
}

void ShellRunStatus::RemoveNoticeIcon() {
  if (!iconShown_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = messages_;
  data.uID = kNoticeIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  iconShown_ = false;
}

std::intptr_t ShellRunStatus::Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    // Explorer started again with an empty notification area: a notice
    // still pending gets its icon back (the old one went with the old shell).
    if (iconShown_) {
      RemoveNoticeIcon();
      AddNoticeIcon();
    }
    return 0;
  }
  if (message == kNoticeCallback) {
    // The balloon is gone (timed out, clicked or closed): so is its icon.
    switch (LOWORD(lParam)) {
      case NIN_BALLOONTIMEOUT:
      case NIN_BALLOONUSERCLICK:
      case NIN_BALLOONHIDE:
        RemoveNoticeIcon();
        break;
      default:
        break;
    }
    return 0;
  }
  return DefWindowProcW(messages_, message, wParam, lParam);
}

}  // namespace murrelet::win32
