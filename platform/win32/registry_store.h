// The settings store on the registry, under HKEY_CURRENT_USER.
#pragma once

#include "kit/settings_store.h"

namespace murrelet::win32 {

class RegistryStore : public SettingsStore {
 public:
  std::unique_ptr<StoreKey> OpenReadOnly(std::string_view path) override;
  std::unique_ptr<StoreKey> OpenWritable(std::string_view path) override;
};

}  // namespace murrelet::win32
