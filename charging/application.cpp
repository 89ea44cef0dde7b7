#include "charging/application.h"

#include "charging/texts.h"

namespace murrelet {

namespace {

Platform WithBoxes(const Platform& p, MessageBoxes& boxes) {
  return Platform{p.tapi,  p.power, p.execution, p.sleeper, p.shutdown,  p.store,       p.locks,
                  p.clock, boxes,   p.forms,     p.runStatus, p.sessionStart};
}

}  // namespace

TApplication::TApplication(Platform& platform)
    : boxes_(platform.boxes, platform.forms), platform_(WithBoxes(platform, boxes_)), errors_(platform_.boxes) {}

TApplication::~TApplication() {
  boxes_.SetMainWindow(nullptr);
  conf_.reset();
  main_.reset();
}

TApplication::StartResult TApplication::Start(StartedBy startedBy) {
  LockAttempt attempt = platform_.locks.Acquire(text::kSingleInstanceName);
  if (attempt.outcome == LockOutcome::HeldByAnotherCopy) return StartResult::SecondCopy;
  // A guard that cannot be made at all is not fatal: the program runs without it.
  guard_ = std::move(attempt.lock);

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
  // A start at log-in stays out of the way; the first-start box, shown by
  // FormCreate above, has already asked for the user's attention if needed.
  if (startedBy == StartedBy::Session) {
    platform_.forms.ShowMinimized(*main_);
  } else {
    platform_.forms.Show(*main_);
  }
  main_->Visible = true;
  boxes_.SetMainWindow(main_.get());
  return StartResult::Running;
}

void TApplication::CloseMainWindow() {
  if (!running_ || !main_) return;
  Deliver([this] { main_->FormClose(); });
  platform_.forms.Hide(*main_);
  main_->Visible = false;
  running_ = false;
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
  platform_.forms.Quit();
}

}  // namespace murrelet
