// The single-instance guard: a lock file held with flock for the life of the
// process. The kernel drops the lock when the process ends, however it ends.
#pragma once

#include <filesystem>

#include "kit/named_lock.h"

namespace murrelet::linux_platform {

// $XDG_RUNTIME_DIR when it is set and absolute; otherwise empty, and the lock
// goes to /tmp with the user's id in its name.
std::filesystem::path DefaultLockDirectory();

class FlockLocks : public NamedLocks {
 public:
  // An empty directory means /tmp, where names get the user's id.
  explicit FlockLocks(std::filesystem::path directory) : directory_(std::move(directory)) {}
  LockAttempt Acquire(std::string_view name) override;
  std::filesystem::path PathFor(std::string_view name) const;

 private:
  std::filesystem::path directory_;
};

}  // namespace murrelet::linux_platform
