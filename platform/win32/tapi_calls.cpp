#include "platform/win32/tapi_calls.h"

#include <windows.h>
#include <tapi.h>

#include "platform/win32/line_close_watch.h"

namespace murrelet::win32::tapi32 {
namespace {

static_assert(LINE_CLOSE == kLineClose && LINE_LINEDEVSTATE == kLineDevState && LINE_REMOVE == kLineRemove &&
              LINEDEVSTATE_REMOVED == kLineDevStateRemoved);

// The GUI thread alone opens lines and receives their messages.
LineCloseWatch& Watch() {
  static LineCloseWatch watch;
  return watch;
}

// Only the messages that say a line is gone matter; the run's tick asks.
void CALLBACK OnLineMessage(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2,
                            DWORD_PTR param3) {
  LineMessage(device, message, instance, param1, param2, param3);
}

// TAPI's handles are opaque 32-bit values, also in 64-bit processes.
HLINEAPP AppOf(std::uintptr_t value) { return static_cast<HLINEAPP>(value); }

}  // namespace

std::int32_t Initialize(std::uintptr_t& lineApp, std::uint32_t& numDevs) {
  // Both are zeroed first: some TAPI answers success without writing them.
  HLINEAPP app = 0;
  DWORD count = 0;
  const LONG result = ::lineInitialize(&app, GetModuleHandleW(nullptr), OnLineMessage, nullptr, &count);
  lineApp = app;
  numDevs = count;
  return result;
}

std::int32_t NegotiateApiVersion(std::uintptr_t lineApp, std::uint32_t deviceId, std::uint32_t low,
                                 std::uint32_t high, std::uint32_t& agreed, std::uint32_t (&extensionId)[4]) {
  DWORD version = 0;
  LINEEXTENSIONID extension{};
  const LONG result = ::lineNegotiateAPIVersion(AppOf(lineApp), deviceId, low, high, &version, &extension);
  agreed = version;
  extensionId[0] = extension.dwExtensionID0;
  extensionId[1] = extension.dwExtensionID1;
  extensionId[2] = extension.dwExtensionID2;
  extensionId[3] = extension.dwExtensionID3;
  return result;
}

std::int32_t GetDevCaps(std::uintptr_t lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                        std::uint32_t extVersion, void* block) {
  return ::lineGetDevCapsA(AppOf(lineApp), deviceId, apiVersion, extVersion, static_cast<LINEDEVCAPS*>(block));
}

std::int32_t Open(std::uintptr_t lineApp, std::uint32_t deviceId, std::uintptr_t& line, std::uint32_t apiVersion,
                  std::uint32_t extVersion, std::uintptr_t callbackInstance, std::uint32_t privileges,
                  std::uint32_t mediaModes) {
  HLINE opened = 0;
  const LONG result = ::lineOpenA(AppOf(lineApp), deviceId, &opened, apiVersion, extVersion, callbackInstance,
                                  privileges, mediaModes, nullptr);
  line = opened;
  if (result == 0 && opened != 0) Watch().Opened(opened, deviceId);
  return result;
}

std::int32_t Close(std::uintptr_t line) {
  Watch().Closed(line);
  return ::lineClose(static_cast<HLINE>(line));
}

bool ClosedBySystem(std::uintptr_t line) { return Watch().ClosedBySystem(line); }

void LineMessage(std::uint32_t device, std::uint32_t message, std::uintptr_t, std::uintptr_t param1, std::uintptr_t,
                 std::uintptr_t) {
  Watch().OnMessage(message, device, param1);
}

std::int32_t Shutdown(std::uintptr_t lineApp) { return ::lineShutdown(AppOf(lineApp)); }

}  // namespace murrelet::win32::tapi32
