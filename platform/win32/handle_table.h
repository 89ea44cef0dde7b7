// TAPI's own handles are opaque: any 32-bit value, pointer-sized in a future
// TAPI. Each live native handle therefore gets a number of its own from
// HandleNumbers, and a number the table does not know (0, or one already
// given back) reaches no handle.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "kit/handle_numbers.h"

namespace murrelet::win32 {

class HandleTable {
 public:
  // 0 when every number is taken, which the caller treats as a failed start.
  std::uint32_t Add(std::uintptr_t native);
  std::optional<std::uintptr_t> Find(std::uint32_t number) const;
  // Forgets the number; releasing an unknown or zero number gives nothing.
  std::optional<std::uintptr_t> Take(std::uint32_t number);
  std::size_t Size() const { return handles_.size(); }

 private:
  std::map<std::uint32_t, std::uintptr_t> handles_;
  HandleNumbers numbers_;
};

}  // namespace murrelet::win32
