// A per-user typed key-value store shaped like the registry: keys by path,
// values by name, each a text or a 32-bit number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace murrelet {

enum class ReadStatus { Ok, Missing, WrongType };

template <typename T>
struct StoreRead {
  ReadStatus status = ReadStatus::Missing;
  T value{};
};

// An open key; closed when destroyed.
class StoreKey {
 public:
  virtual ~StoreKey() = default;
  virtual StoreRead<std::string> ReadString(std::string_view name) = 0;
  virtual StoreRead<std::uint32_t> ReadDword(std::string_view name) = 0;
  virtual bool WriteString(std::string_view name, std::string_view value) = 0;
  virtual bool WriteDword(std::string_view name, std::uint32_t value) = 0;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // `path` is relative to the user's root, segments split by '\'. Null on failure.
  virtual std::unique_ptr<StoreKey> OpenReadOnly(std::string_view path) = 0;
  virtual std::unique_ptr<StoreKey> OpenWritable(std::string_view path) = 0;  // creates it
};

}  // namespace murrelet
