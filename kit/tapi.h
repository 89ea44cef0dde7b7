// The six telephony operations the handset line needs, shaped like TAPI 1.4.
// Handles are opaque 32-bit values; 0 means none. Results are TAPI's: 0 is
// success, negative values are error codes. Nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace murrelet {

using HLINEAPP = std::uint32_t;
using HLINE = std::uint32_t;

inline constexpr std::uint32_t kTapiVersion14 = 0x10004;
inline constexpr std::uint32_t LINEMEDIAMODE_DATAMODEM = 0x10;
inline constexpr std::uint32_t LINECALLPRIVILEGE_MONITOR = 0x2;
inline constexpr std::uint32_t LINECALLPRIVILEGE_OWNER = 0x4;
inline constexpr std::int32_t LINEERR_REINIT = static_cast<std::int32_t>(0x80000052);
inline constexpr std::int32_t LINEERR_NODEVICE = static_cast<std::int32_t>(0x80000035);
inline constexpr std::int32_t LINEERR_INCOMPATIBLEAPIVERSION = static_cast<std::int32_t>(0x8000000C);
inline constexpr std::int32_t LINEERR_BADDEVICEID = static_cast<std::int32_t>(0x80000002);
inline constexpr std::int32_t LINEERR_INVALLINEHANDLE = static_cast<std::int32_t>(0x8000002B);
inline constexpr std::int32_t LINEERR_INVALAPPHANDLE = static_cast<std::int32_t>(0x80000015);
inline constexpr std::int32_t LINEERR_OPERATIONFAILED = static_cast<std::int32_t>(0x80000048);

struct LINEEXTENSIONID {
  std::uint32_t dwExtensionID0 = 0, dwExtensionID1 = 0, dwExtensionID2 = 0, dwExtensionID3 = 0;
};

// Byte offsets of the LINEDEVCAPS fields the search reads and writes. The block
// is a plain byte buffer so that a device can report any sizes and offsets.
namespace devcaps {
inline constexpr std::size_t kFixedSize = 240;  // the fixed part at version 1.4
inline constexpr std::size_t dwTotalSize = 0;
inline constexpr std::size_t dwNeededSize = 4;
inline constexpr std::size_t dwUsedSize = 8;
inline constexpr std::size_t dwLineNameSize = 32;
inline constexpr std::size_t dwLineNameOffset = 36;
inline constexpr std::size_t dwStringFormat = 40;
inline constexpr std::size_t dwMediaModes = 60;

// Little-endian 32-bit field access, bounds-checked against the block.
std::uint32_t Get(std::span<const std::byte> block, std::size_t offset);
void Put(std::span<std::byte> block, std::size_t offset, std::uint32_t value);
}  // namespace devcaps

// The line name of a capability block: bytes from dwLineNameOffset up to the
// first zero, at most dwLineNameSize, and empty when that range does not lie
// inside the block.
std::string_view LineNameOf(std::span<const std::byte> block);

// Blocks larger than this are a failed query rather than an allocation.
inline constexpr std::uint32_t kMaxDevCapsSize = 64 * 1024;

// What the platform can tell about why a line would not open. TAPI itself
// cannot tell, so a platform that knows nothing more leaves it empty.
// Where the user stands with the group whose members may open the device.
enum class GroupStanding {
  NotMember,         // joining the group gives the access
  JoinedSinceLogin,  // a member, but this session began before joining: a new login gives it
  InThisProcess,     // the program has the group already: something else refuses (AppArmor, SELinux)
};

struct LineOpenDiagnosis {
  bool accessDenied = false;  // the system refused this user access to the line's device
  std::string device;         // that device as the user names it ("/dev/ttyACM0"); may be empty
  std::string group;          // the group whose members may open it ("dialout"); may be empty
  GroupStanding standing = GroupStanding::NotMember;
  // The platform's command that joins `group` ("sudo usermod -aG dialout
  // $USER" on Linux); empty where it has none.
  std::string joinCommand;
  // The device's owner, group and permission bits as the system has them
  // ("root", "root", 0600): where no group may open it (`group` empty), what
  // the administrator is asked to change. Empty names where unknown.
  std::string deviceOwner;
  std::string deviceGroup;
  std::uint32_t deviceMode = 0;
};

class Tapi {
 public:
  virtual ~Tapi() = default;

  // The platform supplies the module instance, the empty line callback and no
  // application name; the caller zeroes *lineApp beforehand.
  virtual std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) = 0;
  virtual std::int32_t lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t deviceId,
                                               std::uint32_t apiLowVersion,
                                               std::uint32_t apiHighVersion,
                                               std::uint32_t* apiVersion,
                                               LINEEXTENSIONID* extensionId) = 0;
  // `lineDevCaps` starts with dwTotalSize equal to its size; the platform
  // fills dwNeededSize and as much of the structure as the block holds.
  virtual std::int32_t lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId,
                                      std::uint32_t apiVersion, std::uint32_t extVersion,
                                      std::span<std::byte> lineDevCaps) = 0;
  virtual std::int32_t lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line,
                                std::uint32_t apiVersion, std::uint32_t extVersion,
                                std::uint32_t callbackInstance, std::uint32_t privileges,
                                std::uint32_t mediaModes) = 0;
  virtual std::int32_t lineClose(HLINE line) = 0;
  virtual std::int32_t lineShutdown(HLINEAPP lineApp) = 0;

  // Why the latest lineOpen failed, for a hint to the user. Every
  // lineInitialize and every successful lineOpen clears it.
  virtual LineOpenDiagnosis LastOpenDiagnosis() const { return {}; }

  // Whether the system has closed `line` on its own since it was opened:
  // TAPI's LINE_CLOSE (a driver that closed it, a device that went away, a
  // tty that hung up). The handle is no longer usable; the caller still ends
  // its line application. A platform that cannot tell answers false.
  virtual bool LineClosedBySystem(HLINE line) const {
    (void)line;
    return false;
  }
};

}  // namespace murrelet
