// How the power snapshot reads on the main window: text by AC state, suffix
// by the whole battery flag byte, and the label font.
#include <gtest/gtest.h>

#include <optional>

#include "charging/power_display.h"

namespace murrelet {
namespace {

TEST(DescribePowerSource, SuffixByTheWholeBatteryFlagByte) {
  struct Case {
    std::uint8_t flag;
    const char* text;  // on AC power
  };
  const Case cases[] = {
      {0, "AC電源"},           {1, "AC電源(放電中)"}, {2, "AC電源(Low)"},    {3, "AC電源"},
      {4, "AC電源(危険)"},     {5, "AC電源"},         {6, "AC電源(危険)"},   {7, "AC電源"},
      {8, "AC電源(充電中)"},   {9, "AC電源(充電中)"}, {10, "AC電源(充電中)"}, {15, "AC電源(充電中)"},
      {16, "AC電源"},          {127, "AC電源"},       {128, "バッテリなし"},  {129, "AC電源"},
      {136, "AC電源"},         {255, "AC電源"},
  };
  for (const Case& c : cases) {
    PowerSourceText out;
    DescribePowerSource(1, c.flag, out);
    EXPECT_EQ(out.text, c.text) << int(c.flag);
    EXPECT_EQ(out.color, FontColor::WindowText) << int(c.flag);
    EXPECT_FALSE(out.bold) << int(c.flag);
  }
}

TEST(DescribePowerSource, FontByACState) {
  struct Case {
    std::uint8_t ac, flag;
    const char* text;
    std::optional<FontColor> color;
    bool bold;
  };
  const Case cases[] = {
      {0, 1, "バッテリ(放電中)", FontColor::Red, true},
      {0, 128, "バッテリなし", FontColor::Red, true},
      {1, 128, "バッテリなし", FontColor::WindowText, false},
      {2, 0, "不明", std::nullopt, false},
      {255, 9, "不明(充電中)", std::nullopt, false},
      {255, 128, "バッテリなし", std::nullopt, false},
  };
  for (const Case& c : cases) {
    PowerSourceText out;
    out.text = "left over";
    DescribePowerSource(c.ac, c.flag, out);
    EXPECT_EQ(out.text, c.text) << int(c.ac) << "/" << int(c.flag);
    EXPECT_EQ(out.color, c.color) << int(c.ac) << "/" << int(c.flag);
    if (c.color) {
      EXPECT_EQ(out.bold, c.bold);
    }
  }
}

}  // namespace
}  // namespace murrelet
