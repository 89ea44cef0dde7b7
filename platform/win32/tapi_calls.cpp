#include "platform/win32/tapi_calls.h"

#include <windows.h>
#include <tapi.h>

namespace murrelet::win32::tapi32 {
namespace {

// Every line message is ignored, LINE_CLOSE included. With the hidden-window
// form of lineInitialize, TAPI calls this through the GUI thread's loop.
void CALLBACK IgnoreLineMessage(DWORD, DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

// TAPI's handles are opaque 32-bit values, also in 64-bit processes.
HLINEAPP AppOf(std::uintptr_t value) { return static_cast<HLINEAPP>(value); }

}  // namespace

std::int32_t Initialize(std::uintptr_t& lineApp, std::uint32_t& numDevs) {
  // Both are zeroed first: some TAPI answers success without writing them.
  HLINEAPP app = 0;
  DWORD count = 0;
  const LONG result = ::lineInitialize(&app, GetModuleHandleW(nullptr), IgnoreLineMessage, nullptr, &count);
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
  return result;
}

std::int32_t Close(std::uintptr_t line) { return ::lineClose(static_cast<HLINE>(line)); }

std::int32_t Shutdown(std::uintptr_t lineApp) { return ::lineShutdown(AppOf(lineApp)); }

}  // namespace murrelet::win32::tapi32
