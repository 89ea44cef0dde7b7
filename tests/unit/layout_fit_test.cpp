// Growing a window's design round texts that need more room than the design
// gave them: what moves, what grows, what stays.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "charging/window_layouts.h"
#include "kit/layout_fit.h"

namespace murrelet {
namespace {

using K = ControlKind;

// A dialog in the shape of the settings dialog: a label, a box and a label on
// one line inside a group inside a group, a check box below, buttons below.
constexpr ControlLayout kDialog[] = {
    {"Outer", K::Group, "", 8, 8, 200, 100, "外"},
    {"Top", K::CheckBox, "Outer", 16, 16, 100, 17, "上"},
    {"Inner", K::Group, "Outer", 16, 40, 170, 30, "内"},
    {"Left", K::CheckBox, "Inner", 8, 8, 60, 17, "左"},
    {"Box", K::SpinEdit, "Inner", 72, 8, 40, 17, ""},
    {"Right", K::Label, "Inner", 116, 8, 40, 17, "右"},
    {"Bottom", K::CheckBox, "Outer", 16, 76, 100, 17, "下"},
    {"Ok", K::Button, "", 64, 116, 60, 20, "OK"},
    {"Cancel", K::Button, "", 148, 116, 60, 20, "ｷｬﾝｾﾙ"},
    {"Bar", K::StatusBar, "", 0, 140, 216, 20, ""},
};
constexpr int kWidth = 216;
constexpr int kHeight = 160;

std::size_t IndexOf(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kDialog); ++i) {
    if (kDialog[i].name == name) return i;
  }
  ADD_FAILURE() << "no row " << name;
  return 0;
}

struct Need {
  std::string_view row;
  ContentSize size;
};

FittedLayout FitWith(std::initializer_list<Need> given) {
  std::vector<ContentSize> needs(std::size(kDialog));
  for (const Need& need : given) needs[IndexOf(need.row)] = need.size;
  return FitLayout(kDialog, needs, kWidth, kHeight);
}

LayoutRect Rect(const FittedLayout& fitted, std::string_view name) { return fitted.rects[IndexOf(name)]; }

// The small dialog above and both windows of the program, at their design sizes.
struct Design {
  std::span<const ControlLayout> layout;
  int width, height;
};
std::vector<Design> Designs() {
  return {{kDialog, kWidth, kHeight},
          {MainFormLayout(), kMainClientWidth, kMainClientHeight},
          {ConfFormLayout(), kConfClientWidth, kConfClientHeight}};
}

TEST(LayoutFit, ContentsThatFitLeaveEveryDesignAsItIs) {
  for (const Design& design : Designs()) {
    // Every row needing its design size, or a little less, or nothing.
    for (const int less : {0, 3}) {
      std::vector<ContentSize> needs;
      for (const ControlLayout& row : design.layout) needs.push_back({row.width - less, row.height - less});
      const FittedLayout fitted = FitLayout(design.layout, needs, design.width, design.height);
      EXPECT_EQ(fitted.clientWidth, design.width);
      EXPECT_EQ(fitted.clientHeight, design.height);
      for (std::size_t i = 0; i < design.layout.size(); ++i) {
        const ControlLayout& row = design.layout[i];
        EXPECT_EQ(fitted.rects[i], (LayoutRect{row.left, row.top, row.width, row.height})) << row.name;
      }
    }
    const FittedLayout nothing = FitLayout(design.layout, {}, design.width, design.height);
    EXPECT_EQ(nothing.clientWidth, design.width);
  }
}

TEST(LayoutFit, AWiderTextPushesItsLineGrowsItsGroupsAndTheWindow) {
  // "Left" needs 20 more: "Box" and "Right" move 20, gaps kept; "Right" now
  // ends at 176, so "Inner" keeps its 14 px margin and grows to 190; "Outer"
  // keeps its 14 px margin round it and grows 20; the window 20.
  const FittedLayout fitted = FitWith({{"Left", {80, 0}}});
  EXPECT_EQ(Rect(fitted, "Left"), (LayoutRect{8, 8, 80, 17}));
  EXPECT_EQ(Rect(fitted, "Box"), (LayoutRect{92, 8, 40, 17}));
  EXPECT_EQ(Rect(fitted, "Right"), (LayoutRect{136, 8, 40, 17}));
  EXPECT_EQ(Rect(fitted, "Inner"), (LayoutRect{16, 40, 190, 30}));
  EXPECT_EQ(Rect(fitted, "Outer"), (LayoutRect{8, 8, 220, 100}));
  EXPECT_EQ(fitted.clientWidth, kWidth + 20);
  // Rows on other lines stay where they were; the buttons keep their size
  // and place; the status bar, which reached the window's edge, still does.
  EXPECT_EQ(Rect(fitted, "Top"), (LayoutRect{16, 16, 100, 17}));
  EXPECT_EQ(Rect(fitted, "Cancel"), (LayoutRect{148, 116, 60, 20}));
  EXPECT_EQ(Rect(fitted, "Bar"), (LayoutRect{0, 140, kWidth + 20, 20}));
}

TEST(LayoutFit, ATallerTextPushesWhatLiesBelowItAndTheWindow) {
  const FittedLayout fitted = FitWith({{"Top", {0, 21}}});
  EXPECT_EQ(Rect(fitted, "Top"), (LayoutRect{16, 16, 100, 21}));
  EXPECT_EQ(Rect(fitted, "Inner").top, 44);
  EXPECT_EQ(Rect(fitted, "Bottom").top, 80);
  EXPECT_EQ(Rect(fitted, "Outer").height, 104);
  EXPECT_EQ(Rect(fitted, "Ok").top, 120);
  EXPECT_EQ(Rect(fitted, "Cancel").top, 120);
  EXPECT_EQ(Rect(fitted, "Bar").top, 144);
  EXPECT_EQ(fitted.clientHeight, kHeight + 4);
  // The line inside the inner group only moved with its group.
  EXPECT_EQ(Rect(fitted, "Left"), (LayoutRect{8, 8, 60, 17}));
  EXPECT_EQ(InClientArea(kDialog, fitted, IndexOf("Left")), (LayoutRect{32, 60, 60, 17}));
}

TEST(LayoutFit, AGroupCaptionWiderThanItsGroupWidensIt) {
  const FittedLayout fitted = FitWith({{"Outer", {230, 0}}});
  EXPECT_EQ(Rect(fitted, "Outer").width, 230);
  EXPECT_EQ(fitted.clientWidth, 8 + 230 + 8);
}

TEST(LayoutFit, NoFittedRowOverlapsAnotherOfItsGroupOrLeavesIt) {
  // Every row of both windows asking for half as much room again.
  for (const Design& design : Designs()) {
    std::vector<ContentSize> needs;
    for (const ControlLayout& row : design.layout) {
      needs.push_back(row.kind == K::Group || row.kind == K::Picture ? ContentSize{} : ContentSize{row.width * 3 / 2, row.height + 4});
    }
    const FittedLayout fitted = FitLayout(design.layout, needs, design.width, design.height);
    for (std::size_t a = 0; a < design.layout.size(); ++a) {
      const LayoutRect first = fitted.rects[a];
      EXPECT_GE(first.width, needs[a].width) << design.layout[a].name;
      EXPECT_GE(first.height, needs[a].height) << design.layout[a].name;
      for (std::size_t b = a + 1; b < design.layout.size(); ++b) {
        if (design.layout[a].parent != design.layout[b].parent) continue;
        const LayoutRect second = fitted.rects[b];
        const bool apart = first.Right() <= second.left || second.Right() <= first.left ||
                           first.Bottom() <= second.top || second.Bottom() <= first.top;
        EXPECT_TRUE(apart) << design.layout[a].name << " and " << design.layout[b].name;
      }
      // Inside its parent (or the client area).
      int width = fitted.clientWidth;
      int height = fitted.clientHeight;
      for (std::size_t p = 0; p < design.layout.size(); ++p) {
        if (design.layout[p].name == design.layout[a].parent) {
          width = fitted.rects[p].width;
          height = fitted.rects[p].height;
        }
      }
      EXPECT_LE(first.Right(), width) << design.layout[a].name;
      EXPECT_LE(first.Bottom(), height) << design.layout[a].name;
    }
  }
}


TEST(LayoutFit, TextsThatChangeLaterNarrowAndThePanelsFillTheirBar) {
  // The one narrowing rule of both front ends: rounded down, never below
  // the least stretch.
  EXPECT_EQ(StretchToFit(100, 100), 100);
  EXPECT_EQ(StretchToFit(90, 100), 100);
  EXPECT_EQ(StretchToFit(110, 100), 90);
  EXPECT_EQ(StretchToFit(1000, 100), kMinStretch);
  EXPECT_EQ(StretchToFit(100, -5), kMinStretch);
  // The main window's bar: the clock's panel reaches the bar's end on both
  // (the system's bar keeps its own gap: 0 here), nothing is left over.
  const int widths[] = {kStatusPanel0Width, kStatusPanel1Width};
  EXPECT_EQ(StatusPanelSpans(widths, 2, 245), (std::vector<PanelSpan>{{0, 180}, {182, 63}}));
  EXPECT_EQ(StatusPanelSpans(widths, 0, 245), (std::vector<PanelSpan>{{0, 180}, {180, 65}}));
  EXPECT_EQ(StatusPanelSpans(widths, 2, 200), (std::vector<PanelSpan>{{0, 180}, {182, 50}})) << "never narrower";
  EXPECT_TRUE(StatusPanelSpans({}, 2, 245).empty());
  // Kept in place (Linux): a control grows into free room only.
  EXPECT_EQ(FittedWidth(100, 90, 200), 100);
  EXPECT_EQ(FittedWidth(100, 120, 200), 120);
  EXPECT_EQ(FittedWidth(100, 250, 200), 200);
  EXPECT_EQ(FittedWidth(100, 250, 50), 100);
  {
    // The battery check box of the settings dialog stops short of the spin box beside it.
    const auto conf = ConfFormLayout();
    const auto named = [&](std::string_view name) {
      for (const ControlLayout& r : conf) {
        if (r.name == name) return r;
      }
      return ControlLayout{};
    };
    EXPECT_EQ(RoomToTheRight(named("CheckBox2"), conf, 343), 152 - 16 - 1);
    EXPECT_EQ(RoomToTheRight(named("Label1"), conf, 343), 343 - 200);
  }
  // A wider battery box in the settings dialog pushes its spin box and label
  // along instead of running under them.
  const auto layout = ConfFormLayout();
  std::vector<ContentSize> needs(layout.size());
  std::size_t box = 0, spin = 0, label = 0;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].name == "CheckBox2") box = i;
    if (layout[i].name == "SpinEdit1") spin = i;
    if (layout[i].name == "Label1") label = i;
  }
  needs[box].width = layout[box].width + 30;
  const FittedLayout fitted = FitLayout(layout, needs, kConfClientWidth, kConfClientHeight);
  EXPECT_EQ(fitted.rects[spin].left - fitted.rects[box].Right(), layout[spin].left - layout[box].left - layout[box].width);
  EXPECT_EQ(fitted.rects[label].left, layout[label].left + 30);
}

}  // namespace
}  // namespace murrelet
