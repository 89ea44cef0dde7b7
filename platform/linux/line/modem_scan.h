// The USB modem ttys that sysfs lists, in the order that numbers them as line
// devices. A tty served by the cdc_acm driver is a data modem; its line name is
// the USB `product` string of the device the tty belongs to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace murrelet::linux_platform {

struct ModemTty {
  std::string ttyName;   // "ttyACM0"
  std::string lineName;  // USB product string; empty when the device has none
  bool dataModem = false;
};

// True for the tty names this program treats as line devices.
bool IsModemTtyName(const std::string& name);

// Orders "ttyACM2" before "ttyACM10": by prefix, then by number.
bool TtyNameLess(const std::string& a, const std::string& b);

// Lists <sysfsRoot>/class/tty/ttyACM* and ttyUSB*, sorted. Unreadable entries
// are still listed (as devices without data-modem media) so that identifiers
// stay stable while a device settles.
std::vector<ModemTty> ScanModemTtys(const std::filesystem::path& sysfsRoot);

}  // namespace murrelet::linux_platform
