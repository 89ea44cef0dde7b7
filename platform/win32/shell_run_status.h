// A run's state in the Windows shell: progress on the program's task-bar
// button (ITaskbarList3) and a balloon notice from a notification-area icon
// that exists only while the notice does. Every shell call may fail (no
// task bar, no notification area, an old shell); a failure shows nothing
// and is never an error for the program.
#pragma once

#include <cstdint>
#include <string>

#include "kit/run_status_sink.h"
#include "platform/win32/window_class.h"

struct ITaskbarList3;
struct HICON__;

namespace murrelet::win32 {

class ShellRunStatus : public RunStatusSink, private WindowReceiver {
 public:
  // `buttonWindow` is the window that has the program's task-bar button.
  explicit ShellRunStatus(WindowHandle buttonWindow);
  ~ShellRunStatus() override;
  ShellRunStatus(const ShellRunStatus&) = delete;
  ShellRunStatus& operator=(const ShellRunStatus&) = delete;

  void SetTaskbarProgress(const TaskbarProgress& progress) override;
  void ShowNotice(std::string_view title, std::string_view text) override;
  // Explorer has made the program's task-bar button (again, after it was
  // restarted): the progress it showed is gone, so it is given again.
  void TaskbarButtonCreated();

  // What the shell answered last, for the tests: the HRESULT of the last
  // task-bar call (or of making the task-bar object), and whether the
  // notice's icon is in the notification area now.
  long LastTaskbarResult() const { return lastTaskbarResult_; }
  bool NoticeIconShown() const { return iconShown_; }
  bool LastNoticeAccepted() const { return lastNoticeAccepted_; }
  // How often the progress went to the task bar, and the notice's icon into
  // the notification area.
  int TaskbarUpdates() const { return taskbarUpdates_; }
  int NoticeIconAdds() const { return noticeIconAdds_; }

 private:
  std::intptr_t Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  ITaskbarList3* Taskbar();
  void ApplyProgress();
  bool AddNoticeIcon();
  void RemoveNoticeIcon();

  WindowHandle button_;
  // Receives the icon's callbacks and the shell's "TaskbarCreated" broadcast,
  // which reaches top-level windows only (so this is one, never shown).
  WindowHandle messages_ = nullptr;
  unsigned taskbarCreated_ = 0;
  ITaskbarList3* taskbar_ = nullptr;
  bool comStarted_ = false;
  bool comTried_ = false;
  long lastTaskbarResult_ = 0;
  bool iconShown_ = false;
  bool lastNoticeAccepted_ = false;
  TaskbarProgress progress_;
  int taskbarUpdates_ = 0;
  int noticeIconAdds_ = 0;
  // The notice being shown, so that a restarted notification area gets it back.
  std::wstring noticeTitle_;
  std::wstring noticeText_;
  HICON__* smallIcon_ = nullptr;
  HICON__* largeIcon_ = nullptr;
};

}  // namespace murrelet::win32
