#include "platform/win32/handle_table.h"

namespace murrelet::win32 {

std::uint32_t HandleTable::Add(std::uintptr_t native) {
  const std::uint32_t number = numbers_.Next([this](std::uint32_t n) { return handles_.contains(n); });
  if (number != 0) handles_.emplace(number, native);
  return number;
}

std::optional<std::uintptr_t> HandleTable::Find(std::uint32_t number) const {
  const auto found = handles_.find(number);
  if (found == handles_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::uintptr_t> HandleTable::Take(std::uint32_t number) {
  const auto found = handles_.find(number);
  if (found == handles_.end()) return std::nullopt;
  const std::uintptr_t native = found->second;
  handles_.erase(found);
  return native;
}

}  // namespace murrelet::win32
