#include "platform/linux/system/posix_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

// The kernel's own limit on the links one lookup follows.
constexpr int kMaxLinks = 40;

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The temporary a writer of `file` uses: .FILE.tmp-<pid>-<n>.
std::string TemporaryPrefix(const fs::path& file) { return "." + file.filename().string() + ".tmp-"; }

// The writer's process id in a temporary's name, 0 when the name is not one
// a writer gives.
pid_t WriterOf(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return 0;
  name.remove_prefix(prefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == name.size()) return 0;
  pid_t pid = 0;
  for (const char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  for (const char c : name.substr(dash + 1)) {
    if (c < '0' || c > '9') return 0;
  }
  return pid;
}

// A writer killed between its write and its rename leaves its temporary for
// good; the next write removes those whose writer is gone. A running
// writer's (the process exists, ours or another user's) stays.
void RemoveStaleTemporaries(const fs::path& file) {
  const std::string prefix = TemporaryPrefix(file);
  std::error_code error;
  for (fs::directory_iterator entry(file.parent_path(), error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    const pid_t writer = WriterOf(name, prefix);
    if (writer <= 0 || writer == ::getpid()) continue;
    if (::kill(writer, 0) != 0 && errno == ESRCH) ::unlink(entry->path().c_str());
  }
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = other.Release();
  }
  return *this;
}

int UniqueFd::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int UniqueFd::Close() { return fd_ >= 0 ? ::close(Release()) : 0; }

void UniqueFd::Reset() {
  if (fd_ >= 0) ::close(Release());
}

ReadResult ReadSmallFile(const fs::path& file, std::size_t maxBytes, std::string& content) {
  const UniqueFd in(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!in.Valid()) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(in.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadResult::Failed;
    if (n == 0) return ReadResult::Ok;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > maxBytes) return ReadResult::TooLarge;
  }
}

bool WriteFileAtomically(const fs::path& file, std::string_view content) {
  static unsigned counter = 0;
  const fs::path dir = file.parent_path();
  const fs::path temp = dir / (TemporaryPrefix(file) + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  RemoveStaleTemporaries(file);
  {
    UniqueFd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!out.Valid()) return false;
    const bool written = WriteAll(out.Get(), content) && ::fsync(out.Get()) == 0;
    if (out.Close() != 0 || !written) {
      ::unlink(temp.c_str());
      return false;
    }
  }
  if (::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // The rename is durable only once the folder itself is on disk.
  const UniqueFd folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return folder.Valid() && ::fsync(folder.Get()) == 0;
}

fs::path FollowOwnLinks(const fs::path& file) {
  fs::path at = file;
  // As many links as the kernel itself follows in one path.
  for (int links = 0;; ++links) {
    // Each hop from the folder the link really lies in: its folder's own
    // links resolved by the kernel, so a relative target's ".." goes up from
    // there, as the kernel's own lookup does, not from the path's text.
    char* real = ::realpath(at.parent_path().c_str(), nullptr);
    if (real == nullptr) return errno == ENOENT ? at : fs::path();
    at = fs::path(real) / at.filename();
    std::free(real);
    struct stat info {};
    if (::lstat(at.c_str(), &info) != 0) return errno == ENOENT ? at : fs::path();
    if (!S_ISLNK(info.st_mode)) return at;
    if (info.st_uid != ::geteuid() || links == kMaxLinks) return {};
    std::error_code ec;
    const fs::path next = fs::read_symlink(at, ec);
    if (ec || next.empty()) return {};
    at = next.is_absolute() ? next : at.parent_path() / next;
    // A target naming a folder ("..", "x/.") is no settings file.
    const fs::path name = at.filename();
    if (name.empty() || name == "." || name == "..") return {};
  }
}

void MoveAside(const fs::path& file) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
  for (int n = 0; n < 100; ++n) {
    fs::path aside = file;
    aside += ".damaged-" + std::string(stamp) + (n == 0 ? "" : "-" + std::to_string(n));
    // link + unlink never overwrites an existing copy.
    if (::link(file.c_str(), aside.c_str()) == 0) {
      ::unlink(file.c_str());
      return;
    }
    if (errno != EEXIST) break;
  }
}

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace murrelet::linux_platform
