// The windows' roles and the answer to a close box are the core's: a host
// only hands the request over.
#include <gtest/gtest.h>

#include "charging/application.h"
#include "charging/conf_form.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_platform.h"

namespace murrelet {
namespace {

TEST(WindowContract, EachWindowKnowsItsRole) {
  sim::SimPlatform sim;
  TApplication app(sim.platform);
  ASSERT_EQ(app.Start(), TApplication::StartResult::Running);
  EXPECT_EQ(app.MainForm()->Role(), WindowRole::Main);
  EXPECT_EQ(app.ConfForm()->Role(), WindowRole::Dialog);
}

TEST(WindowContract, TheDialogsCloseBoxAnswersCancelAndTheMainWindowsClosesTheProgram) {
  sim::SimPlatform sim;
  TApplication app(sim.platform);
  app.Start();
  TConfForm& conf = *app.ConfForm();
  // The dialog's close box, pressed while it runs its modal loop.
  sim.forms.modalScript = [&app, &conf](Form&) { app.CloseRequested(conf); };
  TModalResult answer = TModalResult::None;
  app.Deliver([&] { answer = sim.forms.ShowModal(conf); });
  EXPECT_EQ(answer, TModalResult::Cancel);
  EXPECT_TRUE(app.Running());

  // A first start leaves the key empty until the close handler writes it.
  EXPECT_EQ(sim.store.keys[SettingsKeyPath()].count(kValueKestraName), 0u);
  app.CloseRequested(*app.MainForm());
  EXPECT_FALSE(app.Running());
  EXPECT_EQ(sim.store.keys[SettingsKeyPath()].count(kValueKestraName), 1u);
}

}  // namespace
}  // namespace murrelet
