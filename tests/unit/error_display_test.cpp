#include <gtest/gtest.h>

#include "charging/error_display.h"

namespace murrelet {
namespace {

TEST(StandardErrorDisplay, AppendsAFullStopOnlyAfterBytesThatSortAfterIt) {
  struct Case {
    const char* message;
    const char* shown;
  };
  const Case cases[] = {
      {"Out of memory", "Out of memory."},
      {"ends with a stop.", "ends with a stop."},
      {"ends with a comma,", "ends with a comma,"},
      {"ends with a dash-", "ends with a dash-"},
      {"ends with a slash/", "ends with a slash/."},
      {"コンピュータの電源を切ることができませんでした。", "コンピュータの電源を切ることができませんでした。."},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StandardErrorText(c.message), c.shown) << c.message;
}

}  // namespace
}  // namespace murrelet
