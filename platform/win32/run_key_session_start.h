// The log-in entry on Windows: the value "Murrelet" under the current user's
// Run key, which Windows reads at log-in, holding the program's quoted path
// and the argument that makes the start a start by the session. The
// uninstaller removes the same value. Another copy of the program (in
// another folder) writes the same value: the entry is this program's only
// while the value starts this very file.
#pragma once

#include <string>
#include <string_view>

#include "kit/session_start.h"

namespace murrelet::win32 {

// The Run key, under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kRunKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"Murrelet";

// What the value holds for the program at `program`.
std::wstring RunValueText(const std::wstring& program);

// Whether a Run value's command starts the file at `program`, read as
// Windows reads it: the file quoted or not, its arguments whatever they are,
// the two paths compared as file names (letter case aside, "..", "/" and
// short names resolved). A path that is not absolute names nothing.
bool RunValueStarts(std::wstring_view value, const std::wstring& program);

// This program's own file.
std::wstring RunningProgramPath();

class RunKeySessionStart : public SessionStartEntry {
 public:
  explicit RunKeySessionStart(std::wstring program, std::wstring keyPath = kRunKeyPath)
      : program_(std::move(program)), keyPath_(std::move(keyPath)) {}
  // Removing leaves a value that starts another file.
  bool Set(bool startWithSession) override;
  // Whether the value is there and starts this program.
  bool IsSet() const override;

 private:
  std::wstring program_;
  std::wstring keyPath_;
};

}  // namespace murrelet::win32
