#include "platform/linux/gui/session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

namespace murrelet::linux_platform {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  // Only a write is safe here; the GUI thread picks it up from the pipe.
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

SessionEnd::SessionEnd(std::function<void()> saving, std::function<void()> ending)
    : saving_(std::move(saving)), ending_(std::move(ending)) {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    // Qt registers "murrelet -session ..." to be started again with the
    // session; a desktop that restores sessions would start a second copy,
    // not minimised, beside the log-in entry's. The hint goes with every
    // save, whichever of the two requests the save makes.
    QObject::connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
      manager.setRestartHint(QSessionManager::RestartNever);
      // Not the end yet: a checkpoint goes on, and a log-out may be cancelled.
      saving_();
    });
    QObject::connect(app, &QGuiApplication::saveStateRequest, this, [](QSessionManager& manager) {
      manager.setRestartHint(QSessionManager::RestartNever);
    });
    // The session manager's Die arrives as a Quit event to the application;
    // Qt would close the windows, which is the user's close with its boxes.
    app->installEventFilter(this);
  }
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    ending_();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
  // The program ends its loop itself (QCoreApplication::exit), which sends no
  // Quit: one that comes is the session's.
  if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit) return false;
  ending_();
  return true;
}

SessionEnd::~SessionEnd() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

}  // namespace murrelet::linux_platform
