// The six line operations over the USB modem ttys of this computer. Each line
// application sees the devices as they were when it started, so identifiers
// found by a search mean the same in the next application while nothing is
// plugged in or out. Opening a line opens its tty, which raises DTR: that is
// what makes the handset charge. The idle poll starts and ends an application
// every second; ended applications keep their storage for the next one, so a
// poll of unchanged devices allocates nothing here.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "kit/handle_numbers.h"
#include "kit/tapi.h"
#include "platform/linux/line/modem_scan.h"
#include "platform/linux/system/posix_file.h"

namespace murrelet::linux_platform {

inline constexpr std::int32_t LINEERR_INVALMEDIAMODE = static_cast<std::int32_t>(0x8000002F);
inline constexpr std::int32_t LINEERR_INVALPRIVSELECT = static_cast<std::int32_t>(0x80000034);
inline constexpr std::int32_t LINEERR_STRUCTURETOOSMALL = static_cast<std::int32_t>(0x8000004D);
inline constexpr std::int32_t LINEERR_RESOURCEUNAVAIL = static_cast<std::int32_t>(0x80000047);
inline constexpr std::uint32_t STRINGFORMAT_ASCII = 1;

// Opens a device node as open(2) does: a descriptor, or -1 with errno set.
using OpenNode = std::function<int(const char* path, int flags)>;
int OpenNodeWithTheSystem(const char* path, int flags);

class TtyTapi : public Tapi {
 public:
  // `sysfsRoot` is normally "/sys" and `devRoot` "/dev"; tests pass a tree of
  // their own, and an `openNode` to see refusals that root would never get.
  TtyTapi(std::filesystem::path sysfsRoot, std::filesystem::path devRoot, OpenNode openNode = OpenNodeWithTheSystem);
  ~TtyTapi() override;
  TtyTapi(const TtyTapi&) = delete;
  TtyTapi& operator=(const TtyTapi&) = delete;

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
  LineOpenDiagnosis LastOpenDiagnosis() const override { return diagnosis_; }
  // A tty that hung up (the handset unplugged: poll reports POLLHUP or
  // POLLERR) or whose sysfs node has gone no longer charges anything.
  bool LineClosedBySystem(HLINE line) const override;

  // For tests and diagnostics: what is alive right now.
  std::size_t LiveApplications() const;
  std::size_t OpenLines() const { return lines_.size(); }

 private:
  struct OpenLine {
    HLINEAPP app = 0;
    UniqueFd fd;
    std::filesystem::path sysfsNode;  // <sysfsRoot>/class/tty/ttyACM0
  };
  struct App {
    HLINEAPP handle = 0;  // 0: a free slot
    std::vector<ModemTty> devices;
  };
  App* AppOf(HLINEAPP lineApp);
  const std::vector<ModemTty>* DevicesOf(HLINEAPP lineApp);

  std::filesystem::path sysfsRoot_;
  std::filesystem::path devRoot_;
  OpenNode openNode_;
  LineOpenDiagnosis diagnosis_;
  ModemScanner scanner_;
  std::vector<App> apps_;
  std::map<HLINE, OpenLine> lines_;
  HandleNumbers nextApp_;
  HandleNumbers nextLine_;
};

}  // namespace murrelet::linux_platform
