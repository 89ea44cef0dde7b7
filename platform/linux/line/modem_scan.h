// The USB modem ttys that sysfs lists, in the order that numbers them as line
// devices. A tty served by the cdc_acm driver is a data modem; its line name is
// the USB `product` string of the device the tty belongs to.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/system/sysfs_reading.h"

namespace murrelet::linux_platform {

struct ModemTty {
  std::string ttyName;   // "ttyACM0"
  std::string lineName;  // USB product string; empty when the device has none
  bool dataModem = false;
};

// True for the tty names this program treats as line devices.
bool IsModemTtyName(std::string_view name);

// Orders "ttyACM2" before "ttyACM10": by prefix, then by number.
bool TtyNameLess(std::string_view a, std::string_view b);

// Scans <sysfsRoot>/class/tty for ttyACM* and ttyUSB* once a second. What a
// tty's device says (its driver and product string) is read when the tty is
// first seen and kept while the same device stays behind the name; a device
// that is unplugged and plugged in again is a new sysfs node and is read
// afresh. So a rescan of unchanged devices reads the directory and stats each
// modem tty's device, and allocates nothing once its buffers have grown.
class ModemScanner {
 public:
  explicit ModemScanner(const std::filesystem::path& sysfsRoot);
  ModemScanner(const ModemScanner&) = delete;
  ModemScanner& operator=(const ModemScanner&) = delete;

  // Fills `out` (reusing its storage) with the modem ttys, sorted. Unreadable
  // entries are still listed (as devices without data-modem media) so that
  // identifiers stay stable while a device settles.
  void Scan(std::vector<ModemTty>& out);

 private:
  struct Known {
    ModemTty tty;
    dev_t device = 0;
    ino_t inode = 0;
    std::timespec changed{};
    bool seen = false;
  };
  Known* Remembered(std::string_view ttyName, const struct ::stat& node);

  KeptDirectory classDir_;
  std::vector<Known> known_;
};

// One scan with a fresh scanner.
std::vector<ModemTty> ScanModemTtys(const std::filesystem::path& sysfsRoot);

}  // namespace murrelet::linux_platform
