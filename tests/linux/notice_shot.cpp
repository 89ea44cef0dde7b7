// Sends one end-of-run notice through the program's own adapter on the
// session bus and waits for the service's answer, so that a screenshot can
// show it. Exit code 0 once the service took the notice.
#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>

#include "platform/linux/system/desktop_run_status.h"
#include "private_bus.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const char* text = argc > 1 ? argv[1] : "充電完了";
  murrelet::linux_platform::DesktopRunStatus status(QDBusConnection::sessionBus());
  status.ShowNotice("Murrelet", text);
  if (!murrelet::testing::WaitFor([&] { return status.LastNoticeId() != 0; }, 10000)) {
    std::fprintf(stderr, "no notification service answered\n");
    return 1;
  }
  std::printf("notice %u shown\n", status.LastNoticeId());
  return 0;
}
