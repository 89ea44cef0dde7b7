#include "platform/linux/system/command_line.h"

#include <algorithm>
#include <vector>

#include "kit/session_start.h"

namespace murrelet::linux_platform {

CommandLine ReadCommandLine(std::span<const std::string_view> given) {
  CommandLine line;
  std::vector<std::string_view> args(given.begin(), given.end());
  const auto bySession = std::remove(args.begin(), args.end(), std::string_view(kSessionStartArgument));
  line.bySession = bySession != args.end();
  args.erase(bySession, args.end());
  if (args.empty()) return line;
  const std::string_view first = args[0];
  if (args.size() == 2 && (first == "-session" || first == "--session")) return line;
  if (args.size() == 1 && first == "--version") {
    line.action = CommandLine::Action::PrintVersion;
    return line;
  }
  if (args.size() == 1 && (first == "--help" || first == "-h")) {
    line.action = CommandLine::Action::PrintUsage;
    return line;
  }
  line.action = CommandLine::Action::Refuse;
  const bool known = first == "--version" || first == "--help" || first == "-h";
  line.complaint = known ? "'" + std::string(first) + "' takes no other argument"
                         : "unknown argument '" + std::string(first) + "'";
  return line;
}

std::string Usage() {
  return "Usage: murrelet [--help | --version]\n"
         "Opens the window that charges a KESTRA handset connected to this computer.\n"
         "\n"
         "  -h, --help  print this help and exit\n"
         "  --version   print the version and exit\n"
         "  --session-start\n"
         "              start with the window minimised, as the log-in entry does\n"
         "\n"
         "The window needs a display (DISPLAY or WAYLAND_DISPLAY). See murrelet(1).\n";
}

}  // namespace murrelet::linux_platform
