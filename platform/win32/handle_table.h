// The core holds TAPI handles as 32-bit values and counts a line as open
// when its handle is 1 or more as a signed number. TAPI's own handles are
// opaque: any 32-bit value, pointer-sized in a future TAPI. Each live native
// handle therefore gets a number of its own in 1..0x7FFFFFFF, and a number
// the table does not know (0, or one already given back) reaches no handle.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

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
  static constexpr std::uint32_t kLast = 0x7FFFFFFF;
  std::map<std::uint32_t, std::uintptr_t> handles_;
  std::uint32_t next_ = 1;
};

}  // namespace murrelet::win32
