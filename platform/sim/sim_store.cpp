#include "platform/sim/sim_store.h"

namespace murrelet::sim {
namespace {

class SimKey : public StoreKey {
 public:
  SimKey(SimStore& store, std::string path, bool writable) : store_(store), path_(std::move(path)), writable_(writable) {
    ++store_.openKeys;
  }
  ~SimKey() override { --store_.openKeys; }

  StoreRead<std::string> ReadString(std::string_view name) override {
    const StoredValue* value = Find(name);
    if (value == nullptr) return {ReadStatus::Missing, {}};
    if (const auto* text = std::get_if<std::string>(value)) return {ReadStatus::Ok, *text};
    return {ReadStatus::WrongType, {}};
  }

  StoreRead<std::uint32_t> ReadDword(std::string_view name) override {
    const StoredValue* value = Find(name);
    if (value == nullptr) return {ReadStatus::Missing, 0};
    if (const auto* number = std::get_if<std::uint32_t>(value)) return {ReadStatus::Ok, *number};
    return {ReadStatus::WrongType, 0};
  }

  bool WriteString(std::string_view name, std::string_view value) override {
    return Write(name, StoredValue(std::string(value)));
  }
  bool WriteDword(std::string_view name, std::uint32_t value) override { return Write(name, StoredValue(value)); }

 private:
  const StoredValue* Find(std::string_view name) {
    auto key = store_.keys.find(path_);
    if (key == store_.keys.end()) return nullptr;
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
  }

  bool Write(std::string_view name, StoredValue value) {
    if (!writable_ || store_.writeFail.count(name) != 0) return false;
    auto key = store_.keys.find(path_);
    if (key == store_.keys.end()) return false;  // deleted behind our back
    key->second[std::string(name)] = std::move(value);
    return true;
  }

  SimStore& store_;
  std::string path_;
  bool writable_;
};

}  // namespace

std::unique_ptr<StoreKey> SimStore::OpenReadOnly(std::string_view path) {
  if (readOnlyFail || keys.find(path) == keys.end()) return nullptr;
  return std::make_unique<SimKey>(*this, std::string(path), false);
}

std::unique_ptr<StoreKey> SimStore::OpenWritable(std::string_view path) {
  ++writableOpens;
  if (createFail) return nullptr;
  keys[std::string(path)];
  return std::make_unique<SimKey>(*this, std::string(path), true);
}

}  // namespace murrelet::sim
