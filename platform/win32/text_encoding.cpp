#include "platform/win32/text_encoding.h"

#include "platform/win32/windows_api.h"

#include <climits>

namespace murrelet::win32 {
namespace {

int Length(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

bool ToUtf8(std::wstring_view utf16, std::string& out) {
  out.clear();
  if (utf16.empty()) return true;
  const int needed = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), Length(utf16.size()), nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  out.resize(static_cast<std::size_t>(needed));
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), Length(utf16.size()), out.data(), needed, nullptr, nullptr);
  return true;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  std::wstring out;
  if (utf8.empty()) return out;
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), Length(utf8.size()), nullptr, 0);
  if (needed <= 0) return out;
  out.resize(static_cast<std::size_t>(needed));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), Length(utf8.size()), out.data(), needed);
  return out;
}

void Narrow(std::wstring_view utf16, std::string& out) { ToUtf8(utf16, out); }

std::string Narrow(std::wstring_view utf16) {
  std::string out;
  ToUtf8(utf16, out);
  return out;
}

bool AnsiToUtf8(std::string_view ansi, std::string& out) {
  out.clear();
  if (ansi.empty()) return true;
  const int needed = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), Length(ansi.size()), nullptr, 0);
  if (needed <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), Length(ansi.size()), wide.data(), needed);
  return ToUtf8(wide, out);
}

}  // namespace murrelet::win32
