#include "tools/scenario/script_lexer.h"

#include <charconv>

namespace murrelet::scenario {
namespace {

// In quotes; \n as in JSON, so that an expected text with line breaks reads the same in both.
constexpr EscapeLetter kQuotedEscapes[] = {{'"', '"'}, {'\\', '\\'}, {'n', '\n'}};

}  // namespace

LexResult SplitWords(std::string_view line) {
  LexResult result;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  bool wordQuoted = false;
  std::size_t textEnd = line.size();  // where a comment starts
  std::vector<std::size_t> wordEnds;
  const auto endWord = [&](std::size_t at) {
    result.words.push_back(std::move(word));
    wordEnds.push_back(at);
    result.quoted.push_back(wordQuoted);
    word.clear();
    inWord = false;
    wordQuoted = false;
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\') {
        if (i + 1 >= line.size()) break;
        const std::size_t read = ReadEscape(line.substr(i + 1), kQuotedEscapes, word);
        if (read == 0) {
          result.error = "bad escape in quotes";
          return result;
        }
        i += read;
      } else {
        word += c;
      }
      continue;
    }
    if (c == '#') {
      textEnd = i;
      break;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (inWord) endWord(i);
      continue;
    }
    inWord = true;
    if (c == '"') {
      quoted = true;
      wordQuoted = true;
    } else {
      word += c;
    }
  }
  if (quoted) {
    result = {};
    result.error = "unterminated quote";
    return result;
  }
  if (inWord) endWord(textEnd);
  for (const std::size_t at : wordEnds) result.rests.push_back(line.substr(at, textEnd - at));
  return result;
}

std::optional<std::int64_t> ParseNumber(std::string_view word) {
  bool negative = false;
  if (!word.empty() && word.front() == '-') {
    negative = true;
    word.remove_prefix(1);
  }
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    word.remove_prefix(2);
  }
  if (word.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), magnitude, base);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  if (negative) {
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return std::nullopt;
    return static_cast<std::int64_t>(0 - magnitude);
  }
  if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
  return static_cast<std::int64_t>(magnitude);
}

}  // namespace murrelet::scenario
