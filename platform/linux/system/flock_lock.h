// The single-instance guard: a lock file held with flock for the life of the
// process. The kernel drops the lock when the process ends, however it ends.
#pragma once

#include <filesystem>

#include "kit/named_lock.h"

namespace murrelet::linux_platform {

// The lock lives only in a folder that this user alone owns and writes, and
// the folder follows from who the user is, not from the environment, so that
// every copy of one user meets the same lock (one started from a terminal or
// by `sudo -u` may lack XDG_RUNTIME_DIR): the runtime folder `runtimeRoot`/UID
// (/run/user/UID, which logind makes) when it is a real folder of this
// user's alone; otherwise the folder "lock" under the settings folder
// `storeRoot` (made 0700 when first needed); empty when there is neither, and
// the program runs without the guard.
std::filesystem::path DefaultLockDirectory(const std::filesystem::path& storeRoot,
                                           const std::filesystem::path& runtimeRoot = "/run/user");

class FlockLocks : public NamedLocks {
 public:
  // A missing `directory` is made, 0700. The lock is refused (Unavailable)
  // when the folder is not this user's own or others may write to it, and
  // when the file found there is not a plain file of this user's: another
  // local user must not be able to stop the start or disable the guard.
  explicit FlockLocks(std::filesystem::path directory) : directory_(std::move(directory)) {}
  LockAttempt Acquire(std::string_view name) override;

 private:
  std::filesystem::path PathFor(std::string_view name) const;
  std::filesystem::path directory_;
};

}  // namespace murrelet::linux_platform
