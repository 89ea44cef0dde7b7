#include "platform/linux/line/tty_access.h"

#include <grp.h>
#include <sys/stat.h>

#include <vector>

namespace murrelet::linux_platform {

LineOpenDiagnosis DiagnoseRefusedAccess(const std::filesystem::path& node) {
  LineOpenDiagnosis diagnosis;
  diagnosis.accessDenied = true;
  diagnosis.device = node.string();
  struct stat status {};
  if (::stat(node.c_str(), &status) != 0) return diagnosis;
  const mode_t groupReadWrite = S_IRGRP | S_IWGRP;
  if ((status.st_mode & groupReadWrite) != groupReadWrite) return diagnosis;
  std::vector<char> buffer(4096);
  struct group entry {};
  struct group* found = nullptr;
  if (::getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
    diagnosis.group = found->gr_name;
  }
  return diagnosis;
}

}  // namespace murrelet::linux_platform
