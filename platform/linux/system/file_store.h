// The per-user settings store: one file per key under the store root, the
// key path's segments as folders ("Software/Quillon SoftWare/Gannetry/V2.0.conf").
// Every write replaces the file atomically, so a crash or a full disk leaves
// either the old file or the new one. A line that cannot be read reads as a
// missing value and is kept until its value is written; a file of which no
// line can be read, or one too large to be ours, is moved aside as
// *.damaged-<time> before anything is written over it.
#pragma once

#include <filesystem>

#include "kit/settings_store.h"

namespace murrelet::linux_platform {

// $XDG_CONFIG_HOME/murrelet, or ~/.config/murrelet.
std::filesystem::path DefaultStoreRoot();

class FileStore : public SettingsStore {
 public:
  explicit FileStore(std::filesystem::path root) : root_(std::move(root)) {}
  std::unique_ptr<StoreKey> OpenReadOnly(std::string_view path) override;
  std::unique_ptr<StoreKey> OpenWritable(std::string_view path) override;

  // The file of a key path, or empty when the path is not usable.
  std::filesystem::path FileFor(std::string_view path) const;

 private:
  std::filesystem::path root_;
};

}  // namespace murrelet::linux_platform
