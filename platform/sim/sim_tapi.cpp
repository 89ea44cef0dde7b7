#include "platform/sim/sim_tapi.h"

#include <algorithm>
#include <cstring>

namespace murrelet::sim {

std::vector<std::byte> DevCapsImage(const SimLineDevice& device) {
  const std::uint32_t nameBytes = device.name.empty() ? 0 : static_cast<std::uint32_t>(device.name.size() + 1);
  const std::uint32_t natural = static_cast<std::uint32_t>(devcaps::kFixedSize) + nameBytes;
  std::vector<std::byte> image(natural, std::byte{0});
  if (nameBytes != 0) std::memcpy(image.data() + devcaps::kFixedSize, device.name.data(), device.name.size());
  devcaps::Put(image, devcaps::dwNeededSize, device.needed.value_or(natural));
  devcaps::Put(image, devcaps::dwUsedSize, natural);
  devcaps::Put(image, devcaps::dwLineNameSize, device.nameSize.value_or(nameBytes));
  devcaps::Put(image, devcaps::dwLineNameOffset,
               device.nameOffset.value_or(nameBytes != 0 ? static_cast<std::uint32_t>(devcaps::kFixedSize) : 0));
  devcaps::Put(image, devcaps::dwMediaModes, device.media);
  return image;
}

bool SimTapi::Failing(const char* op) {
  auto it = failNext.find(op);
  if (it == failNext.end() || it->second <= 0) return false;
  --it->second;
  return true;
}

void SimTapi::Record(const char* op, std::vector<std::pair<std::string, std::int64_t>> args, std::int64_t result) {
  ++counts_[op];
  if (recordCalls) calls_.push_back({op, std::move(args), result});
}

std::vector<TapiCall> SimTapi::TakeCalls() {
  std::vector<TapiCall> taken;
  taken.swap(calls_);
  return taken;
}

std::int32_t SimTapi::lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) {
  std::int32_t result = 0;
  if (init == InitMode::Fail || Failing("lineInitialize")) {
    result = LINEERR_OPERATIONFAILED;
  } else if (init == InitMode::Reinit) {
    result = LINEERR_REINIT;
  } else {
    *lineApp = nextApp_++;
    *numDevs = static_cast<std::uint32_t>(devices.size());
    apps_.insert(*lineApp);
    maxApps_ = std::max(maxApps_, apps_.size());
  }
  Record("lineInitialize", {{"lineApp", result == 0 ? *lineApp : 0}, {"numDevs", result == 0 ? *numDevs : 0}},
         result);
  return result;
}

std::int32_t SimTapi::lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiLowVersion,
                                              std::uint32_t apiHighVersion, std::uint32_t* apiVersion,
                                              LINEEXTENSIONID* extensionId) {
  std::int32_t result = 0;
  if (apps_.count(lineApp) == 0) {
    result = LINEERR_INVALAPPHANDLE;
  } else if (deviceId >= devices.size()) {
    result = LINEERR_BADDEVICEID;
  } else if (!devices[deviceId].acceptsVersion || apiLowVersion > kTapiVersion14 || apiHighVersion < kTapiVersion14 ||
             Failing("lineNegotiateAPIVersion")) {
    result = LINEERR_INCOMPATIBLEAPIVERSION;
  } else {
    *apiVersion = kTapiVersion14;
    *extensionId = LINEEXTENSIONID{};
  }
  Record("lineNegotiateAPIVersion",
         {{"lineApp", lineApp}, {"deviceId", deviceId}, {"apiLowVersion", apiLowVersion},
          {"apiHighVersion", apiHighVersion}},
         result);
  return result;
}

std::int32_t SimTapi::lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                                     std::uint32_t extVersion, std::span<std::byte> lineDevCaps) {
  const std::uint32_t total = devcaps::Get(lineDevCaps, devcaps::dwTotalSize);
  std::int32_t result = 0;
  if (apps_.count(lineApp) == 0) {
    result = LINEERR_INVALAPPHANDLE;
  } else if (deviceId >= devices.size()) {
    result = LINEERR_BADDEVICEID;
  } else if (!devices[deviceId].acceptsVersion || apiVersion != kTapiVersion14) {
    result = LINEERR_INCOMPATIBLEAPIVERSION;
  } else if (!devices[deviceId].capsOk || total > lineDevCaps.size() || Failing("lineGetDevCaps")) {
    result = LINEERR_OPERATIONFAILED;
  } else {
    const SimLineDevice& device = devices[deviceId];
    std::vector<std::byte> image = DevCapsImage(device);
    const std::uint32_t needed = devcaps::Get(image, devcaps::dwNeededSize);
    const bool fits = total >= needed;
    if (!fits && !device.nameOffset && !device.nameSize) {
      // Too small a block gets the fixed part only: no variable part is described.
      devcaps::Put(image, devcaps::dwLineNameSize, 0);
      devcaps::Put(image, devcaps::dwLineNameOffset, 0);
      image.resize(std::min<std::size_t>(image.size(), devcaps::kFixedSize));
    }
    const std::size_t copy = std::min<std::size_t>({image.size(), total, lineDevCaps.size()});
    std::memcpy(lineDevCaps.data() + 4, image.data() + 4, copy > 4 ? copy - 4 : 0);
    devcaps::Put(lineDevCaps, devcaps::dwUsedSize, static_cast<std::uint32_t>(copy));
  }
  Record("lineGetDevCaps",
         {{"lineApp", lineApp}, {"deviceId", deviceId}, {"apiVersion", apiVersion}, {"extVersion", extVersion},
          {"dwTotalSize", total}},
         result);
  return result;
}

std::int32_t SimTapi::lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line, std::uint32_t apiVersion,
                               std::uint32_t extVersion, std::uint32_t callbackInstance, std::uint32_t privileges,
                               std::uint32_t mediaModes) {
  std::int32_t result = 0;
  if (apps_.count(lineApp) == 0) {
    result = LINEERR_INVALAPPHANDLE;
  } else if (deviceId >= devices.size()) {
    result = LINEERR_BADDEVICEID;
  } else if (!devices[deviceId].acceptsVersion || apiVersion != kTapiVersion14) {
    result = LINEERR_INCOMPATIBLEAPIVERSION;
  } else if (!devices[deviceId].openOk || (devices[deviceId].media & mediaModes) == 0 || Failing("lineOpen")) {
    result = LINEERR_OPERATIONFAILED;
  } else {
    *line = nextLine_++;
    lines_[*line] = lineApp;
  }
  Record("lineOpen",
         {{"lineApp", lineApp},
          {"deviceId", deviceId},
          {"line", result == 0 ? *line : 0},
          {"apiVersion", apiVersion},
          {"extVersion", extVersion},
          {"callbackInstance", callbackInstance},
          {"privileges", privileges},
          {"mediaModes", mediaModes}},
         result);
  return result;
}

std::int32_t SimTapi::lineClose(HLINE line) {
  const std::int32_t result = lines_.erase(line) != 0 ? 0 : LINEERR_INVALLINEHANDLE;
  Record("lineClose", {{"line", line}}, result);
  return result;
}

std::int32_t SimTapi::lineShutdown(HLINEAPP lineApp) {
  std::int32_t result = LINEERR_INVALAPPHANDLE;
  if (apps_.erase(lineApp) != 0) {
    result = 0;
    // Ending a line application closes the lines it still holds.
    std::erase_if(lines_, [lineApp](const auto& entry) { return entry.second == lineApp; });
  }
  Record("lineShutdown", {{"lineApp", lineApp}}, result);
  return result;
}

void SimTapi::ReleaseAll() {
  apps_.clear();
  lines_.clear();
}

}  // namespace murrelet::sim
