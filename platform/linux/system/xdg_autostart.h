// The log-in entry on Linux: an XDG autostart file,
// $XDG_CONFIG_HOME/autostart/murrelet.desktop, which the session reads at
// log-in. It names the program by its full path both to run (Exec) and to
// check first (TryExec): once the program is uninstalled the session finds
// no such file and skips the entry, so a left-over entry does nothing.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "kit/session_start.h"

namespace murrelet::linux_platform {

// The entry's text for the program at `program` (an absolute path).
std::string AutostartEntryText(std::string_view program);

// The folder the session reads: $XDG_CONFIG_HOME/autostart, else
// ~/.config/autostart; empty when neither is an absolute path.
std::filesystem::path DefaultAutostartDirectory();

// The program's own file, as the kernel knows it; empty when unknown.
std::filesystem::path RunningProgramPath();

class XdgAutostartEntry : public SessionStartEntry {
 public:
  XdgAutostartEntry(std::filesystem::path directory, std::filesystem::path program)
      : directory_(std::move(directory)), program_(std::move(program)) {}
  bool Set(bool startWithSession) override;
  bool IsSet() const override;

  std::filesystem::path File() const { return directory_ / "murrelet.desktop"; }

 private:
  std::filesystem::path directory_;
  std::filesystem::path program_;
};

}  // namespace murrelet::linux_platform
