#include "platform/linux/system/flock_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/linux/system/posix_file.h"

namespace murrelet::linux_platform {
namespace {

// The lock is the open descriptor: closing it, or the process ending, frees the name.
class FlockHeld : public HeldLock {
 public:
  explicit FlockHeld(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

}  // namespace

std::filesystem::path DefaultLockDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  return {};
}

std::filesystem::path FlockLocks::PathFor(std::string_view name) const {
  if (!directory_.empty()) return directory_ / (std::string(name) + ".lock");
  return std::filesystem::path("/tmp") / (std::string(name) + "-" + std::to_string(::getuid()) + ".lock");
}

LockAttempt FlockLocks::Acquire(std::string_view name) {
  LockAttempt attempt;
  if (!IsPlainFileName(name)) return attempt;
  // O_NOFOLLOW: in a shared /tmp another user could plant a link under our name.
  UniqueFd fd(::open(PathFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd.Valid()) return attempt;
  // One call tests and takes: two copies starting together cannot both win.
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    attempt.outcome = error == EWOULDBLOCK ? LockOutcome::HeldByAnotherCopy : LockOutcome::Unavailable;
    return attempt;
  }
  attempt.outcome = LockOutcome::Acquired;
  attempt.lock = std::make_unique<FlockHeld>(std::move(fd));
  return attempt;
}

}  // namespace murrelet::linux_platform
