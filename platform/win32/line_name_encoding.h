// TAPI's A functions name a line in the ANSI code page, while the core holds
// the handset name in UTF-8. The capability block handed to the core carries
// the name re-encoded, so comparing it with the UTF-8 name is comparing the
// ANSI bytes with the name in that code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace murrelet::win32 {

// Converts ANSI bytes to UTF-8; false for bytes that are not valid text.
using AnsiDecoder = std::function<bool(std::string_view ansi, std::string& utf8)>;

// Room asked for beyond TAPI's own need, so that a name of `nameSize` ANSI
// bytes fits as UTF-8 (at most three bytes each) with its terminator.
std::uint32_t Utf8Room(std::uint32_t nameSize);

// The dwNeededSize handed to the core for TAPI's `needed` and reported name
// size (0 when the name was left out): room for the longest name the
// structure can hold, as UTF-8, within the largest block the search asks for.
std::uint32_t NeededWithUtf8Room(std::uint32_t needed, std::uint32_t nameSize);

// Copies the block TAPI filled (`native`, the same size as `block`) into
// `block` with the line name as UTF-8. dwNeededSize grows as above; a name
// that is not valid text, or does not fit yet, is left out (size 0), so it
// never matches.
void PresentLineName(std::span<const std::byte> native, std::span<std::byte> block, const AnsiDecoder& decode);

}  // namespace murrelet::win32
