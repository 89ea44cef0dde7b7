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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Escapes as the program writes them; `blanksAllowed` lets plain spaces and
// tabs stand for themselves, as a hand-edited text has them.
std::optional<std::string> Unescape(std::string_view field, bool blanksAllowed) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    const auto u = static_cast<unsigned char>(c);
    if (blanksAllowed && IsBlank(c)) {
      out += c;
      continue;
    }
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

// One line as a value. A line that cannot be read comes back Unreadable and
// whole, under its name when that much could be read, so that writing that
// name replaces it.
StoredValue ParseLine(std::string_view line) {
  StoredValue value;
  value.type = StoredType::Unreadable;
  value.raw.assign(line);
  const std::size_t typeEnd = line.find(' ');
  if (typeEnd == std::string_view::npos) return value;
  const std::string_view type = line.substr(0, typeEnd);
  const std::string_view rest = line.substr(typeEnd + 1);
  const std::size_t nameEnd = rest.find(' ');
  const std::string_view nameField = rest.substr(0, nameEnd);
  // A text is everything after the one space that ends the name.
  const std::string_view valueField = nameEnd == std::string_view::npos ? std::string_view() : rest.substr(nameEnd + 1);
  std::optional<std::string> name = UnescapeField(nameField);
  if (!name || name->empty()) return value;
  value.name = std::move(*name);
  if (!IsTypeWord(type)) return value;

  if (type == "sz") {
    std::optional<std::string> text = UnescapeText(valueField);
    if (!text) return value;
    value.type = StoredType::Sz;
    value.text = std::move(*text);
    value.raw.clear();
  } else if (type == "dword") {
    const std::string_view digits = TrimBlanks(valueField);
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return value;
    value.type = StoredType::Dword;
    value.number = number;
    value.raw.clear();
  } else {
    value.type = StoredType::Other;
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

std::optional<std::string> UnescapeField(std::string_view field) { return Unescape(field, false); }

std::optional<std::string> UnescapeText(std::string_view text) { return Unescape(text, true); }

bool ParsedKey::AnyReadable() const {
  for (const StoredValue& value : values) {
    if (value.type != StoredType::Unreadable) return true;
  }
  return false;
}

ParsedKey ParseKey(std::string_view content) {
  ParsedKey parsed;
  for (std::string_view line : SplitLines(content)) {
    // A file saved with "\r\n" line ends reads as the program's own.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    StoredValue value = ParseLine(line);
    if (value.type == StoredType::Unreadable) ++parsed.damagedLines;
    // A name given twice keeps its last line, as a second write would; lines
    // without a readable name are all kept.
    StoredValue* existing = value.name.empty() ? nullptr : FindValue(parsed.values, value.name);
    if (existing != nullptr) {
      *existing = std::move(value);
    } else {
      parsed.values.push_back(std::move(value));
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
      case StoredType::Other:
      case StoredType::Unreadable: out += value.raw; break;
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

const StoredValue* FindReadable(const std::vector<StoredValue>& values, std::string_view name) {
  const StoredValue* value = FindValue(values, name);
  return value != nullptr && value->type != StoredType::Unreadable ? value : nullptr;
}

bool SameValueName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace murrelet::linux_platform
