// The program's command line, read in one place for every platform. The
// program takes two arguments: --version (Linux prints its version) and the
// one the log-in entry passes (kit/session_start.h), which makes the start a
// start by the session.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace murrelet {

struct StartArguments {
  bool version = false;
  bool bySession = false;
  // Arguments the program does not know, in order.
  std::vector<std::string> unknown;
};

// `arguments` without the program's own name.
StartArguments ReadStartArguments(std::span<const std::string_view> arguments);

}  // namespace murrelet
