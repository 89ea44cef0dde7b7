// What a screen reader calls each control of both windows, and where the
// keyboard focus goes when the control holding it is disabled by the
// program's own action.
#include <gtest/gtest.h>

#include <string>

#include "charging/application.h"
#include "charging/settings_key.h"
#include "platform/sim/sim_platform.h"
#include "tests/stored_settings.h"

namespace murrelet {
namespace {

struct Started {
  explicit Started(bool handset = true) {
    murrelet::testing::StoredSettings settings;
    settings.suspendDisable = 0;
    murrelet::testing::StoreSettings(sim.store, settings);
    if (handset) {
      sim::SimLineDevice device;
      device.name = "KESTRA T48R";
      sim.tapi.devices.push_back(device);
    }
    app.Start();
  }
  ~Started() { app.WindowsEnding(); }
  std::string NameOf(const Form& form, std::string_view control) {
    return AccessibleName(*form.RowOf(control), form.Find(control));
  }

  sim::SimPlatform sim;
  TApplication app{sim.platform};
};

TEST(AccessibleNames, EveryControlOfBothWindowsIsNamed) {
  Started env;
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  struct Case {
    const Form* form;
    const char* control;
    const char* name;
  };
  const Case cases[] = {
      {&main, "LMDGroupBox1", "電源の状態"},
      {&main, "LMDSimpleLabel1", "現在の電源"},
      {&main, "LMDLabel1", "現在の電源 AC電源"},
      {&main, "LMDSimpleLabel3", "バッテリ容量"},
      {&main, "LMDProgress", "バッテリ容量"},
      {&main, "LMDGroupBox2", "充電設定"},
      {&main, "SpinEdit1", "充電時間 時間"},
      {&main, "SpinEdit2", "充電時間 分"},
      {&main, "LMDCheckBox1", "終了時にシャットダウンする"},
      {&main, "SpeedButton1", "環境設定"},
      {&main, "SpeedButton2", "充電開始"},
      {&main, "SpeedButton3", "充電停止"},
      {&conf, "StaticText", "KESTRAの機種名"},
      {&conf, "CheckBox1", "ＡＣ電源供給時のみ、充電を許可する。"},
      {&conf, "CheckBox2", "バッテリの残り容量が"},
      {&conf, "SpinEdit1", "バッテリの残り容量が ％を下回ったら充電停止"},
      {&conf, "CheckBox3", "充電中はサスペンドを無効にする。"},
      {&conf, "Button1", "OK"},
      {&conf, "Button2", "ｷｬﾝｾﾙ"},
      {&conf, "CheckBox4", "ハンドセットを接続したら自動的に充電を開始する。"},
      {&conf, "CheckBox5", "ログイン時に起動する。"},
      {&conf, "CheckBox6", "通知領域にアイコンを表示する。"},
  };
  // The dialog shows the handset's name once it has been filled.
  env.sim.forms.modalScript = [](Form& form) { form.ModalResult = TModalResult::Cancel; };
  env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
  for (const Case& c : cases) {
    EXPECT_EQ(env.NameOf(*c.form, c.control), c.name) << c.control;
  }
  // Every control the keyboard reaches has a name.
  for (const Form* form : {static_cast<const Form*>(&main), static_cast<const Form*>(&conf)}) {
    for (const ControlLayout& row : form->Layout()) {
      if (TakesFocus(row.kind)) {
        EXPECT_FALSE(env.NameOf(*form, row.name).empty()) << row.name;
      }
    }
  }
  // A power text the program writes keeps its caption in front.
  env.sim.power.status.ACLineStatus = 0;
  env.app.Deliver([&] { main.PowerInfo(); });
  EXPECT_EQ(env.NameOf(main, "LMDLabel1"), "現在の電源 バッテリ");
}

TEST(KeyboardFocus, ADisabledButtonHandsTheFocusToTheButtonThatNowActs) {
  Started env;
  TMainForm& main = *env.app.MainForm();
  env.app.Deliver([&] { main.Timer1.Fire(); });
  ASSERT_TRUE(main.SpeedButton2.Enabled());
  EXPECT_EQ(FocusAfter(main, main.SpeedButton2), &main.SpeedButton2) << "an enabled control keeps it";

  env.app.Deliver([&] { main.SpeedButton2.UserClick(); });
  ASSERT_TRUE(main.Run.Charging);
  EXPECT_EQ(FocusAfter(main, main.SpeedButton2), &main.SpeedButton3);
  EXPECT_EQ(FocusAfter(main, main.SpinEdit1), &main.SpeedButton3) << "the only enabled stop";

  env.app.Deliver([&] { main.SpeedButton3.UserClick(); });
  EXPECT_EQ(FocusAfter(main, main.SpeedButton3), &main.SpeedButton2);

  // The handset goes away: start and stop are both off, so the focus moves on
  // in tab order, round to the hours box.
  env.sim.tapi.devices.clear();
  env.app.Deliver([&] { main.Timer1.Fire(); });
  ASSERT_FALSE(main.SpeedButton2.Enabled());
  EXPECT_EQ(FocusAfter(main, main.SpeedButton2), &main.SpinEdit1);
  EXPECT_EQ(FocusAfter(main, main.SpeedButton3), &main.SpinEdit1);
}

TEST(KeyboardFocus, TheDialogsBatteryControlsHandTheFocusOnWhenTheACRuleDisablesThem) {
  Started env;
  TConfForm& conf = *env.app.ConfForm();
  conf.CheckBox1.SetChecked(false);
  env.app.Deliver([&] { conf.CheckBox1.UserSetChecked(true); });
  EXPECT_EQ(FocusAfter(conf, conf.CheckBox2), &conf.CheckBox3);
  EXPECT_EQ(FocusAfter(conf, conf.SpinEdit1), &conf.CheckBox3);
  // Nothing enabled: nowhere to go.
  for (Control* control : conf.Controls()) control->SetEnabled(false);
  EXPECT_EQ(FocusAfter(conf, conf.Button1), nullptr);
}

}  // namespace
}  // namespace murrelet
