#include "charging/start_arguments.h"

#include <algorithm>
#include <vector>

#include "kit/session_start.h"

namespace murrelet {

StartArguments ReadStartArguments(std::span<const std::string_view> given) {
  using Action = StartArguments::Action;
  StartArguments read;
  std::vector<std::string_view> args(given.begin(), given.end());
  const auto bySession = std::remove(args.begin(), args.end(), std::string_view(kSessionStartArgument));
  read.bySession = bySession != args.end();
  args.erase(bySession, args.end());
  if (args.empty()) return read;
  const std::string_view first = args[0];
  if (args.size() == 2 && (first == "-session" || first == "--session")) return read;
  const bool version = first == "--version";
  const bool help = first == "--help" || first == "-h";
  if (args.size() == 1 && (version || help)) {
    read.action = version ? Action::PrintVersion : Action::PrintUsage;
    return read;
  }
  read.action = Action::Refuse;
  read.complaint = version || help ? "'" + std::string(first) + "' takes no other argument"
                                   : "unknown argument '" + std::string(first) + "'";
  return read;
}

std::string StartUsage() {
  return std::string("Usage: murrelet [") + kSessionStartArgument +
         "] [--help | --version]\n"
         "Opens the window that charges a KESTRA handset connected to this computer.\n"
         "\n"
         "  -h, --help       print this help and exit\n"
         "  --version        print the version and exit\n"
         "  " + kSessionStartArgument +
         "  start with the window minimised, as the log-in entry does\n";
}

}  // namespace murrelet
