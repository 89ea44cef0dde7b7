// The entry that starts the program when the user logs in: the current
// user's Run value on Windows, an XDG autostart file on Linux. The core
// decides when it is written or removed; a platform only does it.
#pragma once

namespace murrelet {

// What the entry passes the program, so that a start by the session shows
// the window minimised. Read by ReadStartArguments (charging/start_arguments.h).
inline constexpr const char* kSessionStartArgument = "--session-start";

class SessionStartEntry {
 public:
  virtual ~SessionStartEntry() = default;
  // Writes the entry (true) or removes it (false); false when that failed.
  // Removing an entry that is not there succeeds.
  virtual bool Set(bool startWithSession) = 0;
  // Whether an entry that starts this program is there now, whoever wrote
  // it: what the log-in box shows.
  virtual bool IsSet() const = 0;
};

}  // namespace murrelet
