#include "platform/win32/run_key_session_start.h"

#include <cwctype>
#include <optional>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// A path as Windows resolves it: absolute, '\' between its parts, no "." or
// ".." parts and no trailing dots, short (8.3) names made long where the file
// exists. Empty for a path that is not absolute (a drive and its root, or a
// share): the Run key's start has no folder of its own to find it in.
std::wstring Resolved(const std::wstring& path) {
  const bool drive = path.size() >= 3 && std::iswalpha(path[0]) != 0 && path[1] == L':' && IsSeparator(path[2]);
  const bool share = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]);
  if (!drive && !share) return {};
  std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  if (full.empty()) return {};
  const DWORD fullLength = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (fullLength == 0 || fullLength >= full.size()) return {};
  full.resize(fullLength);
  std::wstring lengthened(GetLongPathNameW(full.c_str(), nullptr, 0), L'\0');
  if (lengthened.empty()) return full;  // no such file: nothing to lengthen
  const DWORD longLength = GetLongPathNameW(full.c_str(), lengthened.data(), static_cast<DWORD>(lengthened.size()));
  if (longLength == 0 || longLength >= lengthened.size()) return full;
  lengthened.resize(longLength);
  return lengthened;
}

// As Windows compares file names: whole, letter case aside.
bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                            TRUE) == CSTR_EQUAL;
}

// The files a command may start, as CreateProcess reads a command line: a
// quoted name is the one; an unquoted name may hold spaces, so each stretch
// from the start to a blank or to the end is one. A name without an
// extension is also tried with ".exe".
std::vector<std::wstring> CommandFiles(std::wstring_view command) {
  while (!command.empty() && IsBlank(command.front())) command.remove_prefix(1);
  std::vector<std::wstring> names;
  if (!command.empty() && command.front() == L'"') {
    const std::size_t end = command.find(L'"', 1);
    if (end != std::wstring_view::npos) names.emplace_back(command.substr(1, end - 1));
  } else {
    for (std::size_t at = 0; at <= command.size(); ++at) {
      if (at == command.size() || IsBlank(command[at])) {
        if (at > 0 && !IsBlank(command[at - 1])) names.emplace_back(command.substr(0, at));
      }
    }
  }
  const std::size_t count = names.size();
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t part = names[n].find_last_of(L"\\/");
    const std::size_t dot = names[n].rfind(L'.');
    if (dot == std::wstring::npos || (part != std::wstring::npos && dot < part)) names.push_back(names[n] + L".exe");
  }
  return names;
}

// The Run value's text, its environment strings expanded as at log-in;
// nothing when there is no such text value. `error` is the registry's answer.
std::optional<std::wstring> ReadRunValue(const std::wstring& keyPath, LONG& error) {
  std::vector<wchar_t> data(MAX_PATH + 64);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    // Without RRF_NOEXPAND a REG_EXPAND_SZ value comes expanded, as REG_SZ.
    error = RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), kRunValueName, RRF_RT_REG_SZ, nullptr, data.data(),
                         &bytes);
    if (error == ERROR_SUCCESS) return std::wstring(data.data());
    if (error != ERROR_MORE_DATA) return std::nullopt;
    data.resize(bytes / sizeof(wchar_t) + 64);
  }
  return std::nullopt;
}

}  // namespace

std::wstring RunValueText(const std::wstring& program) {
  // Quoted, since the path may hold spaces ("Program Files").
  return L"\"" + program + L"\" " + Widen(kSessionStartArgument);
}

bool RunValueStarts(std::wstring_view value, const std::wstring& program) {
  const std::wstring self = Resolved(program);
  if (self.empty()) return false;
  for (const std::wstring& file : CommandFiles(value)) {
    if (SamePath(Resolved(file), self)) return true;
  }
  return false;
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
  LONG error = ERROR_SUCCESS;
  const std::optional<std::wstring> value = ReadRunValue(keyPath_, error);
  return value && RunValueStarts(*value, program_);
}

bool RunKeySessionStart::Set(bool startWithSession) {
  HKEY key = nullptr;
  if (!startWithSession) {
    // Only this program's entry goes: one that starts another copy (in
    // another folder) is that copy's.
    LONG error = ERROR_SUCCESS;
    const std::optional<std::wstring> value = ReadRunValue(keyPath_, error);
    if (!value) return error == ERROR_FILE_NOT_FOUND || error == ERROR_UNSUPPORTED_TYPE;  // nothing of ours
    if (!RunValueStarts(*value, program_)) return true;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
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
