// The windows of the program on Qt Widgets: makes each form's window, shows,
// hides and runs the modal loop, and hands every user action and timer period
// to the program through one delivery function.
#pragma once

#include <QEventLoop>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "kit/form.h"
#include "platform/linux/gui/form_window.h"

namespace murrelet::linux_platform {

class QtFormHost : public FormHost {
 public:
  using Action = std::function<void()>;
  // `deliver` runs an action the way the application wants (TApplication::Deliver);
  // `afterDelivery` runs after each, told whether it was a timer period.
  void SetDelivery(std::function<void(const Action&)> deliver, std::function<void(bool tick)> afterDelivery);
  // The close box of a window that is not in a modal loop (the main window).
  // The core's answer to a close box (TApplication::CloseRequested).
  std::function<void(Form& form)> onCloseRequest;
  // The user minimised a window; called from the event loop afterwards, so
  // the core may hide the window (TApplication::MainWindowMinimized).
  std::function<void(Form& form)> onMinimize;

  OwnerWindow& CreateWindow(Form& form) override;
  void Show(Form& form) override;
  void ShowMinimized(Form& form) override;
  bool IsMinimized(const Form& form) const override;
  void Hide(Form& form) override;
  TModalResult ShowModal(Form& form) override;
  void Quit() override;
  // The task bar groups the windows under the application's name (the X11
  // window class); the desktop entry gives the same "Murrelet" to docks that
  // read it.
  void SetApplicationTitle(const std::string& title) override;
  bool IsActive(const Form& form) const override;

  void Deliver(const Action& action, bool tick = false);
  void CloseBoxPressed(Form& form);
  void MinimizePressed(Form& form);

  FormWindow* WindowOf(const Form& form) const;
  // The window a message box belongs over: the innermost modal form, else the first form.
  QWidget* ActiveWindow() const;
  // The main window's font, for the message boxes over it.
  QFont MainFont() const;
  bool QuitRequested() const { return quit_; }

 private:
  struct ModalLoop {
    Form* form;
    QEventLoop* loop;
  };
  void EndFinishedModalLoops();
  // Makes a dialog transient for the main window.
  void KeepOverMainWindow(QWidget& dialog) const;

  std::function<void(const Action&)> deliver_;
  std::function<void(bool)> afterDelivery_;
  std::vector<std::unique_ptr<FormWindow>> windows_;
  std::vector<ModalLoop> modal_;
  bool quit_ = false;
};

}  // namespace murrelet::linux_platform
