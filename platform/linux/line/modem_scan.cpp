#include "platform/linux/line/modem_scan.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <tuple>
#include <system_error>

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

constexpr const char* kPrefixes[] = {"ttyACM", "ttyUSB"};
// The product string sits on the USB device, a level or two above the interface
// the tty hangs off; the walk stops well before leaving the device tree.
constexpr int kMaxProductLevels = 4;
// A USB string descriptor holds at most 126 UTF-16 units; the kernel's UTF-8
// copy is shorter than this.
constexpr std::size_t kMaxProductBytes = 512;

std::string ReadFirstLine(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string line;
  char c;
  while (line.size() < kMaxProductBytes && in.get(c) && c != '\n') line.push_back(c);
  return line;
}

std::string ProductOf(const fs::path& interfaceDir) {
  std::error_code ec;
  fs::path dir = interfaceDir;
  for (int level = 0; level < kMaxProductLevels && !dir.empty(); ++level) {
    const fs::path product = dir / "product";
    if (fs::is_regular_file(product, ec)) return ReadFirstLine(product);
    const fs::path parent = dir.parent_path();
    if (parent == dir) break;
    dir = parent;
  }
  return {};
}

}  // namespace

bool IsModemTtyName(const std::string& name) {
  for (const char* prefix : kPrefixes) {
    const std::string p(prefix);
    if (name.size() > p.size() && name.compare(0, p.size(), p) == 0 &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(p.size()), name.end(),
                    [](unsigned char c) { return std::isdigit(c) != 0; })) {
      return true;
    }
  }
  return false;
}

bool TtyNameLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    std::size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])) != 0) --digits;
    const std::string number = s.substr(digits);
    // Compare numbers by length first so that long digit runs cannot overflow.
    const std::size_t nonZero = number.find_first_not_of('0');
    const std::string trimmed = nonZero == std::string::npos ? std::string() : number.substr(nonZero);
    return std::make_tuple(s.substr(0, digits), trimmed.size(), trimmed, number.size());
  };
  return split(a) < split(b);
}

std::vector<ModemTty> ScanModemTtys(const fs::path& sysfsRoot) {
  std::vector<ModemTty> ttys;
  std::error_code ec;
  const fs::path classDir = sysfsRoot / "class" / "tty";
  fs::directory_iterator it(classDir, ec);
  if (ec) return ttys;
  for (const fs::directory_entry& entry : it) {
    const std::string name = entry.path().filename().string();
    if (!IsModemTtyName(name)) continue;
    ModemTty tty;
    tty.ttyName = name;
    const fs::path interfaceDir = fs::canonical(entry.path() / "device", ec);
    if (!ec) {
      const fs::path driver = fs::read_symlink(interfaceDir / "driver", ec);
      tty.dataModem = !ec && driver.filename() == "cdc_acm";
      tty.lineName = ProductOf(interfaceDir);
    }
    ec.clear();
    ttys.push_back(std::move(tty));
  }
  std::sort(ttys.begin(), ttys.end(),
            [](const ModemTty& a, const ModemTty& b) { return TtyNameLess(a.ttyName, b.ttyName); });
  return ttys;
}

}  // namespace murrelet::linux_platform
