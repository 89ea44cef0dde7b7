#include "platform/linux/line/modem_scan.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "platform/linux/system/sysfs_reading.h"

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kPrefixes[] = {"ttyACM", "ttyUSB"};
// The product string sits on the USB device, a level or two above the interface
// the tty hangs off; the walk stops well before leaving the device tree.
constexpr int kMaxProductLevels = 4;
// A USB string descriptor holds at most 126 UTF-16 units; the kernel's UTF-8
// copy is shorter than this.
constexpr std::size_t kMaxProductBytes = 512;

std::string ProductOf(const fs::path& interfaceDir) {
  std::error_code ec;
  fs::path dir = interfaceDir;
  for (int level = 0; level < kMaxProductLevels && !dir.empty(); ++level) {
    const fs::path product = dir / "product";
    if (fs::is_regular_file(product, ec)) {
      std::string line;
      ReadFirstLine(AT_FDCWD, product.c_str(), kMaxProductBytes, line);
      return line;
    }
    const fs::path parent = dir.parent_path();
    if (parent == dir) break;
    dir = parent;
  }
  return {};
}

// What the device behind class/tty/<name> says; false when it cannot be read yet.
bool ReadDevice(const fs::path& ttyEntry, ModemTty& tty) {
  std::error_code ec;
  const fs::path interfaceDir = fs::canonical(ttyEntry / "device", ec);
  if (ec) return false;
  const fs::path driver = fs::read_symlink(interfaceDir / "driver", ec);
  tty.dataModem = !ec && driver.filename() == "cdc_acm";
  tty.lineName = ProductOf(interfaceDir);
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsModemTtyName(std::string_view name) {
  for (std::string_view prefix : kPrefixes) {
    if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), IsDigit)) {
      return true;
    }
  }
  return false;
}

bool TtyNameLess(std::string_view a, std::string_view b) {
  struct Parts {
    std::string_view prefix, trimmed;
    std::size_t digits;
  };
  auto split = [](std::string_view s) {
    std::size_t start = s.size();
    while (start > 0 && IsDigit(s[start - 1])) --start;
    std::string_view number = s.substr(start);
    // Compare numbers by length first so that long digit runs cannot overflow.
    std::string_view trimmed = number;
    while (!trimmed.empty() && trimmed.front() == '0') trimmed.remove_prefix(1);
    return Parts{s.substr(0, start), trimmed, number.size()};
  };
  const Parts x = split(a);
  const Parts y = split(b);
  if (x.prefix != y.prefix) return x.prefix < y.prefix;
  if (x.trimmed.size() != y.trimmed.size()) return x.trimmed.size() < y.trimmed.size();
  if (x.trimmed != y.trimmed) return x.trimmed < y.trimmed;
  return x.digits < y.digits;
}

ModemScanner::ModemScanner(const fs::path& sysfsRoot) : classDir_((sysfsRoot / "class" / "tty").string()) {}

ModemScanner::Known* ModemScanner::Remembered(std::string_view ttyName, const struct ::stat& node) {
  for (Known& known : known_) {
    if (known.tty.ttyName == ttyName && known.device == node.st_dev && known.inode == node.st_ino &&
        known.changed.tv_sec == node.st_ctim.tv_sec && known.changed.tv_nsec == node.st_ctim.tv_nsec) {
      return &known;
    }
  }
  return nullptr;
}

void ModemScanner::Scan(std::vector<ModemTty>& out) {
  std::size_t count = 0;
  if (!classDir_.Rewind()) {
    out.clear();
    return;
  }
  for (Known& known : known_) known.seen = false;
  char devicePath[NAME_MAX + sizeof("/device")];
  while (const char* entryName = classDir_.Next()) {
    const std::string_view name(entryName);
    if (!IsModemTtyName(name)) continue;
    if (count == out.size()) out.emplace_back();
    ModemTty& tty = out[count++];
    tty.ttyName.assign(name);
    tty.lineName.clear();
    tty.dataModem = false;

    std::snprintf(devicePath, sizeof devicePath, "%s/device", entryName);
    struct ::stat node {};
    if (::fstatat(classDir_.Fd(), devicePath, &node, 0) != 0) continue;  // still settling
    if (Known* known = Remembered(name, node)) {
      known->seen = true;
      tty.lineName.assign(known->tty.lineName);
      tty.dataModem = known->tty.dataModem;
      continue;
    }
    // A new device behind this name: read what it says, once.
    if (!ReadDevice(fs::path(classDir_.Path()) / entryName, tty)) continue;
    std::erase_if(known_, [&](const Known& k) { return k.tty.ttyName == name; });
    known_.push_back(Known{tty, node.st_dev, node.st_ino, node.st_ctim, true});
  }
  // Devices that have gone are forgotten.
  std::erase_if(known_, [](const Known& k) { return !k.seen; });
  out.resize(count);
  std::sort(out.begin(), out.end(),
            [](const ModemTty& a, const ModemTty& b) { return TtyNameLess(a.ttyName, b.ttyName); });
}

std::vector<ModemTty> ScanModemTtys(const fs::path& sysfsRoot) {
  std::vector<ModemTty> ttys;
  ModemScanner(sysfsRoot).Scan(ttys);
  return ttys;
}

}  // namespace murrelet::linux_platform
