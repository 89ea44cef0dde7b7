// The shared window layouts and the controls the core registers agree: every
// row has a control of its own kind, so the GUIs can cast by the row.
#include <gtest/gtest.h>

#include <stdexcept>

#include "charging/application.h"
#include "charging/conf_form.h"
#include "charging/main_form.h"
#include "kit/form.h"
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

}  // namespace
}  // namespace murrelet
