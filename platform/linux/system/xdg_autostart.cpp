#include "platform/linux/system/xdg_autostart.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "kit/session_start.h"
#include "platform/linux/system/posix_file.h"

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

// A value of the desktop entry's string type: a backslash is written twice.
std::string StringValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

// One argument of Exec, always quoted: inside the quotes ", `, $ and \ take
// a backslash, a field code's % is written twice, and the string rule above
// then doubles every backslash again.
std::string QuotedArgument(std::string_view argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return StringValue(quoted);
}

bool HasControlBytes(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string AutostartEntryText(std::string_view program) {
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Murrelet\n"
      "Comment=Charges a KESTRA handset from this computer\n"
      "Comment[ja]=KESTRA をこのコンピュータから充電します\n"
      "Icon=murrelet\n"
      "Terminal=false\n"
      "NoDisplay=true\n";
  // The session skips the entry when this file is gone (program removed).
  text += "TryExec=" + StringValue(program) + "\n";
  text += "Exec=" + QuotedArgument(program) + " " + kSessionStartArgument + "\n";
  text += "X-GNOME-Autostart-enabled=true\n";
  return text;
}

fs::path DefaultAutostartDirectory() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return fs::path(config) / "autostart";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return fs::path(home) / ".config" / "autostart";
  return {};
}

fs::path RunningProgramPath() {
  std::error_code error;
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : program;
}

bool XdgAutostartEntry::IsSet() const {
  if (directory_.empty()) return false;
  std::error_code error;
  return fs::exists(File(), error);
}

bool XdgAutostartEntry::Set(bool startWithSession) {
  if (directory_.empty()) return false;
  const fs::path file = File();
  if (!startWithSession) {
    std::error_code error;
    fs::remove(file, error);  // false without an error when there was none
    return !error;
  }
  const std::string program = program_.string();
  // A path the entry could not name exactly is refused rather than mangled.
  if (program.empty() || program.front() != '/' || HasControlBytes(program)) return false;
  std::error_code error;
  fs::create_directories(directory_, error);
  if (error) return false;
  return WriteFileAtomically(file, AutostartEntryText(program));
}

}  // namespace murrelet::linux_platform
