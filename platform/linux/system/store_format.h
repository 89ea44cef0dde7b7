// The text form of one settings key: a line per value, typed like the registry.
//   sz NAME TEXT      a text value
//   dword NAME N      a 32-bit number in decimal
// NAME and TEXT escape '\' as \\, space as \s, control bytes as \n \r \t or
// \xHH, so every value is one line. Lines with '#' first are comments. Another
// lower-case type word keeps its line as a value of a type this program does
// not read, which reads as the wrong type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murrelet::linux_platform {

enum class StoredType { Sz, Dword, Other };

struct StoredValue {
  std::string name;
  StoredType type = StoredType::Sz;
  std::string text;          // Sz
  std::uint32_t number = 0;  // Dword
  std::string raw;           // Other: the whole line as read
};

struct ParsedKey {
  std::vector<StoredValue> values;
  // Lines that could not be read; their values read as missing.
  std::size_t damagedLines = 0;
};

std::string EscapeField(std::string_view bytes);
std::optional<std::string> UnescapeField(std::string_view field);

ParsedKey ParseKey(std::string_view content);
std::string SerialiseKey(const std::vector<StoredValue>& values);

// Value names compare like the registry's: ASCII letters without case.
bool SameValueName(std::string_view a, std::string_view b);
// The value of that name among `values`, or null.
const StoredValue* FindValue(const std::vector<StoredValue>& values, std::string_view name);
StoredValue* FindValue(std::vector<StoredValue>& values, std::string_view name);

}  // namespace murrelet::linux_platform
