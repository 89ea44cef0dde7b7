// The shared window layouts and the controls the core registers agree: every
// row has a control of its own kind, so the GUIs can cast by the row.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>
#include <vector>

#include "charging/application.h"
#include "charging/conf_form.h"
#include "charging/main_form.h"
#include "charging/window_layouts.h"
#include "kit/form.h"
#include "kit/layout_fit.h"
#include "platform/sim/sim_platform.h"

namespace murrelet {
namespace {

constexpr ControlLayout kOneButton[] = {
    {"Button", ControlKind::Button, "", 0, 0, 10, 10, "押す"},
};

class OneControlForm : public Form {
 public:
  explicit OneControlForm(Control& control) : Form("Test", "Test", 10, 10, kOneButton) { Add(control); }
};

TEST(FormLayout, AControlTakesItsDesignTextFromTheRowOfItsName) {
  TButton button{"Button"};
  OneControlForm form(button);
  EXPECT_EQ(button.Text(), "押す");
  EXPECT_EQ(form.Find("Button"), &button);
}

TEST(FormLayout, AControlOfAnotherKindThanItsRowIsRefused) {
  TCheckBox check{"Button"};
  EXPECT_THROW(OneControlForm form(check), std::logic_error);
}

TEST(FormLayout, EveryRowOfBothWindowsHasAControlOfItsKind) {
  sim::SimPlatform sim;
  TApplication app(sim.platform);
  ASSERT_EQ(app.Start(), TApplication::StartResult::Running);
  for (const Form* form : {static_cast<const Form*>(app.MainForm()), static_cast<const Form*>(app.ConfForm())}) {
    for (const ControlLayout& row : form->Layout()) {
      const Control* control = form->Find(row.name);
      ASSERT_NE(control, nullptr) << form->Name() << ": no control for " << row.name;
      EXPECT_EQ(control->Kind(), row.kind) << form->Name() << ": " << row.name;
    }
  }
}

TEST(FormLayout, TheSettingsDialogReadsTopToBottomAndEndsInItsButtons) {
  const auto layout = ConfFormLayout();
  const FittedLayout design = FitLayout(layout, {}, kConfClientWidth, kConfClientHeight);
  const auto at = [&](std::string_view name) {
    for (std::size_t i = 0; i < layout.size(); ++i) {
      if (layout[i].name == name) return InClientArea(layout, design, i);
    }
    ADD_FAILURE() << "no row " << name;
    return LayoutRect{};
  };
  const auto row = [&](std::string_view name) -> const ControlLayout& {
    for (const ControlLayout& r : layout) {
      if (r.name == name) return r;
    }
    throw std::logic_error("no row");
  };
  // The Tab order is the rows' order: OK and cancel last, the boxes that
  // start without a click in their own group before them.
  std::vector<std::string_view> tabs;
  for (const ControlLayout& r : layout) {
    if (TakesFocus(r.kind)) tabs.push_back(r.name);
  }
  const std::vector<std::string_view> expected = {"StaticText", "CheckBox1", "CheckBox2", "SpinEdit1", "CheckBox3",
                                                  "CheckBox4",  "CheckBox5", "CheckBox6", "Button1",   "Button2"};
  EXPECT_EQ(tabs, expected);
  EXPECT_EQ(row("LMDGroupBox1").text, "パワーマネージネントの設定");
  EXPECT_EQ(row("LMDGroupBox4").text, "自動起動の設定");
  for (const char* box : {"CheckBox4", "CheckBox5", "CheckBox6"}) {
    EXPECT_EQ(row(box).parent, "LMDGroupBox4") << box;
  }
  // The new group directly below the power group, as wide; its three boxes
  // one under the other at one pitch, the third inside the group's frame.
  const LayoutRect power = at("LMDGroupBox1");
  const LayoutRect start = at("LMDGroupBox4");
  EXPECT_GT(start.top, power.Bottom());
  EXPECT_EQ(start.left, power.left);
  EXPECT_EQ(start.width, power.width);
  const LayoutRect first = at("CheckBox4");
  const LayoutRect second = at("CheckBox5");
  const LayoutRect third = at("CheckBox6");
  EXPECT_GT(second.top, first.Bottom());
  EXPECT_EQ(third.left, second.left);
  EXPECT_EQ(third.width, second.width);
  EXPECT_EQ(third.top - second.top, second.top - first.top);
  EXPECT_LE(third.Bottom(), start.Bottom() - 4);
  // Every other row ends above the buttons; the buttons sit at the bottom right.
  const LayoutRect ok = at("Button1");
  const LayoutRect cancel = at("Button2");
  for (std::size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].name == "Button1" || layout[i].name == "Button2") continue;
    EXPECT_LT(InClientArea(layout, design, i).Bottom(), ok.top) << layout[i].name;
  }
  EXPECT_EQ(ok.top, cancel.top);
  EXPECT_LT(ok.Right(), cancel.left);
  EXPECT_EQ(cancel.Right(), start.Right());
  EXPECT_EQ(kConfClientHeight - cancel.Bottom(), 8);
}

}  // namespace
}  // namespace murrelet
