// The notification-area icon on Windows: Shell_NotifyIconW on a hidden
// top-level window of its own, which takes the icon's callback messages and
// the registered "TaskbarCreated" broadcast of an Explorer that started anew
// (the icon is then added again). Windows always has a notification area.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kit/tray_icon.h"
#include "platform/win32/window_class.h"
#include "platform/win32/windows_api.h"

#include <shellapi.h>

namespace murrelet::win32 {

class ShellTrayIcon : public TrayIcon, private WindowReceiver {
 public:
  // The shell's call; a test records the calls instead.
  using Notify = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
  // The icon's callback message to its window.
  static constexpr UINT kCallbackMessage = WM_APP + 7;
  // The menu's command identifiers: the first item's, then one up each.
  static constexpr UINT kFirstCommand = 100;
  // The hidden window's title, by which the smoke test finds it.
  static constexpr const wchar_t* kWindowTitle = L"Murrelet notification-area icon";

  explicit ShellTrayIcon(Notify notify = {});
  // Takes the icon away, whatever became of the program's close.
  ~ShellTrayIcon() override;
  ShellTrayIcon(const ShellTrayIcon&) = delete;
  ShellTrayIcon& operator=(const ShellTrayIcon&) = delete;

  // How the icon's events reach the program; set before the first Show.
  void Connect(Deliver deliver) { deliver_ = std::move(deliver); }

  // The notification area is there while Explorer runs, but at a log-in it
  // may not be ready yet: an icon the shell refused counts as no area, so the
  // window is not hidden behind it, until "TaskbarCreated" says it is there.
  bool Available() const override { return !refused_; }
  void Show(TrayLook look, std::string_view tooltip, std::span<const TrayMenuItem> menu) override;
  void Hide() override;
  void ShowNotice(std::string_view title, std::string_view text) override;

  WindowHandle Handle() const { return window_; }
  bool Added() const { return added_; }

 private:
  std::intptr_t Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  NOTIFYICONDATAW Data() const;
  HICON IconFor(TrayLook look) const { return look == TrayLook::Charging ? chargingIcon_ : idleIcon_; }
  void Add();
  void PopUpMenu(int x, int y);
  void Run(const std::function<void()>& action);

  Notify notify_;
  Deliver deliver_;
  WindowHandle window_ = nullptr;
  // At the small icon's size, both loaded at the start and destroyed at the end.
  HICON idleIcon_ = nullptr;
  HICON chargingIcon_ = nullptr;
  TrayLook look_ = TrayLook::Idle;
  unsigned taskbarCreated_ = 0;
  bool wanted_ = false;  // Show was called and Hide not since
  bool added_ = false;   // the shell took the icon
  bool refused_ = false; // the shell refused the last add, and no new task bar since
  std::wstring tip_;
  std::vector<TrayMenuItem> menu_;
};

// The text cut to at most `limit` UTF-16 units, never inside a surrogate pair.
std::wstring CutUtf16(std::wstring text, std::size_t limit);

}  // namespace murrelet::win32
