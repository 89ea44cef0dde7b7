// The power_supply class read from a fake sysfs tree, as the tick reads it when
// UPower is not running: one reader, read again and again.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/power/power_supply_sysfs.h"

namespace fs = std::filesystem;
using namespace murrelet;
using namespace murrelet::linux_platform;

namespace {

class FakeSupplies {
 public:
  FakeSupplies() {
    char pattern[] = "/tmp/murrelet-supply-XXXXXX";
    root_ = mkdtemp(pattern);
    fs::create_directories(ClassDir());
  }
  ~FakeSupplies() { fs::remove_all(root_); }
  FakeSupplies(const FakeSupplies&) = delete;
  FakeSupplies& operator=(const FakeSupplies&) = delete;

  const fs::path& Root() const { return root_; }
  fs::path ClassDir() const { return root_ / "class" / "power_supply"; }
  void Set(const std::string& supply, const std::string& attribute, const std::string& content) {
    fs::create_directories(ClassDir() / supply);
    std::ofstream(ClassDir() / supply / attribute, std::ios::binary) << content;
  }

 private:
  fs::path root_;
};

const SupplyReading* Find(const std::vector<SupplyReading>& supplies, const std::string& type) {
  for (const SupplyReading& supply : supplies) {
    if (supply.type == type) return &supply;
  }
  return nullptr;
}

}  // namespace

TEST(PowerSupplyReader, ReadsEachSupplyAndFollowsChangesFromReadToRead) {
  FakeSupplies sysfs;
  sysfs.Set("AC", "type", "Mains\n");
  sysfs.Set("AC", "online", "1\n");
  sysfs.Set("BAT0", "type", "Battery\n");
  sysfs.Set("BAT0", "present", "1\n");
  sysfs.Set("BAT0", "capacity", "55\n");
  sysfs.Set("BAT0", "status", "Charging\n");
  sysfs.Set("BAT0", "capacity_level", "Normal");  // no line end: still read whole
  sysfs.Set("BAT0", "time_to_empty_now", "7200\n");

  PowerSupplyReader reader(sysfs.Root());
  const std::vector<SupplyReading>* supplies = reader.Read();
  ASSERT_NE(supplies, nullptr);
  ASSERT_EQ(supplies->size(), 2u);
  const SupplyReading* mains = Find(*supplies, "Mains");
  const SupplyReading* battery = Find(*supplies, "Battery");
  ASSERT_NE(mains, nullptr);
  ASSERT_NE(battery, nullptr);
  EXPECT_EQ(mains->online, true);
  EXPECT_FALSE(mains->capacity.has_value());
  EXPECT_EQ(battery->present, true);
  EXPECT_EQ(battery->capacity, 55);
  EXPECT_EQ(battery->status, "Charging");
  EXPECT_EQ(battery->capacityLevel, "Normal");
  EXPECT_EQ(battery->timeToEmpty, 7200);

  // The same reader sees what changed since: unplugged, a nonsense capacity,
  // a new supply, and a supply gone.
  sysfs.Set("AC", "online", "0\n");
  sysfs.Set("BAT0", "capacity", "5x\n");
  fs::remove(sysfs.ClassDir() / "BAT0" / "time_to_empty_now");
  sysfs.Set("hid-mouse", "type", "Battery\n");
  sysfs.Set("hid-mouse", "scope", "Device\n");
  supplies = reader.Read();
  ASSERT_NE(supplies, nullptr);
  ASSERT_EQ(supplies->size(), 3u);
  mains = Find(*supplies, "Mains");
  ASSERT_NE(mains, nullptr);
  EXPECT_EQ(mains->online, false);
  int devices = 0;
  for (const SupplyReading& supply : *supplies) {
    if (supply.scope == "Device") {
      ++devices;
      EXPECT_FALSE(supply.capacity.has_value());
    } else if (supply.type == "Battery") {
      EXPECT_FALSE(supply.capacity.has_value());  // "5x" is no number
      EXPECT_FALSE(supply.timeToEmpty.has_value());
      EXPECT_EQ(supply.status, "Charging");
    }
  }
  EXPECT_EQ(devices, 1);

  fs::remove_all(sysfs.ClassDir() / "BAT0");
  fs::remove_all(sysfs.ClassDir() / "hid-mouse");
  supplies = reader.Read();
  ASSERT_NE(supplies, nullptr);
  ASSERT_EQ(supplies->size(), 1u);
  EXPECT_EQ((*supplies)[0].type, "Mains");
}

TEST(PowerSupplyReader, AMissingClassFolderIsNoReadingAndAnOverlongValueIsCut) {
  FakeSupplies sysfs;
  EXPECT_FALSE(ReadPowerSupplies(sysfs.Root() / "missing").has_value());
  sysfs.Set("odd", "type", std::string(5000, 'x'));
  const auto supplies = ReadPowerSupplies(sysfs.Root());
  ASSERT_TRUE(supplies.has_value());
  ASSERT_EQ(supplies->size(), 1u);
  EXPECT_EQ((*supplies)[0].type, std::string(256, 'x'));
}
