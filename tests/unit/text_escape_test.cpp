// The escapes and line splitting shared by the settings file and the scenario
// scripts, and the script lexer's rest of the line, which `expect` reads its
// JSON from.
#include "kit/text_escape.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tools/scenario/script_lexer.h"

namespace murrelet {
namespace {

constexpr EscapeLetter kLetters[] = {{'\\', '\\'}, {'s', ' '}, {'n', '\n'}};

TEST(TextEscape, ReadsOneEscapeOrNone) {
  struct Case {
    std::string_view afterBackslash;
    std::size_t read;
    std::string byte;
  };
  const Case cases[] = {
      {"\\rest", 1, "\\"}, {"s", 1, " "}, {"nn", 1, "\n"}, {"x41", 3, "A"}, {"xfFz", 3, "\xff"},
      {"x0a", 3, "\n"},    {"x4", 0, ""}, {"x", 0, ""},    {"x4g", 0, ""},  {"xg4", 0, ""},
      {"q", 0, ""},        {"", 0, ""},   {"t", 0, ""},    {"\"", 0, ""},
  };
  for (const Case& c : cases) {
    std::string out = "<";
    EXPECT_EQ(ReadEscape(c.afterBackslash, kLetters, out), c.read) << c.afterBackslash;
    EXPECT_EQ(out, "<" + c.byte) << c.afterBackslash;
  }
}

TEST(TextEscape, HexDigitsOfEitherCase) {
  const std::string digits = "0123456789abcdefABCDEF";
  for (std::size_t n = 0; n < digits.size(); ++n) EXPECT_EQ(HexDigitValue(digits[n]), n < 16 ? int(n) : int(n) - 6);
  for (char c : {'g', 'G', ' ', '/', ':', '@', '`', '\0', '\xff'}) EXPECT_EQ(HexDigitValue(c), -1);
}

TEST(TextEscape, SplitsLinesKeepingTheLastOne) {
  using Lines = std::vector<std::string_view>;
  EXPECT_EQ(SplitLines(""), Lines({""}));
  EXPECT_EQ(SplitLines("a"), Lines({"a"}));
  EXPECT_EQ(SplitLines("a\n"), Lines({"a", ""}));
  EXPECT_EQ(SplitLines("a\r\n\nb"), Lines({"a\r", "", "b"}));
}

TEST(ScriptLexer, GivesEachWordTheRestOfItsLineUpToAComment) {
  struct Case {
    std::string_view line;
    std::vector<std::string> words;
    std::vector<std::string_view> rests;
    std::vector<bool> quoted;
  };
  const Case cases[] = {
      {"expect main.panels.0 \"a # b\"  # note",
       {"expect", "main.panels.0", "a # b"},
       {" main.panels.0 \"a # b\"  ", " \"a # b\"  ", "  "},
       {false, false, true}},
      {"expect a {\"k\":[1, 2]}",
       {"expect", "a", "{k:[1,", "2]}"},
       {" a {\"k\":[1, 2]}", " {\"k\":[1, 2]}", " 2]}", ""},
       {false, false, true, false}},
      {"  tick#5", {"tick"}, {""}, {false}},
      {"device add name=\"A\\x42 C\"\r",
       {"device", "add", "name=AB C"},
       {" add name=\"A\\x42 C\"\r", " name=\"A\\x42 C\"\r", "\r"},
       {false, false, true}},
      {"# only a comment", {}, {}, {}},
  };
  for (const Case& c : cases) {
    const scenario::LexResult lexed = scenario::SplitWords(c.line);
    EXPECT_EQ(lexed.error, "") << c.line;
    EXPECT_EQ(lexed.words, c.words) << c.line;
    EXPECT_EQ(lexed.rests, c.rests) << c.line;
    EXPECT_EQ(lexed.quoted, c.quoted) << c.line;
  }
}

TEST(ScriptLexer, RefusesBadQuotes) {
  EXPECT_EQ(scenario::SplitWords("store set A sz \"x\\q\"").error, "bad escape in quotes");
  EXPECT_EQ(scenario::SplitWords("store set A sz \"x\\x4\"").error, "bad escape in quotes");
  EXPECT_EQ(scenario::SplitWords("store set A sz \"x").error, "unterminated quote");
  EXPECT_EQ(scenario::SplitWords("store set A sz \"x\\").error, "unterminated quote");
}

}  // namespace
}  // namespace murrelet
