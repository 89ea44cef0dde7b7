#include "platform/win32/run_key_session_start.h"

#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

std::wstring RunValueText(const std::wstring& program) {
  // Quoted, since the path may hold spaces ("Program Files").
  return L"\"" + program + L"\" " + Widen(kSessionStartArgument);
}

std::wstring RunningProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool RunKeySessionStart::IsSet() const {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const LONG queried = RegQueryValueExW(key, kRunValueName, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return queried == ERROR_SUCCESS;
}

bool RunKeySessionStart::Set(bool startWithSession) {
  HKEY key = nullptr;
  if (!startWithSession) {
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return true;  // no Run key, so no value
    if (opened != ERROR_SUCCESS) return false;
    const LONG deleted = RegDeleteValueW(key, kRunValueName);
    RegCloseKey(key);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
  }
  // A path with a quote in it cannot be quoted; Windows allows none.
  if (program_.empty() || program_.find(L'"') != std::wstring::npos) return false;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring text = RunValueText(program_);
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  const LONG written =
      RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
  RegCloseKey(key);
  return written == ERROR_SUCCESS;
}

}  // namespace murrelet::win32
