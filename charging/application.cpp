#include "charging/application.h"

#include "charging/texts.h"

namespace murrelet {

namespace {

Platform WithWrappers(const Platform& p, MessageBoxes& boxes, RunStatusSink& runStatus) {
  return Platform{p.tapi,  p.power, p.execution, p.sleeper,  p.shutdown,     p.store, p.locks,
                  p.clock, boxes,   p.forms,     runStatus, p.sessionStart, p.tray};
}

}  // namespace

TApplication::TApplication(Platform& platform)
    : boxes_(platform.boxes, platform.forms),
      tray_(platform.tray),
      runStatus_(platform.runStatus, tray_),
      platform_(WithWrappers(platform, boxes_, runStatus_)),
      errors_(platform_.boxes) {}

TApplication::~TApplication() {
  // The icon goes with the program, whichever way it ends.
  tray_.Refresh(nullptr, false, false);
  if (platform_.tray != nullptr && platform_.tray->Events() == this) platform_.tray->SetEvents(nullptr);
  boxes_.SetMainWindow(nullptr);
  conf_.reset();
  main_.reset();
}

TApplication::StartResult TApplication::Start(StartedBy startedBy) {
  LockAttempt attempt = platform_.locks.Acquire(text::kSingleInstanceName);
  if (attempt.outcome == LockOutcome::HeldByAnotherCopy) return StartResult::SecondCopy;
  // A guard that cannot be made at all is not fatal: the program runs without it.
  guard_ = std::move(attempt.lock);
  // The icon is this copy's; a second copy ended above without touching it.
  if (platform_.tray != nullptr) platform_.tray->SetEvents(this);

  Title = text::kApplicationTitle;
  platform_.forms.SetApplicationTitle(Title);
  running_ = true;
  // The first-start notice comes before the window it would belong to.
  boxes_.SetMainWindow(nullptr);
  main_ = std::make_unique<TMainForm>(platform_, errors_);
  ++windowsCreated_;
  Deliver([this] { main_->FormCreate(); });
  conf_ = std::make_unique<TConfForm>(platform_.forms);
  ++windowsCreated_;
  main_->SetConfForm(conf_.get());
  // A start at log-in stays out of the way: behind the icon where it
  // stands, else minimised. The first-start box, shown by FormCreate above,
  // has already asked for the user's attention if needed.
  tray_.Refresh(main_.get(), running_, false);
  if (startedBy == StartedBy::Session) {
    if (!tray_.Shown()) {
      platform_.forms.ShowMinimized(*main_);
      main_->Visible = true;
    }
  } else {
    ShowMainWindow();
  }
  boxes_.SetMainWindow(main_.get());
  started_ = true;
  return StartResult::Running;
}

void TApplication::ShowMainWindow() {
  platform_.forms.Show(*main_);
  main_->Visible = true;
}

void TApplication::AfterEvent() {
  if (!main_) return;
  tray_.Refresh(main_.get(), running_, boxes_.Depth() > 0 || main_->SettingsUnderWay());
  // The setting turned off, or the notification area went (a panel that
  // quit): the window comes back to the task bar, minimised.
  if (started_ && running_ && !main_->Visible && !tray_.Shown()) {
    platform_.forms.ShowMinimized(*main_);
    main_->Visible = true;
  }
}

void TApplication::MainWindowMinimized() {
  if (!running_ || !main_ || !main_->Visible || !tray_.Shown()) return;
  platform_.forms.Hide(*main_);
  main_->Visible = false;
}

void TApplication::TrayActivated() {
  if (running_ && main_) ShowMainWindow();
}

void TApplication::TrayMenuChosen(std::size_t index) {
  if (!running_ || !main_) return;
  const std::optional<TrayCommand> command = tray_.CommandAt(index);
  if (!command) return;
  switch (*command) {
    case TrayCommand::Start:
      main_->SpeedButton2.UserClick();
      break;
    case TrayCommand::Stop:
      main_->SpeedButton3.UserClick();
      break;
    case TrayCommand::Settings:
      // The dialog belongs to the main window, which comes forward with it.
      ShowMainWindow();
      main_->SpeedButton1.UserClick();
      break;
    case TrayCommand::Exit:
      CloseRequested(*main_);
      break;
  }
}

void TApplication::CloseMainWindow() {
  if (!running_ || !main_) return;
  Deliver([this] { main_->FormClose(); });
  platform_.forms.Hide(*main_);
  main_->Visible = false;
  running_ = false;
  AfterEvent();
  platform_.forms.Quit();
}

void TApplication::CloseRequested(Form& form) {
  if (form.Role() == WindowRole::Main) {
    CloseMainWindow();
    return;
  }
  form.ModalResult = TModalResult::Cancel;
}

void TApplication::SessionEndQueried() {
  if (running_ && main_) Deliver([this] { main_->WriteSettingsQuietly(); });
}

void TApplication::WindowsEnding() {
  if (!running_) return;
  // The session ends without the close handler; the run ends and the
  // settings are kept all the same.
  if (main_) Deliver([this] { main_->SessionEnding(); });
  running_ = false;
  AfterEvent();
  platform_.forms.Quit();
}

}  // namespace murrelet
