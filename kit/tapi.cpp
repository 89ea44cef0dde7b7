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

namespace murrelet {

std::string_view LineNameOf(std::span<const std::byte> block) {
  const std::uint32_t size = devcaps::Get(block, devcaps::dwLineNameSize);
  const std::uint32_t offset = devcaps::Get(block, devcaps::dwLineNameOffset);
  if (size == 0 || offset > block.size() || block.size() - offset < size) return {};
  const char* text = reinterpret_cast<const char*>(block.data() + offset);
  std::size_t length = 0;
  while (length < size && text[length] != '\0') ++length;
  return {text, length};
}

}  // namespace murrelet
