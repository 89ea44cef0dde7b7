#include "platform/linux/gui/display_check.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string_view>


namespace murrelet::linux_platform {
namespace {

bool IsSet(const char* variable) { return variable != nullptr && variable[0] != '\0'; }

QtMessageHandler previousHandler = nullptr;

void EndWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (previousHandler != nullptr) previousHandler(type, context, message);
    return;
  }
  const char* display = std::getenv("DISPLAY");
  std::fprintf(stderr, "murrelet: no display: the window cannot open on %s%s (%s)\n",
               IsSet(display) ? "DISPLAY=" : "this display", IsSet(display) ? display : "",
               qPrintable(message.section(QLatin1Char('\n'), 0, 0).trimmed()));
  std::fflush(stderr);
  std::_Exit(kExitNoDisplay);
}

}  // namespace

std::string MissingDisplay(const char* qpaPlatform, const char* display, const char* waylandDisplay) {
  const bool x11 = IsSet(display);
  const bool wayland = IsSet(waylandDisplay);
  if (!IsSet(qpaPlatform)) {
    if (x11 || wayland) return {};
    return "DISPLAY and WAYLAND_DISPLAY are not set";
  }
  // Each choice in turn, as Qt tries them.
  std::string_view choices(qpaPlatform);
  while (!choices.empty()) {
    const std::size_t end = choices.find(';');
    std::string_view choice = choices.substr(0, end);
    choices = end == std::string_view::npos ? std::string_view() : choices.substr(end + 1);
    choice = choice.substr(0, choice.find(':'));
    if (choice == "xcb") {
      if (x11) return {};
    } else if (choice.substr(0, 7) == "wayland") {
      if (wayland) return {};
    } else if (!choice.empty()) {
      return {};  // offscreen, vnc, eglfs…: no display variable to check
    }
  }
  return "QT_QPA_PLATFORM=" + std::string(qpaPlatform) + ", and its display (DISPLAY or WAYLAND_DISPLAY) is not set";
}

NoDisplayGuard::NoDisplayGuard() { previousHandler = qInstallMessageHandler(EndWithoutDisplay); }

NoDisplayGuard::~NoDisplayGuard() {
  qInstallMessageHandler(previousHandler);
  previousHandler = nullptr;
}

}  // namespace murrelet::linux_platform
