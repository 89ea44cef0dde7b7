#include "platform/linux/power/power_supply_sysfs.h"

#include <charconv>

namespace murrelet::linux_platform {
namespace {

constexpr std::size_t kMaxAttributeBytes = 256;

template <typename T>
std::optional<T> Number(const std::string& text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

PowerSupplyReader::PowerSupplyReader(const std::filesystem::path& sysfsRoot)
    : classDir_((sysfsRoot / "class" / "power_supply").string()) {}

const std::vector<SupplyReading>* PowerSupplyReader::Read() {
  if (!classDir_.Rewind()) return nullptr;
  std::size_t count = 0;
  while (const char* name = classDir_.Next()) {
    if (count == supplies_.size()) supplies_.emplace_back();
    ReadSupply(name, supplies_[count++]);
  }
  supplies_.resize(count);
  return &supplies_;
}

void PowerSupplyReader::ReadSupply(const char* name, SupplyReading& supply) {
  // Each attribute as "<supply>/<attribute>", relative to the open class folder.
  const auto read = [&](const char* attribute) {
    path_.assign(name).append("/").append(attribute);
    if (!ReadFirstLine(classDir_.Fd(), path_.c_str(), kMaxAttributeBytes, value_)) value_.clear();
    return !value_.empty();
  };
  const auto text = [&](const char* attribute, std::string& out) {
    read(attribute);
    out.assign(value_);
  };
  text("type", supply.type);
  text("scope", supply.scope);
  text("status", supply.status);
  text("capacity_level", supply.capacityLevel);
  supply.online.reset();
  supply.present.reset();
  if (read("online")) {
    if (const auto online = Number<int>(value_)) supply.online = *online != 0;
  }
  if (read("present")) {
    if (const auto present = Number<int>(value_)) supply.present = *present != 0;
  }
  supply.capacity = read("capacity") ? Number<int>(value_) : std::nullopt;
  supply.timeToEmpty = read("time_to_empty_now") ? Number<std::int64_t>(value_) : std::nullopt;
}

std::optional<std::vector<SupplyReading>> ReadPowerSupplies(const std::filesystem::path& sysfsRoot) {
  PowerSupplyReader reader(sysfsRoot);
  const std::vector<SupplyReading>* supplies = reader.Read();
  if (supplies == nullptr) return std::nullopt;
  return *supplies;
}

}  // namespace murrelet::linux_platform
