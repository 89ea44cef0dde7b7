#include "platform/linux/power/power_supply_sysfs.h"

#include <charconv>
#include <fstream>

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxAttributeBytes = 256;

std::optional<std::string> Attribute(const fs::path& dir, const char* name) {
  std::ifstream in(dir / name, std::ios::binary);
  if (!in) return std::nullopt;
  std::string value;
  char c;
  while (value.size() < kMaxAttributeBytes && in.get(c) && c != '\n') value.push_back(c);
  return value;
}

template <typename T>
std::optional<T> Number(const fs::path& dir, const char* name) {
  const std::optional<std::string> text = Attribute(dir, name);
  if (!text) return std::nullopt;
  T value{};
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::vector<SupplyReading>> ReadPowerSupplies(const fs::path& sysfsRoot) {
  std::error_code ec;
  fs::directory_iterator it(sysfsRoot / "class" / "power_supply", ec);
  if (ec) return std::nullopt;
  std::vector<SupplyReading> supplies;
  for (const fs::directory_entry& entry : it) {
    const fs::path dir = entry.path();
    SupplyReading supply;
    supply.type = Attribute(dir, "type").value_or("");
    supply.scope = Attribute(dir, "scope").value_or("");
    supply.status = Attribute(dir, "status").value_or("");
    supply.capacityLevel = Attribute(dir, "capacity_level").value_or("");
    if (auto online = Number<int>(dir, "online")) supply.online = *online != 0;
    if (auto present = Number<int>(dir, "present")) supply.present = *present != 0;
    supply.capacity = Number<int>(dir, "capacity");
    supply.timeToEmpty = Number<std::int64_t>(dir, "time_to_empty_now");
    supplies.push_back(std::move(supply));
  }
  return supplies;
}

}  // namespace murrelet::linux_platform
