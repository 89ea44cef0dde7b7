#include "charging/start_arguments.h"

#include "kit/session_start.h"

namespace murrelet {

StartArguments ReadStartArguments(std::span<const std::string_view> arguments) {
  StartArguments read;
  for (std::string_view argument : arguments) {
    if (argument == "--version") {
      read.version = true;
    } else if (argument == kSessionStartArgument) {
      read.bySession = true;
    } else {
      read.unknown.emplace_back(argument);
    }
  }
  return read;
}

}  // namespace murrelet
