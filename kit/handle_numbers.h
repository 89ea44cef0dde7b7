// The core holds line handles as 32-bit values and counts a line as open when
// its handle is 1 or more as a signed number. A platform whose own handles are
// something else (opaque values, descriptors) gives each live one a number
// from here: one in 1..0x7FFFFFFF that no live handle has, so 0 never reaches
// a handle.
#pragma once

#include <cstdint>

namespace murrelet {

class HandleNumbers {
 public:
  static constexpr std::uint32_t kLast = 0x7FFFFFFF;

  // `first` is the number to try first; tests start near the end to see the
  // numbers go round.
  explicit HandleNumbers(std::uint32_t first = 1) : next_(first >= 1 && first <= kLast ? first : 1) {}

  // The next number that `taken` (a predicate over numbers) does not claim.
  // Numbers go round after kLast and are not reused at once, so a stale copy
  // in the core does not reach a newer line. 0 when every number is taken,
  // which the caller treats as a failed start.
  template <typename Taken>
  std::uint32_t Next(const Taken& taken) {
    for (std::uint32_t tried = 0; tried < kLast; ++tried) {
      const std::uint32_t candidate = next_;
      next_ = next_ == kLast ? 1 : next_ + 1;
      if (!taken(candidate)) return candidate;
    }
    return 0;
  }

 private:
  std::uint32_t next_;
};

}  // namespace murrelet
