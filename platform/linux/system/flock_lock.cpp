#include "platform/linux/system/flock_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// Whether `status` belongs to this user and nobody else may write through it.
bool OwnedAlone(const struct stat& status) {
  return status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder exists (made 0700 if it did not), is a real folder and is this
// user's alone.
bool PrivateFolder(const std::filesystem::path& directory) {
  if (directory.empty()) return false;
  std::error_code ignored;
  std::filesystem::create_directories(directory.parent_path(), ignored);
  if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat status {};
  if (::lstat(directory.c_str(), &status) != 0) return false;
  return S_ISDIR(status.st_mode) && OwnedAlone(status);
}

}  // namespace

std::filesystem::path DefaultLockDirectory(const std::filesystem::path& storeRoot,
                                           const std::filesystem::path& runtimeRoot) {
  const std::filesystem::path runtime = runtimeRoot / std::to_string(::geteuid());
  // lstat: a link there is not the user's folder, wherever it points.
  struct stat status {};
  if (::lstat(runtime.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && OwnedAlone(status)) return runtime;
  if (storeRoot.empty()) return {};
  return storeRoot / "lock";
}

std::filesystem::path FlockLocks::PathFor(std::string_view name) const {
  return directory_ / (std::string(name) + ".lock");
}

LockAttempt FlockLocks::Acquire(std::string_view name) {
  LockAttempt attempt;
  if (!IsPlainFileName(name) || !PrivateFolder(directory_)) return attempt;
  // O_NOFOLLOW: a link is never followed, whoever placed it.
  UniqueFd fd(::open(PathFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
  if (!fd.Valid()) return attempt;
  // What was opened must be this user's own plain file (root can open
  // anyone's, and a fifo or device must not be locked either).
  struct stat opened {};
  if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode) || !OwnedAlone(opened)) return attempt;
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
