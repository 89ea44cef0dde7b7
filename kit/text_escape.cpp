#include "kit/text_escape.h"

namespace murrelet {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::size_t ReadEscape(std::string_view text, std::span<const EscapeLetter> letters, std::string& out) {
  if (text.empty()) return 0;
  if (text[0] == 'x') {
    if (text.size() < 3) return 0;  // two hex digits must follow
    const int high = HexDigitValue(text[1]);
    const int low = HexDigitValue(text[2]);
    if (high < 0 || low < 0) return 0;
    out += static_cast<char>(high * 16 + low);
    return 3;
  }
  for (const EscapeLetter& escape : letters) {
    if (escape.letter == text[0]) {
      out += escape.byte;
      return 1;
    }
  }
  return 0;
}

}  // namespace murrelet
