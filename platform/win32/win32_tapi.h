// TAPI 1.4 from Tapi32.dll through its A functions: line names arrive in the
// ANSI code page and reach the core re-encoded as UTF-8.
#pragma once

#include "kit/tapi.h"
#include "platform/win32/handle_table.h"

namespace murrelet::win32 {

class Win32Tapi : public Tapi {
 public:
  std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) override;
  std::int32_t lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiLowVersion,
                                       std::uint32_t apiHighVersion, std::uint32_t* apiVersion,
                                       LINEEXTENSIONID* extensionId) override;
  std::int32_t lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                              std::uint32_t extVersion, std::span<std::byte> lineDevCaps) override;
  std::int32_t lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line, std::uint32_t apiVersion,
                        std::uint32_t extVersion, std::uint32_t callbackInstance, std::uint32_t privileges,
                        std::uint32_t mediaModes) override;
  std::int32_t lineClose(HLINE line) override;
  std::int32_t lineShutdown(HLINEAPP lineApp) override;
  // TAPI's LINE_CLOSE for the line, or its device removed.
  bool LineClosedBySystem(HLINE line) const override;

  // Live handles, for the tests: every start is matched by a shutdown.
  std::size_t LiveLineApps() const { return apps_.Size(); }
  std::size_t LiveLines() const { return lines_.Size(); }

 private:
  HandleTable apps_;
  HandleTable lines_;
};

}  // namespace murrelet::win32
