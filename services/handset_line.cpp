#include "services/handset_line.h"

#include <algorithm>
#include <vector>

namespace murrelet {
namespace {

bool StartLineApplication(Tapi& tapi, HLINEAPP& lineApp, std::uint32_t& numDevs) {
  lineApp = 0;
  numDevs = 0;
  // Called once: LINEERR_REINIT ends the attempt like any other error, and
  // the idle poll tries again a second later.
  const std::int32_t result = tapi.lineInitialize(&lineApp, &numDevs);
  if (result != 0) lineApp = 0;
  return result == 0 && lineApp != 0;
}

// Version negotiation with device 0 gates every search and every open.
bool FirstDeviceAccepts14(Tapi& tapi, HLINEAPP lineApp, std::uint32_t& agreed) {
  LINEEXTENSIONID extension;
  return tapi.lineNegotiateAPIVersion(lineApp, 0, kTapiVersion14, kTapiVersion14, &agreed, &extension) == 0;
}

// The name of a data-modem line, empty for any other line or a failed query.
std::string_view DataModemLineName(Tapi& tapi, HLINEAPP lineApp, std::uint32_t deviceId,
                                   std::vector<std::byte>& block) {
  std::uint32_t agreed = 0;
  LINEEXTENSIONID extension;
  tapi.lineNegotiateAPIVersion(lineApp, deviceId, kTapiVersion14, kTapiVersion14, &agreed, &extension);

  block.assign(devcaps::kFixedSize, std::byte{0});
  devcaps::Put(block, devcaps::dwTotalSize, devcaps::kFixedSize);
  tapi.lineGetDevCaps(lineApp, deviceId, kTapiVersion14, 0, block);

  const std::uint32_t needed = devcaps::Get(block, devcaps::dwNeededSize);
  if (needed > devcaps::kFixedSize) {
    // A device asking for more than any line name needs is treated as a
    // failed query: its block is not trusted and nothing is allocated for it.
    if (needed > kMaxDevCapsSize) return {};
    block.resize(needed, std::byte{0});
    devcaps::Put(block, devcaps::dwTotalSize, needed);
    tapi.lineGetDevCaps(lineApp, deviceId, kTapiVersion14, 0, block);
  }

  if ((devcaps::Get(block, devcaps::dwMediaModes) & LINEMEDIAMODE_DATAMODEM) == 0) return {};
  return LineNameOf(block);
}

// One line-application session over every device, each visited with its
// data-modem line name (empty for any other line or a failed query). False
// when the scan could not look: no line application, or the first device
// refused the version. No devices at all is a scan that looked.
template <typename Visit>
bool ScanDataModemLines(Tapi& tapi, Visit visit) {
  HLINEAPP lineApp = 0;
  std::uint32_t numDevs = 0;
  if (!StartLineApplication(tapi, lineApp, numDevs)) return false;
  std::uint32_t agreed = 0;
  if (numDevs < 1 || !FirstDeviceAccepts14(tapi, lineApp, agreed)) {
    tapi.lineShutdown(lineApp);
    return numDevs < 1;
  }
  std::vector<std::byte> block;
  block.reserve(devcaps::kFixedSize);
  for (std::uint32_t i = 0; i < numDevs && i <= 0x7FFFFFFF; ++i) visit(i, DataModemLineName(tapi, lineApp, i, block));
  tapi.lineShutdown(lineApp);
  return true;
}

}  // namespace

HandsetSearch SearchHandsetLine(Tapi& tapi, std::string_view name) {
  HandsetSearch result;
  // Every device is scanned, so the highest matching identifier wins. A line
  // without a name (none reported, one outside the block, or an empty one) is
  // no handset's, whatever name is searched for, "" included.
  result.looked = ScanDataModemLines(tapi, [&](std::uint32_t deviceId, std::string_view lineName) {
    if (!lineName.empty() && lineName == name) result.deviceId = static_cast<std::int32_t>(deviceId);
  });
  return result;
}

std::int32_t FindHandsetLine(Tapi& tapi, std::string_view name) { return SearchHandsetLine(tapi, name).deviceId; }

std::vector<std::string> DataModemLineNames(Tapi& tapi) {
  std::vector<std::string> names;
  ScanDataModemLines(tapi, [&](std::uint32_t, std::string_view name) {
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
  });
  return names;
}

void OpenHandsetLine(Tapi& tapi, std::int32_t deviceId, HLINEAPP& lineApp, HLINE& line) {
  line = 0;
  lineApp = 0;
  std::uint32_t numDevs = 0;
  const bool started = StartLineApplication(tapi, lineApp, numDevs);
  std::uint32_t agreed = 0;
  if (!started || numDevs < 1 || !FirstDeviceAccepts14(tapi, lineApp, agreed)) {
    if (started) tapi.lineShutdown(lineApp);
    lineApp = 0;
    return;
  }
  HLINE opened = 0;
  const std::int32_t result =
      tapi.lineOpen(lineApp, static_cast<std::uint32_t>(deviceId), &opened, agreed, 0, 0,
                    LINECALLPRIVILEGE_OWNER | LINECALLPRIVILEGE_MONITOR, LINEMEDIAMODE_DATAMODEM);
  if (result != 0 || opened == 0) {
    tapi.lineShutdown(lineApp);
    lineApp = 0;
    return;
  }
  line = opened;
}

void CloseHandsetLine(Tapi& tapi, HLINEAPP lineApp, HLINE line) {
  try {
    tapi.lineClose(line);
  } catch (...) {
    // The line application is ended whatever the close did.
  }
  tapi.lineShutdown(lineApp);
}

}  // namespace murrelet
