// Starts a program and measures it from exec to its first window on the X
// display: the time until a top-level window is mapped, and the time until
// that window's contents are first drawn into it (the DAMAGE extension reports
// the first drawing; every top-level window is watched from its creation, so
// none is missed), then, after `settle` ms, its memory: peak RSS (from wait4)
// and private bytes, the process's anonymous memory from
// /proc/<pid>/smaps_rollup (what Windows counts as private bytes: not the
// mapped files), read before SIGTERM ends it.
//   window_start SETTLE_MS PROGRAM [ARGS...]
// prints: start_ms=T drawn_ms=D peak_rss_kb=R private_kb=P
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

long AnonymousKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  long total = 0;
  while (std::getline(in, line)) {
    for (const char* key : {"Anonymous:"}) {
      if (line.rfind(key, 0) == 0) total += std::atol(line.c_str() + std::strlen(key));
    }
  }
  return total;
}

// A window the program makes and destroys at once may be gone before its
// damage is asked for; that error is expected and ignored.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_start SETTLE_MS PROGRAM [ARGS...]\n");
    return 2;
  }
  const int settleMs = std::atoi(argv[1]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "window_start: no X display\n");
    return 2;
  }
  int damageEvent = 0;
  int damageError = 0;
  if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
    std::fprintf(stderr, "window_start: the X server has no DAMAGE extension\n");
    return 2;
  }
  XSetErrorHandler(IgnoreError);
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  const auto sinceStart = [&] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  };
  // The first top-level window mapped on the root (Wine's unmanaged windows
  // are override-redirect, so those count too), and the first drawing into a
  // mapped one (Wine maps a small window of its own first).
  double startMs = -1;
  double drawnMs = -1;
  std::vector<Window> shown;
  std::vector<Damage> damages;
  const auto deadline = start + std::chrono::seconds(30);
  while (drawnMs < 0 && std::chrono::steady_clock::now() < deadline) {
    while (drawnMs < 0 && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
        damages.push_back(XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty));
      } else if (event.type == MapNotify && event.xmap.event == root) {
        if (startMs < 0) startMs = sinceStart();
        shown.push_back(event.xmap.window);
      } else if (event.type == damageEvent + XDamageNotify) {
        const auto& damaged = reinterpret_cast<const XDamageNotifyEvent&>(event);
        if (std::find(shown.begin(), shown.end(), damaged.drawable) != shown.end()) drawnMs = sinceStart();
      }
    }
    if (drawnMs < 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    int status;
    if (drawnMs < 0 && waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "window_start: %s ended before showing a window\n", argv[2]);
      return 1;
    }
  }
  if (drawnMs < 0) {
    kill(child, SIGKILL);
    std::fprintf(stderr, "window_start: no window drawn within 30 s\n");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
  const long privateKb = AnonymousKb(child);
  kill(child, SIGTERM);
  int status = 0;
  rusage usage{};
  bool ended = false;
  for (int i = 0; i < 500 && !ended; ++i) {
    ended = wait4(child, &status, WNOHANG, &usage) == child;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!ended) {
    kill(child, SIGKILL);
    wait4(child, &status, 0, &usage);
  }
  std::printf("start_ms=%.1f drawn_ms=%.1f peak_rss_kb=%ld private_kb=%ld\n", startMs, drawnMs, usage.ru_maxrss,
              privateKb);
  XCloseDisplay(display);
  return 0;
}
