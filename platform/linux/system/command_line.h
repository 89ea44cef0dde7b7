// What the program's command line asks for. The window takes no options; the
// few there are answer and end before any window, lock or bus connection.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace murrelet::linux_platform {

struct CommandLine {
  enum class Action { OpenWindow, PrintVersion, PrintUsage, Refuse };
  Action action = Action::OpenWindow;
  std::string complaint;  // Refuse: what was wrong, for standard error
  bool bySession = false;  // the log-in entry's argument (kit/session_start.h)
};

// `args` without the program's name. "-session NAME", which a session
// manager adds when it restores the session, opens the window as no
// argument does (Qt reads it). The log-in entry's argument may stand beside
// either.
CommandLine ReadCommandLine(std::span<const std::string_view> args);

// The usage printed for --help.
std::string Usage();

// Exit codes: a refused command line, and a start without a display.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoDisplay = 1;

}  // namespace murrelet::linux_platform
