#include "platform/linux/system/flock_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace murrelet::linux_platform {
namespace {

class FlockHeld : public HeldLock {
 public:
  explicit FlockHeld(int fd) : fd_(fd) {}
  ~FlockHeld() override { ::close(fd_); }
  FlockHeld(const FlockHeld&) = delete;
  FlockHeld& operator=(const FlockHeld&) = delete;

 private:
  int fd_;
};

bool SafeName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

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
  if (!SafeName(name)) return attempt;
  // O_NOFOLLOW: in a shared /tmp another user could plant a link under our name.
  const int fd = ::open(PathFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return attempt;
  // One call tests and takes: two copies starting together cannot both win.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    attempt.outcome = error == EWOULDBLOCK ? LockOutcome::HeldByAnotherCopy : LockOutcome::Unavailable;
    return attempt;
  }
  attempt.outcome = LockOutcome::Acquired;
  attempt.lock = std::make_unique<FlockHeld>(fd);
  return attempt;
}

}  // namespace murrelet::linux_platform
