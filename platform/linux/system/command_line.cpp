#include "platform/linux/system/command_line.h"

namespace murrelet::linux_platform {

CommandLine ReadCommandLine(std::span<const std::string_view> args) {
  CommandLine line;
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
         "\n"
         "The window needs a display (DISPLAY or WAYLAND_DISPLAY). See murrelet(1).\n";
}

}  // namespace murrelet::linux_platform
