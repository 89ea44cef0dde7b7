#include "platform/win32/win32_tapi.h"

#include <vector>

#include "platform/win32/line_name_encoding.h"
#include "platform/win32/tapi_calls.h"
#include "platform/win32/text_encoding.h"

namespace murrelet::win32 {

std::int32_t Win32Tapi::lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) {
  std::uintptr_t native = 0;
  std::uint32_t count = 0;
  const std::int32_t result = tapi32::Initialize(native, count);
  *lineApp = 0;
  *numDevs = 0;
  if (result != 0) return result;
  // A success that hands out no handle is no line application: there is
  // nothing to shut down and nothing to search.
  if (native == 0) return LINEERR_OPERATIONFAILED;
  const std::uint32_t number = apps_.Add(native);
  if (number == 0) {
    tapi32::Shutdown(native);
    return LINEERR_OPERATIONFAILED;
  }
  *lineApp = number;
  *numDevs = count;
  return 0;
}

std::int32_t Win32Tapi::lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiLowVersion,
                                                std::uint32_t apiHighVersion, std::uint32_t* apiVersion,
                                                LINEEXTENSIONID* extensionId) {
  const auto native = apps_.Find(lineApp);
  if (!native) return LINEERR_INVALAPPHANDLE;
  std::uint32_t agreed = 0;
  std::uint32_t extension[4] = {};
  const std::int32_t result =
      tapi32::NegotiateApiVersion(*native, deviceId, apiLowVersion, apiHighVersion, agreed, extension);
  if (result == 0) {
    *apiVersion = agreed;
    *extensionId = {extension[0], extension[1], extension[2], extension[3]};
  }
  return result;
}

std::int32_t Win32Tapi::lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                                       std::uint32_t extVersion, std::span<std::byte> lineDevCaps) {
  const auto native = apps_.Find(lineApp);
  if (!native) return LINEERR_INVALAPPHANDLE;
  // TAPI fills a copy; the core's block changes only after a good answer.
  std::vector<std::byte> filled(lineDevCaps.begin(), lineDevCaps.end());
  const std::int32_t result = tapi32::GetDevCaps(*native, deviceId, apiVersion, extVersion, filled.data());
  if (result != 0) return result;
  PresentLineName(filled, lineDevCaps, [](std::string_view ansi, std::string& utf8) { return AnsiToUtf8(ansi, utf8); });
  return 0;
}

std::int32_t Win32Tapi::lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line, std::uint32_t apiVersion,
                                 std::uint32_t extVersion, std::uint32_t callbackInstance, std::uint32_t privileges,
                                 std::uint32_t mediaModes) {
  *line = 0;
  const auto native = apps_.Find(lineApp);
  if (!native) return LINEERR_INVALAPPHANDLE;
  std::uintptr_t opened = 0;
  const std::int32_t result =
      tapi32::Open(*native, deviceId, opened, apiVersion, extVersion, callbackInstance, privileges, mediaModes);
  if (result != 0) return result;
  if (opened == 0) return LINEERR_OPERATIONFAILED;
  const std::uint32_t number = lines_.Add(opened);
  if (number == 0) {
    tapi32::Close(opened);
    return LINEERR_OPERATIONFAILED;
  }
  *line = number;
  return 0;
}

std::int32_t Win32Tapi::lineClose(HLINE line) {
  const auto native = lines_.Take(line);
  if (!native) return LINEERR_INVALLINEHANDLE;
  return tapi32::Close(*native);
}

bool Win32Tapi::LineClosedBySystem(HLINE line) const {
  const auto native = lines_.Find(line);
  return native && tapi32::ClosedBySystem(*native);
}

std::int32_t Win32Tapi::lineShutdown(HLINEAPP lineApp) {
  const auto native = apps_.Take(lineApp);
  if (!native) return LINEERR_INVALAPPHANDLE;
  return tapi32::Shutdown(*native);
}

}  // namespace murrelet::win32
