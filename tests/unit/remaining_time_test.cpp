// The time left in a run reads as a duration, the same on every desktop.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "charging/remaining_time.h"

namespace murrelet {
namespace {

TEST(FormatRemainingTime, HoursUnpaddedMinutesAndSecondsTwoDigits) {
  struct Case {
    std::int32_t seconds;
    const char* text;
  };
  const Case cases[] = {
      {0, "0:00:00"},       {1, "0:00:01"},          {599, "0:09:59"},
      {3599, "0:59:59"},    {3600, "1:00:00"},       {24599, "6:49:59"},
      {86399, "23:59:59"},  {86400, "24:00:00"},     {-10, "0:00:00"},
      {std::numeric_limits<std::int32_t>::max(), "596523:14:07"},
  };
  std::string text = "left over from before";
  for (const Case& c : cases) {
    FormatRemainingTime(c.seconds, text);
    EXPECT_EQ(text, c.text) << c.seconds;
  }
}

}  // namespace
}  // namespace murrelet
