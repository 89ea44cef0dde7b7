// The pieces the program's line-based texts share: the settings file and the
// scenario scripts both split text into lines and read backslash escapes, each
// with its own set of escape letters.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace murrelet {

// The lines of `text`, split at '\n'; a last line without one counts too, so
// a text that ends in '\n' ends in an empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// The value of a hexadecimal digit of either case, or -1.
int HexDigitValue(char c);

// An escape that stands for one byte: '\' then `letter`.
struct EscapeLetter {
  char letter;
  char byte;
};

// Reads one escape from `text`, which starts just after its backslash: one of
// `letters`, or 'x' and two hex digits. Appends the byte to `out` and returns
// how many characters it read, or 0 (appending nothing) when it is no escape.
std::size_t ReadEscape(std::string_view text, std::span<const EscapeLetter> letters, std::string& out);

}  // namespace murrelet
