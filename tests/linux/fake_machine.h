// A fake sysfs and /dev under a temporary folder: USB modem ttys whose /dev
// nodes are pseudo-terminals, so that opening the line works like a modem.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace murrelet::testing {

namespace fs = std::filesystem;

class FakeMachine {
 public:
  FakeMachine() {
    char pattern[] = "/tmp/murrelet-line-XXXXXX";
    root_ = mkdtemp(pattern);
    fs::create_directories(Sys() / "class" / "tty");
    fs::create_directories(Sys() / "bus" / "usb" / "drivers" / "cdc_acm");
    fs::create_directories(Sys() / "bus" / "usb" / "drivers" / "option");
    fs::create_directories(Dev());
  }
  ~FakeMachine() {
    for (int fd : masters_) ::close(fd);
    fs::remove_all(root_);
  }
  fs::path Root() const { return root_; }
  fs::path Sys() const { return root_ / "sys"; }
  fs::path Dev() const { return root_ / "dev"; }

  // A USB device with one interface whose tty is `tty`; the /dev node is a
  // link to a fresh pseudo-terminal so that opening it works like a modem.
  void AddTty(const std::string& tty, const std::string& product, const std::string& driver = "cdc_acm",
              bool withNode = true) {
    const fs::path device = Sys() / "devices" / "usb1" / ("1-" + tty);
    const fs::path interface = device / ("1-" + tty + ":1.0");
    fs::create_directories(interface);
    if (!product.empty()) std::ofstream(device / "product") << product << "\n";
    fs::create_directory_symlink(Sys() / "bus" / "usb" / "drivers" / driver, interface / "driver");
    fs::create_directories(Sys() / "class" / "tty" / tty);
    fs::create_directory_symlink(interface, Sys() / "class" / "tty" / tty / "device");
    if (!withNode) return;
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    masters_.push_back(master);
    fs::create_symlink(ptsname(master), Dev() / tty);
  }

 // The far side of every tty goes away, as when the handset is unplugged:
  // the open ttys hang up.
  void HangUp() {
    for (int fd : masters_) ::close(fd);
    masters_.clear();
  }
  // The kernel removes the tty's sysfs node with its USB device.
  void RemoveSysfsNode(const std::string& tty) { fs::remove_all(Sys() / "class" / "tty" / tty); }

 private:
  fs::path root_;
  std::vector<int> masters_;
};

}  // namespace murrelet::testing
