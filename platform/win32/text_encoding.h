// The core speaks UTF-8; Windows' W functions speak UTF-16, and TAPI's A
// functions the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace murrelet::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
void Narrow(std::wstring_view utf16, std::string& out);  // reuses out's buffer
// Bytes of the ANSI code page as UTF-8; false when they are not valid text
// in that code page, so that no two different byte strings read alike.
bool AnsiToUtf8(std::string_view ansi, std::string& out);

}  // namespace murrelet::win32
