// The few file operations the Linux adapters need, over POSIX calls: an owned
// descriptor, a bounded read, an atomic replace, keeping a damaged file aside,
// and a check that a name is one plain file name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace murrelet::linux_platform {

// Owns one file descriptor and closes it when destroyed; -1 holds nothing.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release();
  // Closes now and reports the close's own result (0, or -1 with errno set):
  // a write is safe on disk only when its close succeeded too.
  int Close();
  void Reset();

 private:
  int fd_ = -1;
};

enum class ReadResult { Ok, Missing, Failed, TooLarge };

// Reads a whole file of at most `maxBytes` into `content`; links are not followed.
ReadResult ReadSmallFile(const std::filesystem::path& file, std::size_t maxBytes, std::string& content);

// Writes `content` to `file` through a temporary file in the same folder:
// written, flushed to disk, renamed over the file, and the folder flushed.
// The temporaries of earlier writers of `file` that were killed before their
// rename are removed first.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content);

// The file to read and replace for `file`: itself when it is no symbolic
// link (or does not exist yet), else where its links lead, when every link on
// the way belongs to this user (dotfile managers link settings files into
// their own folder). Empty for a link of another owner or a loop.
std::filesystem::path FollowOwnLinks(const std::filesystem::path& file);

// Moves `file` aside as FILE.damaged-<local time>[-N] for the user to look at;
// never replaces an earlier copy.
void MoveAside(const std::filesystem::path& file);

// One file name: not empty, not "." or "..", no '/' and no NUL byte.
bool IsPlainFileName(std::string_view name);

}  // namespace murrelet::linux_platform
