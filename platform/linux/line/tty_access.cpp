#include "platform/linux/line/tty_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace murrelet::linux_platform {
namespace {

constexpr std::size_t kLookupLimit = std::size_t{1} << 20;

bool ProcessHasGroup(gid_t group) {
  if (::getegid() == group) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// The group database lists this user in `entry` (or gives it as the user's
// own group): true also when this session began before the user joined.
bool UserListedIn(const struct group& entry) {
  std::vector<char> buffer(4096);
  struct passwd user {};
  struct passwd* found = nullptr;
  const int error = LookUpWithGrowingBuffer(buffer, [&](std::vector<char>& b) {
    return ::getpwuid_r(::getuid(), &user, b.data(), b.size(), &found);
  });
  if (error != 0 || found == nullptr) return false;
  if (user.pw_gid == entry.gr_gid) return true;
  for (char** member = entry.gr_mem; member != nullptr && *member != nullptr; ++member) {
    if (std::strcmp(*member, user.pw_name) == 0) return true;
  }
  return false;
}

}  // namespace

int LookUpWithGrowingBuffer(std::vector<char>& buffer, const std::function<int(std::vector<char>&)>& lookup) {
  if (buffer.empty()) buffer.resize(1024);
  for (;;) {
    const int error = lookup(buffer);
    if (error != ERANGE || buffer.size() >= kLookupLimit) return error;
    buffer.resize(std::min(buffer.size() * 2, kLookupLimit));
  }
}

LineOpenDiagnosis DiagnoseRefusedAccess(const std::filesystem::path& node) {
  LineOpenDiagnosis diagnosis;
  diagnosis.accessDenied = true;
  diagnosis.device = node.string();
  struct stat status {};
  if (::stat(node.c_str(), &status) != 0) return diagnosis;
  diagnosis.deviceMode = static_cast<std::uint32_t>(status.st_mode & 07777);
  std::vector<char> ownerBuffer(4096);
  struct passwd owner {};
  struct passwd* ownerFound = nullptr;
  const int ownerError = LookUpWithGrowingBuffer(ownerBuffer, [&](std::vector<char>& b) {
    return ::getpwuid_r(status.st_uid, &owner, b.data(), b.size(), &ownerFound);
  });
  diagnosis.deviceOwner = ownerError == 0 && ownerFound != nullptr ? owner.pw_name : std::to_string(status.st_uid);
  std::vector<char> buffer(4096);
  struct group entry {};
  struct group* found = nullptr;
  const int error = LookUpWithGrowingBuffer(buffer, [&](std::vector<char>& b) {
    return ::getgrgid_r(status.st_gid, &entry, b.data(), b.size(), &found);
  });
  const bool groupKnown = error == 0 && found != nullptr;
  diagnosis.deviceGroup = groupKnown ? entry.gr_name : std::to_string(status.st_gid);
  const mode_t groupReadWrite = S_IRGRP | S_IWGRP;
  if (!groupKnown || (status.st_mode & groupReadWrite) != groupReadWrite) return diagnosis;
  diagnosis.group = entry.gr_name;
  if (ProcessHasGroup(status.st_gid)) {
    diagnosis.standing = GroupStanding::InThisProcess;
  } else if (UserListedIn(entry)) {
    diagnosis.standing = GroupStanding::JoinedSinceLogin;
  } else {
    diagnosis.joinCommand = "sudo usermod -aG " + diagnosis.group + " $USER";
  }
  return diagnosis;
}

}  // namespace murrelet::linux_platform
