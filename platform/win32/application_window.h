// The window behind the program's task-bar button. Windows labels a button
// with its window's caption, and the program's button shows the application
// title while the main window keeps its own caption; so the main window is
// owned by this one, which gets the button instead. It has no size and is
// never seen. Minimising and restoring go through it, activating it passes
// the activation on, and the button's "close" closes the main window.
#pragma once

#include <string>

#include "platform/win32/window_class.h"
#include "platform/win32/window_hook.h"

namespace murrelet::win32 {

class ApplicationWindowEvents {
 public:
  virtual ~ApplicationWindowEvents() = default;
  virtual void Minimized() = 0;
  virtual void Restored() = 0;
  // The window that should be active instead: the open dialog or the main window.
  virtual WindowHandle ActivationTarget() = 0;
  virtual void CloseRequested() = 0;
  // Explorer has made the window's task-bar button (at the first showing, and
  // again whenever Explorer starts anew).
  virtual void TaskbarButtonCreated() {}
};

class ApplicationWindow : private WindowReceiver {
 public:
  explicit ApplicationWindow(ApplicationWindowEvents& events);
  ~ApplicationWindow();
  ApplicationWindow(const ApplicationWindow&) = delete;
  ApplicationWindow& operator=(const ApplicationWindow&) = delete;

  WindowHandle Handle() const { return window_; }
  void SetTitle(const std::string& title);
  // The button is there exactly while the main window is.
  void Show();
  void Hide();
  void Minimize();
  // Shows the button minimised without activating anything; the main window
  // then waits hidden for the user to restore it.
  void ShowMinimized();

 private:
  std::intptr_t Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

  ApplicationWindowEvents& events_;
  WindowHandle window_ = nullptr;
  unsigned buttonCreated_ = 0;  // the registered "TaskbarButtonCreated" message
};

}  // namespace murrelet::win32
