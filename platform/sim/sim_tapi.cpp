#include "platform/sim/sim_tapi.h"

#include <algorithm>
#include <cstring>

namespace murrelet::sim {

std::uint32_t NaturalDevCapsSize(const SimLineDevice& device) {
  const std::size_t nameBytes = device.name.empty() ? 0 : device.name.size() + 1;
  return static_cast<std::uint32_t>(devcaps::kFixedSize + nameBytes);
}

void FillDevCaps(const SimLineDevice& device, std::span<std::byte> block) {
  // As TAPI does: the fixed part always, the name only when the block holds it.
  const std::uint32_t natural = NaturalDevCapsSize(device);
  const std::uint32_t needed = device.needed.value_or(natural);
  const std::uint32_t total = devcaps::Get(block, devcaps::dwTotalSize);
  const bool fits = total >= needed && total >= natural && block.size() >= natural;
  const std::uint32_t nameBytes = natural - static_cast<std::uint32_t>(devcaps::kFixedSize);
  devcaps::Put(block, devcaps::dwNeededSize, needed);
  devcaps::Put(block, devcaps::dwUsedSize, fits ? natural : static_cast<std::uint32_t>(devcaps::kFixedSize));
  devcaps::Put(block, devcaps::dwMediaModes, device.media);
  std::uint32_t nameSize = 0;
  std::uint32_t nameOffset = 0;
  if (fits && nameBytes != 0) {
    std::memcpy(block.data() + devcaps::kFixedSize, device.name.data(), device.name.size());
    block[devcaps::kFixedSize + device.name.size()] = std::byte{0};
    nameSize = nameBytes;
    nameOffset = static_cast<std::uint32_t>(devcaps::kFixedSize);
  }
  devcaps::Put(block, devcaps::dwLineNameSize, device.nameSize.value_or(nameSize));
  devcaps::Put(block, devcaps::dwLineNameOffset, device.nameOffset.value_or(nameOffset));
}

bool SimTapi::Failing(std::string_view op) {
  auto it = failNext.find(op);
  if (it == failNext.end() || it->second <= 0) return false;
  --it->second;
  return true;
}

std::map<std::string, std::int64_t> SimTapi::Counts() const {
  std::map<std::string, std::int64_t> counts;
  for (int op = 0; op < kOpCount; ++op) {
    if (counts_[op] != 0) counts[kOpNames[op]] = counts_[op];
  }
  return counts;
}

std::vector<TapiCall> SimTapi::TakeCalls() {
  std::vector<TapiCall> taken;
  taken.swap(calls_);
  return taken;
}

std::int32_t SimTapi::lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) {
  std::int32_t result = 0;
  diagnosis_ = {};
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
  Record(kInitialize,
         [&] { return std::vector<std::pair<std::string, std::int64_t>>{{"lineApp", result == 0 ? *lineApp : 0}, {"numDevs", result == 0 ? *numDevs : 0}}; },
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
  Record(kNegotiate,
         [&] { return std::vector<std::pair<std::string, std::int64_t>>{{"lineApp", lineApp}, {"deviceId", deviceId}, {"apiLowVersion", apiLowVersion},
          {"apiHighVersion", apiHighVersion}}; },
         result);
  return result;
}

// What lineGetDevCaps and lineOpen first check alike: a live application, a
// device that exists, the version negotiated for it.
std::int32_t SimTapi::CheckNegotiated(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion) const {
  if (apps_.count(lineApp) == 0) return LINEERR_INVALAPPHANDLE;
  if (deviceId >= devices.size()) return LINEERR_BADDEVICEID;
  if (!devices[deviceId].acceptsVersion || apiVersion != kTapiVersion14) return LINEERR_INCOMPATIBLEAPIVERSION;
  return 0;
}

std::int32_t SimTapi::lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                                     std::uint32_t extVersion, std::span<std::byte> lineDevCaps) {
  const std::uint32_t total = devcaps::Get(lineDevCaps, devcaps::dwTotalSize);
  std::int32_t result = CheckNegotiated(lineApp, deviceId, apiVersion);
  if (result != 0) {
    // recorded as it is
  } else if (!devices[deviceId].capsOk || total > lineDevCaps.size() || total < devcaps::kFixedSize ||
             Failing("lineGetDevCaps")) {
    result = LINEERR_OPERATIONFAILED;
  } else {
    FillDevCaps(devices[deviceId], lineDevCaps);
  }
  Record(kGetDevCaps,
         [&] { return std::vector<std::pair<std::string, std::int64_t>>{{"lineApp", lineApp}, {"deviceId", deviceId}, {"apiVersion", apiVersion}, {"extVersion", extVersion},
          {"dwTotalSize", total}}; },
         result);
  return result;
}

std::int32_t SimTapi::lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line, std::uint32_t apiVersion,
                               std::uint32_t extVersion, std::uint32_t callbackInstance, std::uint32_t privileges,
                               std::uint32_t mediaModes) {
  std::int32_t result = CheckNegotiated(lineApp, deviceId, apiVersion);
  if (result != 0) {
    // recorded as it is
  } else if (devices[deviceId].openDenied) {
    result = LINEERR_OPERATIONFAILED;
    const SimLineDevice& device = devices[deviceId];
    // The simulated computer joins groups the way Linux does.
    const bool mayJoin = !device.group.empty() && device.standing == GroupStanding::NotMember;
    diagnosis_ = {true, device.node, device.group, device.standing,
                  mayJoin ? "sudo usermod -aG " + device.group + " $USER" : "", "", "", 0};
  } else if (!devices[deviceId].openOk || (devices[deviceId].media & mediaModes) == 0 || Failing("lineOpen")) {
    result = LINEERR_OPERATIONFAILED;
  } else {
    *line = nextLine_++;
    lines_[*line] = lineApp;
    lineDevices_[*line] = deviceId;
    diagnosis_ = {};
  }
  Record(kOpen,
         [&] { return std::vector<std::pair<std::string, std::int64_t>>{{"lineApp", lineApp},
          {"deviceId", deviceId},
          {"line", result == 0 ? *line : 0},
          {"apiVersion", apiVersion},
          {"extVersion", extVersion},
          {"callbackInstance", callbackInstance},
          {"privileges", privileges},
          {"mediaModes", mediaModes}}; },
         result);
  return result;
}

std::int32_t SimTapi::lineClose(HLINE line) {
  lineDevices_.erase(line);
  const std::int32_t result = lines_.erase(line) != 0 ? 0 : LINEERR_INVALLINEHANDLE;
  Record(kClose,
         [&] { return std::vector<std::pair<std::string, std::int64_t>>{{"line", line}}; },
         result);
  return result;
}

std::int32_t SimTapi::lineShutdown(HLINEAPP lineApp) {
  std::int32_t result = LINEERR_INVALAPPHANDLE;
  if (apps_.erase(lineApp) != 0) {
    result = 0;
    // Ending a line application closes the lines it still holds.
    std::erase_if(lines_, [lineApp](const auto& entry) { return entry.second == lineApp; });
    std::erase_if(lineDevices_, [this](const auto& entry) { return lines_.count(entry.first) == 0; });
    std::erase_if(closedBySystem_, [lineApp](const auto& entry) { return entry.second == lineApp; });
  }
  Record(kShutdown,
         [&] { return std::vector<std::pair<std::string, std::int64_t>>{{"lineApp", lineApp}}; },
         result);
  return result;
}

void SimTapi::ReleaseAll() {
  apps_.clear();
  lines_.clear();
  lineDevices_.clear();
  closedBySystem_.clear();
}

void SimTapi::CloseBySystem(HLINE line) {
  auto open = lines_.find(line);
  if (open == lines_.end()) return;
  closedBySystem_[line] = open->second;
  lines_.erase(open);
  lineDevices_.erase(line);
}

void SimTapi::RemoveDevice(std::size_t deviceId) {
  if (deviceId >= devices.size()) return;
  devices.erase(devices.begin() + static_cast<std::ptrdiff_t>(deviceId));
  std::vector<HLINE> gone;
  for (auto& [line, device] : lineDevices_) {
    if (device == deviceId) {
      gone.push_back(line);
    } else if (device > deviceId) {
      --device;
    }
  }
  for (const HLINE line : gone) CloseBySystem(line);
}

std::size_t SimTapi::CloseLinesBySystem() {
  std::vector<HLINE> open;
  for (const auto& entry : lines_) open.push_back(entry.first);
  for (const HLINE line : open) CloseBySystem(line);
  return open.size();
}

}  // namespace murrelet::sim
