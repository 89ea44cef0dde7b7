// The end of the desktop session. A session manager that speaks XSMP first
// asks the program to save (a checkpoint, or the start of a log-out that
// another program may still cancel): the settings are written and the
// program goes on. Only the session's real end ends it: the manager's Die,
// or the SIGTERM/SIGHUP that logind and terminal hang-ups send at log-off.
// The manager is told never to start the program again itself; the log-in
// entry is the one way it starts with the session.
#pragma once

#include <QObject>
#include <functional>

class QEvent;
class QSocketNotifier;

namespace murrelet::linux_platform {

class SessionEnd : public QObject {
 public:
  // `saving` runs at each save request (TApplication::SessionEndQueried);
  // `ending` when the session ends (TApplication::WindowsEnding).
  SessionEnd(std::function<void()> saving, std::function<void()> ending);
  ~SessionEnd() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> saving_;
  std::function<void()> ending_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace murrelet::linux_platform
