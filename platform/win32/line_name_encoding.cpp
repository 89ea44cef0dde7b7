#include "platform/win32/line_name_encoding.h"

#include <algorithm>
#include <cstring>

#include "kit/tapi.h"

namespace murrelet::win32 {

std::uint32_t Utf8Room(std::uint32_t nameSize) {
  if (nameSize == 0) return 0;
  return nameSize > (0xFFFFFFFFu - 1) / 3 ? 0xFFFFFFFFu : nameSize * 3 + 1;
}

std::uint32_t NeededWithUtf8Room(std::uint32_t needed, std::uint32_t nameSize) {
  // TAPI leaves out a name that does not fit (size and offset 0), so the
  // first answer tells only what the whole structure needs; the name is no
  // longer than that beyond the fixed part.
  const std::uint32_t beyondFixed = needed > devcaps::kFixedSize ? needed - devcaps::kFixedSize : 0;
  std::uint32_t room = Utf8Room(std::max(nameSize, beyondFixed));
  // Within the largest block the search asks for, the room shrinks to fit:
  // a real name is far shorter than that bound.
  if (needed <= kMaxDevCapsSize) room = std::min(room, kMaxDevCapsSize - needed);
  return needed > 0xFFFFFFFFu - room ? 0xFFFFFFFFu : needed + room;
}

void PresentLineName(std::span<const std::byte> native, std::span<std::byte> block, const AnsiDecoder& decode) {
  const std::size_t size = std::min(native.size(), block.size());
  std::copy_n(native.begin(), size, block.begin());
  if (size < devcaps::kFixedSize) return;

  const std::uint32_t nameSize = devcaps::Get(native, devcaps::dwLineNameSize);
  const std::uint32_t needed = devcaps::Get(native, devcaps::dwNeededSize);
  devcaps::Put(block, devcaps::dwNeededSize, NeededWithUtf8Room(needed, nameSize));
  if (nameSize == 0) return;

  const std::uint32_t offset = devcaps::Get(native, devcaps::dwLineNameOffset);
  if (offset > size || size - offset < nameSize) {
    devcaps::Put(block, devcaps::dwLineNameSize, 0);  // the larger block of the next query holds it
    return;
  }
  const std::string_view ansi = LineNameOf(native.first(size));
  if (ansi.empty()) return;
  std::string utf8;
  const std::uint32_t used = devcaps::Get(native, devcaps::dwUsedSize);
  if (!decode(ansi, utf8)) {
    devcaps::Put(block, devcaps::dwLineNameSize, 0);
    return;
  }
  if (utf8 == ansi) return;  // plain ASCII reads the same in both
  if (used > size || size - used < utf8.size() + 1) {
    devcaps::Put(block, devcaps::dwLineNameSize, 0);  // the larger block of the next query holds it
    return;
  }
  std::memcpy(block.data() + used, utf8.data(), utf8.size());
  block[used + utf8.size()] = std::byte{0};
  devcaps::Put(block, devcaps::dwLineNameOffset, used);
  devcaps::Put(block, devcaps::dwLineNameSize, static_cast<std::uint32_t>(utf8.size() + 1));
  devcaps::Put(block, devcaps::dwUsedSize, static_cast<std::uint32_t>(used + utf8.size() + 1));
}

}  // namespace murrelet::win32
