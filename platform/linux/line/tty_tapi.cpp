#include "platform/linux/line/tty_tapi.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/linux/line/tty_access.h"

namespace murrelet::linux_platform {

int OpenNodeWithTheSystem(const char* path, int flags) { return ::open(path, flags); }

TtyTapi::TtyTapi(std::filesystem::path sysfsRoot, std::filesystem::path devRoot, OpenNode openNode)
    : sysfsRoot_(sysfsRoot),
      devRoot_(std::move(devRoot)),
      openNode_(std::move(openNode)),
      scanner_(std::move(sysfsRoot)) {}

// Open lines close with their descriptors.
TtyTapi::~TtyTapi() = default;

TtyTapi::App* TtyTapi::AppOf(HLINEAPP lineApp) {
  if (lineApp == 0) return nullptr;
  for (App& app : apps_) {
    if (app.handle == lineApp) return &app;
  }
  return nullptr;
}

const std::vector<ModemTty>* TtyTapi::DevicesOf(HLINEAPP lineApp) {
  const App* app = AppOf(lineApp);
  return app == nullptr ? nullptr : &app->devices;
}

std::size_t TtyTapi::LiveApplications() const {
  return static_cast<std::size_t>(std::count_if(apps_.begin(), apps_.end(), [](const App& a) { return a.handle != 0; }));
}

std::int32_t TtyTapi::lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) {
  diagnosis_ = {};
  if (lineApp == nullptr || numDevs == nullptr) return LINEERR_OPERATIONFAILED;
  const HLINEAPP handle = nextApp_.Next([this](HLINEAPP h) { return AppOf(h) != nullptr; });
  if (handle == 0) return LINEERR_OPERATIONFAILED;
  App* app = nullptr;
  for (App& slot : apps_) {
    if (slot.handle == 0) {
      app = &slot;
      break;
    }
  }
  if (app == nullptr) app = &apps_.emplace_back();
  scanner_.Scan(app->devices);
  app->handle = handle;
  *numDevs = static_cast<std::uint32_t>(app->devices.size());
  *lineApp = handle;
  return 0;
}

std::int32_t TtyTapi::lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiLowVersion,
                                              std::uint32_t apiHighVersion, std::uint32_t* apiVersion,
                                              LINEEXTENSIONID* extensionId) {
  const std::vector<ModemTty>* devices = DevicesOf(lineApp);
  if (devices == nullptr) return LINEERR_INVALAPPHANDLE;
  if (deviceId >= devices->size()) return LINEERR_BADDEVICEID;
  if (apiLowVersion > kTapiVersion14 || apiHighVersion < kTapiVersion14) return LINEERR_INCOMPATIBLEAPIVERSION;
  if (apiVersion == nullptr || extensionId == nullptr) return LINEERR_OPERATIONFAILED;
  *apiVersion = kTapiVersion14;
  *extensionId = LINEEXTENSIONID{};
  return 0;
}

std::int32_t TtyTapi::lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                                     std::uint32_t extVersion, std::span<std::byte> lineDevCaps) {
  const std::vector<ModemTty>* devices = DevicesOf(lineApp);
  if (devices == nullptr) return LINEERR_INVALAPPHANDLE;
  if (deviceId >= devices->size()) return LINEERR_BADDEVICEID;
  if (apiVersion != kTapiVersion14 || extVersion != 0) return LINEERR_INCOMPATIBLEAPIVERSION;
  const std::uint32_t total = devcaps::Get(lineDevCaps, devcaps::dwTotalSize);
  // The block must really be as large as it says, and hold the fixed part.
  if (total < devcaps::kFixedSize || total > lineDevCaps.size()) return LINEERR_STRUCTURETOOSMALL;

  const ModemTty& device = (*devices)[deviceId];
  const std::size_t nameBytes = device.lineName.empty() ? 0 : device.lineName.size() + 1;  // with its zero
  const std::uint32_t needed = static_cast<std::uint32_t>(devcaps::kFixedSize + nameBytes);

  // The fixed part is rewritten whole; the caller's dwTotalSize stays.
  std::memset(lineDevCaps.data() + 4, 0, devcaps::kFixedSize - 4);
  devcaps::Put(lineDevCaps, devcaps::dwNeededSize, needed);
  devcaps::Put(lineDevCaps, devcaps::dwStringFormat, STRINGFORMAT_ASCII);
  devcaps::Put(lineDevCaps, devcaps::dwMediaModes, device.dataModem ? LINEMEDIAMODE_DATAMODEM : 0);
  std::uint32_t used = static_cast<std::uint32_t>(devcaps::kFixedSize);
  // Like the system, the variable part is filled only when all of it fits.
  if (nameBytes != 0 && total >= needed) {
    std::memcpy(lineDevCaps.data() + devcaps::kFixedSize, device.lineName.data(), device.lineName.size());
    lineDevCaps[devcaps::kFixedSize + device.lineName.size()] = std::byte{0};
    devcaps::Put(lineDevCaps, devcaps::dwLineNameSize, static_cast<std::uint32_t>(nameBytes));
    devcaps::Put(lineDevCaps, devcaps::dwLineNameOffset, static_cast<std::uint32_t>(devcaps::kFixedSize));
    used = needed;
  }
  devcaps::Put(lineDevCaps, devcaps::dwUsedSize, used);
  return 0;
}

std::int32_t TtyTapi::lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line, std::uint32_t apiVersion,
                               std::uint32_t extVersion, std::uint32_t /*callbackInstance*/, std::uint32_t privileges,
                               std::uint32_t mediaModes) {
  const std::vector<ModemTty>* devices = DevicesOf(lineApp);
  if (devices == nullptr) return LINEERR_INVALAPPHANDLE;
  if (deviceId >= devices->size()) return LINEERR_BADDEVICEID;
  if (apiVersion != kTapiVersion14 || extVersion != 0) return LINEERR_INCOMPATIBLEAPIVERSION;
  if (line == nullptr) return LINEERR_OPERATIONFAILED;
  if ((privileges & LINECALLPRIVILEGE_OWNER) != 0 && mediaModes == 0) return LINEERR_INVALMEDIAMODE;
  if ((privileges & ~(LINECALLPRIVILEGE_OWNER | LINECALLPRIVILEGE_MONITOR | 1u)) != 0) return LINEERR_INVALPRIVSELECT;
  const ModemTty& device = (*devices)[deviceId];
  if ((mediaModes & ~LINEMEDIAMODE_DATAMODEM) != 0 || (mediaModes != 0 && !device.dataModem)) {
    return LINEERR_INVALMEDIAMODE;
  }
  // No O_NOCTTY would let the handset's tty become our controlling terminal;
  // O_NONBLOCK keeps a modem without carrier from blocking the GUI thread.
  const std::filesystem::path node = devRoot_ / device.ttyName;
  UniqueFd fd(openNode_(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) {
    // A user outside the tty's group sees the handset but may not open it;
    // the program then tells the user how to get the access.
    if (errno == EACCES || errno == EPERM) {
      diagnosis_ = DiagnoseRefusedAccess(node);
      return LINEERR_OPERATIONFAILED;
    }
    if (errno == ENOENT || errno == ENODEV || errno == ENXIO) return LINEERR_NODEVICE;
    return errno == EBUSY || errno == EMFILE || errno == ENFILE ? LINEERR_RESOURCEUNAVAIL : LINEERR_OPERATIONFAILED;
  }
  const HLINE handle = nextLine_.Next([this](HLINE h) { return lines_.count(h) != 0; });
  if (handle == 0) return LINEERR_OPERATIONFAILED;
  lines_.emplace(handle, OpenLine{lineApp, std::move(fd), sysfsRoot_ / "class" / "tty" / device.ttyName});
  *line = handle;
  diagnosis_ = {};
  return 0;
}

bool TtyTapi::LineClosedBySystem(HLINE line) const {
  const auto it = lines_.find(line);
  if (it == lines_.end()) return false;
  // No events asked for: only a hang-up or an error is reported, and no byte
  // the handset sends is taken from the tty.
  pollfd entry{it->second.fd.Get(), 0, 0};
  if (::poll(&entry, 1, 0) == 1 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return true;
  // The kernel removes the node with the USB device, also when a replug has
  // not yet hung up the descriptor.
  return ::access(it->second.sysfsNode.c_str(), F_OK) != 0 && errno == ENOENT;
}

std::int32_t TtyTapi::lineClose(HLINE line) {
  const auto it = lines_.find(line);
  if (it == lines_.end()) return LINEERR_INVALLINEHANDLE;
  lines_.erase(it);
  return 0;
}

std::int32_t TtyTapi::lineShutdown(HLINEAPP lineApp) {
  App* app = AppOf(lineApp);
  if (app == nullptr) return LINEERR_INVALAPPHANDLE;
  // Ending an application closes the lines it still has open, as the system does.
  for (auto line = lines_.begin(); line != lines_.end();) {
    if (line->second.app == lineApp) {
      line = lines_.erase(line);
    } else {
      ++line;
    }
  }
  app->handle = 0;  // the slot and its storage wait for the next application
  return 0;
}

}  // namespace murrelet::linux_platform
