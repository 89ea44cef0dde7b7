#include "kit/tapi.h"

namespace murrelet::devcaps {

std::uint32_t Get(std::span<const std::byte> block, std::size_t offset) {
  if (offset > block.size() || block.size() - offset < 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(std::to_integer<std::uint8_t>(block[offset + i])) << (8 * i);
  }
  return value;
}

void Put(std::span<std::byte> block, std::size_t offset, std::uint32_t value) {
  if (offset > block.size() || block.size() - offset < 4) return;
  for (std::size_t i = 0; i < 4; ++i) {
    block[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
  }
}

}  // namespace murrelet::devcaps
