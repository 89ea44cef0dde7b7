// The short wait after a suspend query closes the line: the system is waiting
// for the answer anyway, so the GUI thread simply sleeps.
#pragma once

#include <QThread>

#include "kit/power.h"

namespace murrelet::linux_platform {

class ThreadSleeper : public Sleeper {
 public:
  void Sleep(std::uint32_t milliseconds) override { QThread::msleep(milliseconds); }
};

}  // namespace murrelet::linux_platform
