// Reading sysfs once a second without allocating: a class folder kept open and
// listed afresh on each pass, and attributes read straight into kept strings.
#pragma once

#include <dirent.h>

#include <cstddef>
#include <string>

namespace murrelet::linux_platform {

// A folder such as /sys/class/power_supply, opened on the first listing and
// kept open; each listing rewinds it, so it shows what is there now.
class KeptDirectory {
 public:
  explicit KeptDirectory(std::string path) : path_(std::move(path)) {}
  ~KeptDirectory();
  KeptDirectory(const KeptDirectory&) = delete;
  KeptDirectory& operator=(const KeptDirectory&) = delete;

  // Starts a listing; false when the folder cannot be opened.
  bool Rewind();
  // The next entry's name ("." and ".." left out), or nullptr at the end.
  const char* Next();
  // The open folder, for reading entries relative to it.
  int Fd() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  DIR* dir_ = nullptr;
};

// The first line of a small attribute file, `path` relative to `dirFd` (or
// absolute, with AT_FDCWD), cut at `maxBytes`; `line` keeps its storage.
// False when the file cannot be opened or read.
bool ReadFirstLine(int dirFd, const char* path, std::size_t maxBytes, std::string& line);

}  // namespace murrelet::linux_platform
