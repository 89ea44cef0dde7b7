// The Linux line poll's cost per tick: FindHandsetLine over the sysfs modem
// ttys, with 1 and 16 stand-in modems in a fake sysfs tree laid out like the
// kernel's (class/tty/<tty> links into the USB device tree, the product string
// on the USB device, the driver link on the interface, and the console ttys
// that every machine lists beside them). Prints one line per device count:
//   line_poll modems=N median_ns=T allocations=A
// T is the median over 11 rounds of the time per search; A the heap
// allocations per search.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "platform/linux/line/tty_tapi.h"
#include "services/handset_line.h"

namespace fs = std::filesystem;
using namespace murrelet;

namespace {

void AddModem(const fs::path& sys, int index, const std::string& product) {
  const std::string port = "1-" + std::to_string(index + 1);
  const std::string tty = "ttyACM" + std::to_string(index);
  const fs::path device = sys / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / port;
  const fs::path interface = device / (port + ":1.0");
  const fs::path ttyDir = interface / "tty" / tty;
  fs::create_directories(ttyDir);
  std::ofstream(device / "product") << product << "\n";
  std::ofstream(device / "manufacturer") << "Stand-in\n";
  fs::create_directory_symlink(sys / "bus" / "usb" / "drivers" / "cdc_acm", interface / "driver");
  fs::create_directory_symlink(interface, ttyDir / "device");
  fs::create_directory_symlink(ttyDir, sys / "class" / "tty" / tty);
}

fs::path MakeTree(int modems) {
  std::string pattern = (fs::temp_directory_path() / "murrelet-line-poll-XXXXXX").string();
  const fs::path root = mkdtemp(pattern.data());
  const fs::path sys = root / "sys";
  fs::create_directories(sys / "class" / "tty");
  fs::create_directories(sys / "bus" / "usb" / "drivers" / "cdc_acm");
  fs::create_directories(root / "dev");
  // The virtual consoles and serial ports a machine lists in class/tty.
  for (int i = 0; i < 64; ++i) fs::create_directories(sys / "class" / "tty" / ("tty" + std::to_string(i)));
  for (int i = 0; i < 32; ++i) fs::create_directories(sys / "class" / "tty" / ("ttyS" + std::to_string(i)));
  // The handset is the last modem, so every device is looked at.
  for (int i = 0; i < modems; ++i) AddModem(sys, i, i + 1 == modems ? "KESTRA T48R" : "Stand-in Modem " + std::to_string(i));
  return root;
}

}  // namespace

int main() {
  constexpr int kRounds = 11;
  constexpr int kSearchesPerRound = 200;
  int failures = 0;
  for (int modems : {1, 16}) {
    const fs::path root = MakeTree(modems);
    linux_platform::TtyTapi tapi(root / "sys", root / "dev");
    for (int i = 0; i < 20; ++i) {
      if (FindHandsetLine(tapi, "KESTRA T48R") != modems - 1) ++failures;
    }
    std::vector<double> perSearch;
    const std::uint64_t allocationsBefore = bench::AllocationCount();
    for (int round = 0; round < kRounds; ++round) {
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < kSearchesPerRound; ++i) {
        if (FindHandsetLine(tapi, "KESTRA T48R") != modems - 1) ++failures;
      }
      const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
      perSearch.push_back(took.count() / kSearchesPerRound);
    }
    const double allocations =
        static_cast<double>(bench::AllocationCount() - allocationsBefore) / (kRounds * kSearchesPerRound);
    std::sort(perSearch.begin(), perSearch.end());
    std::printf("line_poll modems=%d median_ns=%.0f allocations=%.1f\n", modems, perSearch[kRounds / 2], allocations);
    fs::remove_all(root);
  }
  if (failures != 0) std::fprintf(stderr, "line_poll: %d searches missed the handset\n", failures);
  return failures == 0 ? 0 : 1;
}
