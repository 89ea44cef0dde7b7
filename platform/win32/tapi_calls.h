// The six Tapi32.dll calls with plain types. Kept apart from kit/tapi.h,
// whose method names the Windows headers define as macros.
#pragma once

#include <cstdint>

namespace murrelet::win32::tapi32 {

// Handles are TAPI's own pointer-sized values; results are TAPI's codes.
std::int32_t Initialize(std::uintptr_t& lineApp, std::uint32_t& numDevs);
std::int32_t NegotiateApiVersion(std::uintptr_t lineApp, std::uint32_t deviceId, std::uint32_t low,
                                 std::uint32_t high, std::uint32_t& agreed, std::uint32_t (&extensionId)[4]);
// `block` starts with dwTotalSize; the A form writes names in the ANSI code page.
std::int32_t GetDevCaps(std::uintptr_t lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                        std::uint32_t extVersion, void* block);
std::int32_t Open(std::uintptr_t lineApp, std::uint32_t deviceId, std::uintptr_t& line, std::uint32_t apiVersion,
                  std::uint32_t extVersion, std::uintptr_t callbackInstance, std::uint32_t privileges,
                  std::uint32_t mediaModes);
std::int32_t Close(std::uintptr_t line);
std::int32_t Shutdown(std::uintptr_t lineApp);

// Whether TAPI has told, through the line callback, that the system closed
// `line` (LINE_CLOSE, its device removed). Close forgets the line.
bool ClosedBySystem(std::uintptr_t line);
// The line callback lineInitialize registers; TAPI calls it through the GUI
// thread's loop (also a modal box's), with the hidden-window form.
void LineMessage(std::uint32_t device, std::uint32_t message, std::uintptr_t instance, std::uintptr_t param1,
                 std::uintptr_t param2, std::uintptr_t param3);

}  // namespace murrelet::win32::tapi32
