// The program's command line, read in one place for every platform: what
// each argument means is decided here, and a platform only prints the answer.
// The program takes --help, --version and the argument the log-in entry
// passes (kit/session_start.h), which makes the start a start by the session.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace murrelet {

struct StartArguments {
  enum class Action { OpenWindow, PrintVersion, PrintUsage, Refuse };
  Action action = Action::OpenWindow;
  std::string complaint;   // Refuse: what was wrong, for standard error
  bool bySession = false;  // the log-in entry's argument was given
};

// `arguments` without the program's own name. "-session NAME", which an X11
// session manager adds when it restores the session, opens the window as no
// argument does. The log-in entry's argument may stand beside any of them.
StartArguments ReadStartArguments(std::span<const std::string_view> arguments);

// The usage printed for --help: the options and what the program does. A
// platform may add a line of its own.
std::string StartUsage();

// The exit code of a refused command line.
inline constexpr int kExitRefusedArguments = 2;

}  // namespace murrelet
