#include "platform/win32/handle_table.h"

namespace murrelet::win32 {

std::uint32_t HandleTable::Add(std::uintptr_t native) {
  if (handles_.size() >= kLast) return 0;
  // Numbers are not reused at once, so a stale copy in the core does not
  // reach a newer line.
  while (handles_.contains(next_)) next_ = next_ == kLast ? 1 : next_ + 1;
  const std::uint32_t number = next_;
  next_ = next_ == kLast ? 1 : next_ + 1;
  handles_.emplace(number, native);
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
