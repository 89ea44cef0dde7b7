#include "tools/scenario/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace murrelet::scenario {

Json& Json::Set(std::string_view key, Json value) {
  auto& object = std::get<Object>(value_);
  for (auto& [name, member] : object) {
    if (name == key) {
      member = std::move(value);
      return member;
    }
  }
  object.emplace_back(std::string(key), std::move(value));
  return object.back().second;
}

void Json::Push(Json value) { std::get<Array>(value_).push_back(std::move(value)); }

const Json* Json::Child(std::string_view key) const {
  if (const auto* object = std::get_if<Object>(&value_)) {
    for (const auto& [name, member] : *object) {
      if (name == key) return &member;
    }
    return nullptr;
  }
  if (const auto* array = std::get_if<Array>(&value_)) {
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (error != std::errc() || end != key.data() + key.size() || index >= array->size()) return nullptr;
    return &(*array)[index];
  }
  return nullptr;
}

namespace {

void EscapeTo(std::string_view text, std::string& out) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
          out += buffer;
        } else {
          out += c;  // UTF-8 passes through; other high bytes are kept as they are
        }
    }
  }
  out += '"';
}

}  // namespace

void Json::SerializeTo(std::string& out) const {
  if (IsNull()) {
    out += "null";
  } else if (const bool* b = std::get_if<bool>(&value_)) {
    out += *b ? "true" : "false";
  } else if (const auto* i = std::get_if<std::int64_t>(&value_)) {
    out += std::to_string(*i);
  } else if (const double* d = std::get_if<double>(&value_)) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", std::isfinite(*d) ? *d : 0.0);
    out += buffer;
  } else if (const auto* s = std::get_if<std::string>(&value_)) {
    EscapeTo(*s, out);
  } else if (const auto* array = std::get_if<Array>(&value_)) {
    out += '[';
    for (std::size_t n = 0; n < array->size(); ++n) {
      if (n != 0) out += ',';
      (*array)[n].SerializeTo(out);
    }
    out += ']';
  } else if (const auto* object = std::get_if<Object>(&value_)) {
    out += '{';
    bool first = true;
    for (const auto& [name, member] : *object) {
      if (!first) out += ',';
      first = false;
      EscapeTo(name, out);
      out += ':';
      member.SerializeTo(out);
    }
    out += '}';
  }
}

std::string Json::Serialize() const {
  std::string out;
  SerializeTo(out);
  return out;
}

bool operator==(const Json& a, const Json& b) {
  // Whole numbers compare equal whether written as integers or not.
  const auto* ai = std::get_if<std::int64_t>(&a.value_);
  const auto* bd = std::get_if<double>(&b.value_);
  if (ai != nullptr && bd != nullptr) return static_cast<double>(*ai) == *bd;
  const auto* ad = std::get_if<double>(&a.value_);
  const auto* bi = std::get_if<std::int64_t>(&b.value_);
  if (ad != nullptr && bi != nullptr) return *ad == static_cast<double>(*bi);
  return a.value_ == b.value_;
}

namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<Json> Document() {
    auto value = Value(0);
    SkipBlanks();
    if (!value || pos_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
  }

  bool Take(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<Json> Value(int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    SkipBlanks();
    if (pos_ >= text_.size()) return std::nullopt;
    const char c = text_[pos_];
    if (c == '{') return ObjectValue(depth);
    if (c == '[') return ArrayValue(depth);
    if (c == '"') {
      auto s = String();
      if (!s) return std::nullopt;
      return Json(std::move(*s));
    }
    if (Take("true")) return Json(true);
    if (Take("false")) return Json(false);
    if (Take("null")) return Json(nullptr);
    return Number();
  }

  std::optional<Json> Number() {
    const std::size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    bool isDouble = false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c >= '0' && c <= '9') {
        ++pos_;
      } else if (c == '.' || c == 'e' || c == 'E' || c == '+' || (c == '-' && pos_ > start)) {
        isDouble = true;
        ++pos_;
      } else {
        break;
      }
    }
    const std::string_view digits = text_.substr(start, pos_ - start);
    if (digits.empty() || digits == "-") return std::nullopt;
    if (!isDouble) {
      std::int64_t value = 0;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
      if (error == std::errc() && end == digits.data() + digits.size()) return Json(static_cast<long long>(value));
    }
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return Json(value);
  }

  static void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::optional<std::uint32_t> Hex4() {
    if (text_.size() - pos_ < 4) return std::nullopt;
    std::uint32_t code = 0;
    const auto [end, error] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, code, 16);
    if (error != std::errc() || end != text_.data() + pos_ + 4) return std::nullopt;
    pos_ += 4;
    return code;
  }

  std::optional<std::string> String() {
    ++pos_;  // opening quote
    std::string out;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return std::nullopt;
      const char e = text_[pos_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          auto code = Hex4();
          if (!code) return std::nullopt;
          if (*code >= 0xD800 && *code < 0xDC00 && Take("\\u")) {
            auto low = Hex4();
            if (!low || *low < 0xDC00 || *low >= 0xE000) return std::nullopt;
            *code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
          }
          AppendUtf8(*code, out);
          break;
        }
        default: return std::nullopt;
      }
    }
    return std::nullopt;
  }

  std::optional<Json> ArrayValue(int depth) {
    ++pos_;
    Json array = Json::MakeArray();
    SkipBlanks();
    if (Take("]")) return array;
    while (true) {
      auto element = Value(depth + 1);
      if (!element) return std::nullopt;
      array.Push(std::move(*element));
      SkipBlanks();
      if (Take("]")) return array;
      if (!Take(",")) return std::nullopt;
    }
  }

  std::optional<Json> ObjectValue(int depth) {
    ++pos_;
    Json object = Json::MakeObject();
    SkipBlanks();
    if (Take("}")) return object;
    while (true) {
      SkipBlanks();
      if (pos_ >= text_.size() || text_[pos_] != '"') return std::nullopt;
      auto key = String();
      if (!key) return std::nullopt;
      SkipBlanks();
      if (!Take(":")) return std::nullopt;
      auto member = Value(depth + 1);
      if (!member) return std::nullopt;
      object.Set(*key, std::move(*member));
      SkipBlanks();
      if (Take("}")) return object;
      if (!Take(",")) return std::nullopt;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<Json> Json::Parse(std::string_view text) { return Parser(text).Document(); }

}  // namespace murrelet::scenario
