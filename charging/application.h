// Start-up and the application object: the single-instance guard, the two
// windows, and how the platform's message loop hands events to the program.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "charging/boxes_in_view.h"
#include "charging/conf_form.h"
#include "charging/error_display.h"
#include "charging/main_form.h"
#include "charging/tray_icon_controller.h"
#include "kit/platform.h"

namespace murrelet {

class TApplication : private TrayIconEvents {
 public:
  explicit TApplication(Platform& platform);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  enum class StartResult { Running, SecondCopy };
  // Who started the program: the user, or the session at log-in (the entry
  // that "StartWithSession" writes), which shows the window minimised, or
  // not at all behind the notification-area icon.
  enum class StartedBy { User, Session };
  // Takes the guard, creates the main window (which loads the settings) and
  // the hidden settings dialog, and shows the main window. A second copy ends
  // here without a window or a message; the caller exits with code 0.
  StartResult Start(StartedBy startedBy = StartedBy::User);

  // Every event the platform delivers goes through here: an exception is shown
  // by the standard error display and the program carries on.
  // Afterwards the notification-area icon is put in step with the window.
  void Deliver(const std::function<void()>& action) {
    errors_.Guard(action);
    AfterEvent();
  }

  // The user closes the main window: the settings are written and the loop ends.
  void CloseMainWindow();
  // The user pressed the close box of `form`: the main window closes as
  // above; a dialog is answered with cancel, which ends its modal loop.
  void CloseRequested(Form& form);
  // Log-off or shutdown ends the loop without the close handler; the
  // settings are written without any box.
  void WindowsEnding();
  // The session asks whether it may end (Windows: WM_QUERYENDSESSION): the
  // settings are written now, since the end may follow without another word.
  void SessionEndQueried();
  // The user minimised the main window: behind the notification-area icon
  // it leaves the task bar; without the icon it stays there, minimised.
  void MainWindowMinimized();

  bool Running() const { return running_; }
  int WindowsCreated() const { return windowsCreated_; }
  TMainForm* MainForm() { return main_.get(); }
  TConfForm* ConfForm() { return conf_.get(); }
  ErrorDisplay& Errors() { return errors_; }

  std::string Title;

 private:
  void TrayActivated() override;
  void TrayMenuChosen(std::size_t index) override;
  void TrayAvailabilityChanged() override {}
  // Puts the icon in step, and brings back a window that hides behind an
  // icon which can no longer stand: the window is never out of reach.
  void AfterEvent();
  // Shows the main window, restored and raised.
  void ShowMainWindow();

  // The platform as the program sees it: its boxes bring the main window
  // back before they show, and the run's notice comes from the icon while
  // it stands.
  BoxesInView boxes_;
  TrayIconController tray_;
  RunStatusBesideTray runStatus_;
  Platform platform_;
  ErrorDisplay errors_;
  std::unique_ptr<HeldLock> guard_;
  std::unique_ptr<TMainForm> main_;
  std::unique_ptr<TConfForm> conf_;
  bool running_ = false;
  // Set once Start has shown (or hidden) the main window.
  bool started_ = false;
  int windowsCreated_ = 0;
};

}  // namespace murrelet
