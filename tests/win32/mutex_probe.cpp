// A second process for the single-instance test: tries the named lock and
// tells by its exit code what it saw (0 taken, 3 held by another copy,
// 4 unavailable).
#include <string>

#include "platform/win32/system_services.h"
#include "platform/win32/text_encoding.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  murrelet::win32::Win32Mutexes mutexes;
  const murrelet::LockAttempt attempt = mutexes.Acquire(murrelet::win32::Narrow(argv[1]));
  switch (attempt.outcome) {
    case murrelet::LockOutcome::Acquired: return 0;
    case murrelet::LockOutcome::HeldByAnotherCopy: return 3;
    case murrelet::LockOutcome::Unavailable: return 4;
  }
  return 2;
}
