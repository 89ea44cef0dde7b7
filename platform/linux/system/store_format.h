// The text form of one settings key: a line per value, typed like the registry.
//   sz NAME TEXT      a text value: the rest of the line after NAME's space
//   dword NAME N      a 32-bit number in decimal
// The program writes NAME and TEXT with '\' as \\, space as \s, control bytes
// as \n \r \t or \xHH, so every value is one line. Reading forgives what a hand
// edit leaves: a text may hold plain spaces and tabs, a number may have blanks
// around it, and a line may end in "\r\n". Lines with '#' first are comments.
// Another lower-case type word keeps its line as a value of a type this program
// does not read, which reads as the wrong type. A line that still cannot be
// read is kept as it was and costs only its own value, which reads as missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murrelet::linux_platform {

enum class StoredType { Sz, Dword, Other, Unreadable };

struct StoredValue {
  std::string name;
  StoredType type = StoredType::Sz;
  std::string text;          // Sz
  std::uint32_t number = 0;  // Dword
  std::string raw;           // Other, Unreadable: the whole line as read
};

struct ParsedKey {
  std::vector<StoredValue> values;
  // Lines that could not be read; kept among `values` as Unreadable (under
  // their name where it could be read), their values read as missing.
  std::size_t damagedLines = 0;
  // Whether any line held a value that can be read.
  bool AnyReadable() const;
};

std::string EscapeField(std::string_view bytes);
// A NAME field: escapes only, no raw space or control byte.
std::optional<std::string> UnescapeField(std::string_view field);
// A TEXT value: as a NAME field, but plain spaces and tabs are part of it.
std::optional<std::string> UnescapeText(std::string_view text);

ParsedKey ParseKey(std::string_view content);
std::string SerialiseKey(const std::vector<StoredValue>& values);

// Value names compare like the registry's: ASCII letters without case.
bool SameValueName(std::string_view a, std::string_view b);
// The value of that name among `values`, or null.
const StoredValue* FindValue(const std::vector<StoredValue>& values, std::string_view name);
StoredValue* FindValue(std::vector<StoredValue>& values, std::string_view name);
// As FindValue, but null also when that name's line could not be read.
const StoredValue* FindReadable(const std::vector<StoredValue>& values, std::string_view name);

}  // namespace murrelet::linux_platform
