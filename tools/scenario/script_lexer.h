// Splitting a script into lines and a line into words, and reading numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/text_escape.h"

namespace murrelet::scenario {

struct LexResult {
  std::vector<std::string> words;
  // For each word, the line after it as written, up to a comment: a command
  // whose last argument is a text of its own (JSON) reads it from here. Views
  // into the line that was split.
  std::vector<std::string_view> rests;
  // For each word, whether it was written with a quote in it.
  std::vector<bool> quoted;
  std::string error;  // empty when the line was read
};

// The script's lines, split at '\n' (a last line without one counts too).
using murrelet::SplitLines;

// Words split on blanks; '#' outside quotes starts a comment; "..." quotes
// (also inside a word, as in name="A B") with \" \\ \n and \xNN escapes.
LexResult SplitWords(std::string_view line);

// Decimal or 0x hex, optionally negative; nullopt on anything else or overflow.
std::optional<std::int64_t> ParseNumber(std::string_view word);

}  // namespace murrelet::scenario
