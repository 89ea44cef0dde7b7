// The log-in entry on Windows: the value "Murrelet" under the current user's
// Run key, which Windows reads at log-in, holding the program's quoted path
// and the argument that makes the start a start by the session. The
// uninstaller removes the same value.
#pragma once

#include <string>

#include "kit/session_start.h"

namespace murrelet::win32 {

// The Run key, under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kRunKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"Murrelet";

// What the value holds for the program at `program`.
std::wstring RunValueText(const std::wstring& program);

// This program's own file.
std::wstring RunningProgramPath();

class RunKeySessionStart : public SessionStartEntry {
 public:
  explicit RunKeySessionStart(std::wstring program, std::wstring keyPath = kRunKeyPath)
      : program_(std::move(program)), keyPath_(std::move(keyPath)) {}
  bool Set(bool startWithSession) override;
  bool IsSet() const override;

 private:
  std::wstring program_;
  std::wstring keyPath_;
};

}  // namespace murrelet::win32
