// Which open lines the system has closed on its own. TAPI tells through the
// line callback: LINE_CLOSE names the line, LINE_LINEDEVSTATE with
// LINEDEVSTATE_REMOVED comes just before it, and LINE_REMOVE (TAPI 2.0 and
// later) names only the device, so the device of each open line is kept.
#pragma once

#include <cstdint>
#include <map>
#include <set>

namespace murrelet::win32 {

inline constexpr std::uint32_t kLineClose = 3;               // LINE_CLOSE
inline constexpr std::uint32_t kLineDevState = 8;            // LINE_LINEDEVSTATE
inline constexpr std::uint32_t kLineRemove = 25;             // LINE_REMOVE
inline constexpr std::uint32_t kLineDevStateRemoved = 0x01000000;  // LINEDEVSTATE_REMOVED

class LineCloseWatch {
 public:
  void Opened(std::uintptr_t line, std::uint32_t deviceId);
  // The program closed it itself: it is forgotten.
  void Closed(std::uintptr_t line);
  // One message of the line callback: `device` is the line handle for line
  // messages, `param1` their first parameter (the device identifier for
  // LINE_REMOVE). Messages about anything else change nothing.
  void OnMessage(std::uint32_t message, std::uintptr_t device, std::uintptr_t param1);
  bool ClosedBySystem(std::uintptr_t line) const { return closed_.count(line) != 0; }

 private:
  std::map<std::uintptr_t, std::uint32_t> open_;  // line → its device
  std::set<std::uintptr_t> closed_;
};

}  // namespace murrelet::win32
