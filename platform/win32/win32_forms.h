// The FormHost of the Windows program: the windows, the main message loop
// and the nested loop of a modal dialog.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "kit/form.h"
#include "kit/power.h"
#include "platform/win32/application_window.h"
#include "platform/win32/form_window.h"

namespace murrelet::win32 {

class Win32Forms : public FormHost, public FormWindowEvents, public ApplicationWindowEvents {
 public:
  explicit Win32Forms(PowerStatusSource& power);
  ~Win32Forms() override;

  // How the program takes its events; set before the first window is made.
  // `closeRequested` is the core's answer to a close box (TApplication::CloseRequested).
  void Connect(Deliver deliver, std::function<void(Form&)> closeRequested, std::function<void()> windowsEnding);

  OwnerWindow& CreateWindow(Form& form) override;
  void Show(Form& form) override;
  void ShowMinimized(Form& form) override;
  bool IsMinimized(const Form& form) const override;
  void Hide(Form& form) override;
  TModalResult ShowModal(Form& form) override;
  void Quit() override;
  void SetApplicationTitle(const std::string& title) override;
  bool IsActive(const Form& form) const override;

  // Runs until Quit.
  void RunMessageLoop();
  // The window a message box belongs to: the open dialog, else the main
  // window once it is shown, else none.
  void* BoxOwner() const;

  void CloseRequested(Form& form) override;
  TickSchedule::Time MonotonicTime() override { return monotonicClock(); }

  // The monotonic clock the timers follow; a test sets one it moves itself.
  std::function<TickSchedule::Time()> monotonicClock = MonotonicNow;
  // Told when Explorer has made the program's task-bar button anew.
  std::function<void()> onTaskbarButtonCreated;
  // The task-bar button went down with the main window
  // (TApplication::MainWindowMinimized); runs inside the program's Deliver.
  std::function<void()> onMinimized;
  // The session asks whether it may end (TApplication::SessionEndQueried).
  std::function<void()> sessionEndQueried;
  void MinimizeRequested() override;
  void SessionEnding() override;
  void SessionEndQueried() override;

  void Minimized() override;
  void Restored() override;
  WindowHandle ActivationTarget() override;
  void CloseRequested() override;
  void TaskbarButtonCreated() override {
    if (onTaskbarButtonCreated) onTaskbarButtonCreated();
  }

  // The window of the task-bar button.
  WindowHandle ApplicationHandle() const { return application_.Handle(); }
  // The real window of a form; null when it has none.
  WindowHandle HandleOf(const Form& form) const;
  // One message: dialog keys for tabbing; Enter and Escape in the open
  // dialog press its OK and cancel buttons.
  void Dispatch(void* message) const;

 private:
  FormWindow* WindowOf(const Form& form) const;
  // The open dialog, else the main window; null before the main window exists.
  WindowHandle TopWindow() const;
  void BringTopWindowForward() const;

  PowerStatusSource& power_;
  Deliver deliver_;
  std::function<void(Form&)> closeRequested_;
  std::function<void()> windowsEnding_;
  ApplicationWindow application_{*this};
  std::vector<std::unique_ptr<FormWindow>> windows_;  // the first is the main window
  std::vector<Form*> modal_;
  std::vector<WindowHandle> hiddenByMinimize_;  // shown again on restore
};

}  // namespace murrelet::win32
