// A small JSON value for the scenario runner's dumps and expectations: objects
// keep their insertion order so dumps read the same every time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace murrelet::scenario {

class Json {
 public:
  using Array = std::vector<Json>;
  using Object = std::vector<std::pair<std::string, Json>>;

  Json() = default;  // null
  Json(std::nullptr_t) {}
  Json(bool value) : value_(value) {}
  Json(int value) : value_(static_cast<std::int64_t>(value)) {}
  Json(unsigned value) : value_(static_cast<std::int64_t>(value)) {}
  Json(long value) : value_(static_cast<std::int64_t>(value)) {}
  Json(unsigned long value) : value_(static_cast<std::int64_t>(value)) {}
  Json(long long value) : value_(static_cast<std::int64_t>(value)) {}
  Json(unsigned long long value) : value_(static_cast<std::int64_t>(value)) {}
  Json(double value) : value_(value) {}
  Json(const char* value) : value_(std::string(value)) {}
  Json(std::string value) : value_(std::move(value)) {}
  Json(std::string_view value) : value_(std::string(value)) {}
  Json(Array value) : value_(std::move(value)) {}
  Json(Object value) : value_(std::move(value)) {}

  static Json MakeObject() { return Json(Object{}); }
  static Json MakeArray() { return Json(Array{}); }

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  bool IsObject() const { return std::holds_alternative<Object>(value_); }
  bool IsArray() const { return std::holds_alternative<Array>(value_); }

  // Adds or replaces a member of an object.
  Json& Set(std::string_view key, Json value);
  // Appends to an array.
  void Push(Json value);
  // A member by key or an element by decimal index; null when absent.
  const Json* Child(std::string_view key) const;

  std::string Serialize() const;
  friend bool operator==(const Json& a, const Json& b);

  // Parses a whole text; nullopt on any syntax error.
  static std::optional<Json> Parse(std::string_view text);

 private:
  void SerializeTo(std::string& out) const;
  std::variant<std::monostate, bool, std::int64_t, double, std::string, Array, Object> value_;
};

}  // namespace murrelet::scenario
