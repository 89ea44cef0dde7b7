// The end of the desktop session. The session manager's save request, and the
// SIGTERM/SIGHUP that logind and terminal hang-ups send at log-off, all mean
// the same to the program: the settings are written and its loop ends.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace murrelet::linux_platform {

class SessionEnd : public QObject {
 public:
  explicit SessionEnd(std::function<void()> ending);
  ~SessionEnd() override;

 private:
  std::function<void()> ending_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace murrelet::linux_platform
