// A simulated per-user store with one level of keys, and switches that make
// its operations fail.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <variant>

#include "kit/settings_store.h"

namespace murrelet::sim {

using StoredValue = std::variant<std::string, std::uint32_t>;

class SimStore : public SettingsStore {
 public:
  std::unique_ptr<StoreKey> OpenReadOnly(std::string_view path) override;
  std::unique_ptr<StoreKey> OpenWritable(std::string_view path) override;

  std::map<std::string, std::map<std::string, StoredValue, std::less<>>, std::less<>> keys;
  bool readOnlyFail = false;
  bool createFail = false;
  std::set<std::string, std::less<>> writeFail;
  int openKeys = 0;  // keys the program holds open right now
  int writableOpens = 0;  // every open for writing, refused ones included
};

}  // namespace murrelet::sim
