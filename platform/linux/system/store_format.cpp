#include "platform/linux/system/store_format.h"

#include <charconv>
#include <utility>

#include "kit/text_escape.h"

namespace murrelet::linux_platform {
namespace {

constexpr std::string_view kHeader = "# murrelet settings\n";

// The escapes a field is written with, besides \xHH for other control bytes.
constexpr EscapeLetter kFieldEscapes[] = {{'\\', '\\'}, {'s', ' '}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsTypeWord(std::string_view word) {
  if (word.empty()) return false;
  for (char c : word) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

std::optional<StoredValue> ParseLine(std::string_view line) {
  const std::size_t typeEnd = line.find(' ');
  if (typeEnd == std::string_view::npos) return std::nullopt;
  const std::string_view type = line.substr(0, typeEnd);
  std::string_view rest = line.substr(typeEnd + 1);
  const std::size_t nameEnd = rest.find(' ');
  const std::string_view nameField = rest.substr(0, nameEnd);
  const std::string_view valueField = nameEnd == std::string_view::npos ? std::string_view() : rest.substr(nameEnd + 1);
  std::optional<std::string> name = UnescapeField(nameField);
  if (!name || name->empty() || !IsTypeWord(type)) return std::nullopt;

  StoredValue value;
  value.name = std::move(*name);
  if (type == "sz") {
    std::optional<std::string> text = UnescapeField(valueField);
    if (!text) return std::nullopt;
    value.type = StoredType::Sz;
    value.text = std::move(*text);
  } else if (type == "dword") {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(valueField.data(), valueField.data() + valueField.size(), number);
    if (valueField.empty() || error != std::errc() || end != valueField.data() + valueField.size()) return std::nullopt;
    value.type = StoredType::Dword;
    value.number = number;
  } else {
    value.type = StoredType::Other;
    value.raw.assign(line);
  }
  return value;
}

}  // namespace

std::string EscapeField(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    const EscapeLetter* escape = nullptr;
    for (const EscapeLetter& candidate : kFieldEscapes) {
      if (candidate.byte == c) escape = &candidate;
    }
    if (escape != nullptr) {
      out += '\\';
      out += escape->letter;
    } else if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> UnescapeField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    const auto u = static_cast<unsigned char>(c);
    if (c == ' ' || u < 0x20 || u == 0x7F) return std::nullopt;  // never written raw
    if (c != '\\') {
      out += c;
      continue;
    }
    const std::size_t read = ReadEscape(field.substr(i + 1), kFieldEscapes, out);
    if (read == 0) return std::nullopt;
    i += read;
  }
  return out;
}

ParsedKey ParseKey(std::string_view content) {
  ParsedKey parsed;
  for (const std::string_view line : SplitLines(content)) {
    if (line.empty() || line.front() == '#') continue;
    std::optional<StoredValue> value = ParseLine(line);
    if (!value) {
      ++parsed.damagedLines;
      continue;
    }
    // A name given twice keeps its last line, as a second write would.
    if (StoredValue* existing = FindValue(parsed.values, value->name)) {
      *existing = std::move(*value);
    } else {
      parsed.values.push_back(std::move(*value));
    }
  }
  return parsed;
}

std::string SerialiseKey(const std::vector<StoredValue>& values) {
  std::string out(kHeader);
  for (const StoredValue& value : values) {
    switch (value.type) {
      case StoredType::Sz: out += "sz " + EscapeField(value.name) + ' ' + EscapeField(value.text); break;
      case StoredType::Dword: out += "dword " + EscapeField(value.name) + ' ' + std::to_string(value.number); break;
      case StoredType::Other: out += value.raw; break;
    }
    out += '\n';
  }
  return out;
}

const StoredValue* FindValue(const std::vector<StoredValue>& values, std::string_view name) {
  for (const StoredValue& value : values) {
    if (SameValueName(value.name, name)) return &value;
  }
  return nullptr;
}

StoredValue* FindValue(std::vector<StoredValue>& values, std::string_view name) {
  return const_cast<StoredValue*>(FindValue(std::as_const(values), name));
}

bool SameValueName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace murrelet::linux_platform
