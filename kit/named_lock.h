// The single-instance guard: a lock with a name that every copy started on the
// same desktop can see, held for the life of the process.
#pragma once

#include <memory>
#include <string_view>

namespace murrelet {

class HeldLock {
 public:
  virtual ~HeldLock() = default;  // releases the name
};

enum class LockOutcome { Acquired, HeldByAnotherCopy, Unavailable };

struct LockAttempt {
  LockOutcome outcome = LockOutcome::Unavailable;
  std::unique_ptr<HeldLock> lock;
};

class NamedLocks {
 public:
  virtual ~NamedLocks() = default;
  // Test and take in one step.
  virtual LockAttempt Acquire(std::string_view name) = 0;
};

}  // namespace murrelet
