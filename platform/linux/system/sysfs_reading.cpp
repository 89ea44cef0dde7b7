#include "platform/linux/system/sysfs_reading.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/system/posix_file.h"

namespace murrelet::linux_platform {

KeptDirectory::~KeptDirectory() {
  if (dir_ != nullptr) ::closedir(dir_);
}

bool KeptDirectory::Rewind() {
  if (dir_ == nullptr) dir_ = ::opendir(path_.c_str());
  if (dir_ == nullptr) return false;
  ::rewinddir(dir_);
  return true;
}

const char* KeptDirectory::Next() {
  if (dir_ == nullptr) return nullptr;
  while (const dirent* entry = ::readdir(dir_)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) return entry->d_name;
  }
  return nullptr;
}

int KeptDirectory::Fd() const { return dir_ != nullptr ? ::dirfd(dir_) : -1; }

bool ReadFirstLine(int dirFd, const char* path, std::size_t maxBytes, std::string& line) {
  line.clear();
  const UniqueFd in(::openat(dirFd, path, O_RDONLY | O_CLOEXEC));
  if (!in.Valid()) return false;
  // Attributes are a page at most; one read takes what matters.
  char buffer[512];
  const std::size_t want = maxBytes < sizeof buffer ? maxBytes : sizeof buffer;
  ssize_t n;
  do {
    n = ::read(in.Get(), buffer, want);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return false;
  const auto length = static_cast<std::size_t>(n);
  const auto* end = static_cast<const char*>(std::memchr(buffer, '\n', length));
  line.assign(buffer, end != nullptr ? static_cast<std::size_t>(end - buffer) : length);
  return true;
}

}  // namespace murrelet::linux_platform
