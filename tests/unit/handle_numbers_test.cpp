#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "kit/handle_numbers.h"

namespace murrelet {
namespace {

TEST(HandleNumbers, GivesNumbersInOneToTwoToThe31NotTakenAndNotReusedAtOnce) {
  struct Case {
    const char* name;
    std::uint32_t first;
    std::set<std::uint32_t> live;  // taken before the first number is asked for
    bool giveBackFirst;            // the first number is given back before the next one
    std::vector<std::uint32_t> expected;
  };
  constexpr std::uint32_t kLast = HandleNumbers::kLast;
  const Case cases[] = {
      {"counts up from 1", 1, {}, false, {1, 2, 3}},
      {"skips live numbers", 1, {1, 3}, false, {2, 4, 5}},
      {"a number given back is not handed out again at once", 1, {}, true, {1, 2, 3}},
      {"goes round after 0x7FFFFFFF to 1, never 0 nor negative", kLast - 1, {}, false, {kLast - 1, kLast, 1, 2}},
      {"going round skips live numbers too", kLast, {1, 2}, true, {kLast, 3, 4}},
      {"a first number out of range starts at 1", 0, {}, false, {1, 2}},
      {"a first number at 2^31 starts at 1", 0x80000000u, {}, false, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HandleNumbers numbers(c.first);
    std::set<std::uint32_t> live = c.live;
    std::vector<std::uint32_t> given;
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      const std::uint32_t number = numbers.Next([&live](std::uint32_t n) { return live.contains(n); });
      given.push_back(number);
      live.insert(number);
      if (i == 0 && c.giveBackFirst) live.erase(number);
    }
    EXPECT_EQ(given, c.expected);
  }
}

}  // namespace
}  // namespace murrelet
