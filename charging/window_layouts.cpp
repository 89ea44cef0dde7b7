#include "charging/window_layouts.h"

namespace murrelet {
namespace {

using K = ControlKind;

constexpr ControlLayout kMain[] = {
    {"Image1", K::Picture, "", 0, 0, 56, 214, "", Align::Left, "picture"},
    {"LMDGroupBox1", K::Group, "", 64, 8, 241, 65, "電源の状態"},
    {"LMDSimpleLabel1", K::Label, "LMDGroupBox1", 16, 16, 65, 15, "現在の電源"},
    {"LMDLabel1", K::Label, "LMDGroupBox1", 96, 16, 137, 14, "", Align::Center, {}, "現在の電源"},
    {"LMDSimpleLabel3", K::Label, "LMDGroupBox1", 16, 40, 65, 15, "バッテリ容量"},
    {"LMDProgress", K::ProgressBar, "LMDGroupBox1", 96, 40, 135, 17, "", Align::Left, {}, "バッテリ容量"},
    {"LMDGroupBox2", K::Group, "", 64, 80, 241, 73, "充電設定"},
    {"LMDSimpleLabel2", K::Label, "LMDGroupBox2", 16, 16, 57, 25, "充電時間"},
    {"SpinEdit1", K::SpinEdit, "LMDGroupBox2", 80, 16, 41, 21, "", Align::Left, {}, "充電時間 時間"},
    {"LMDSimpleLabel4", K::Label, "LMDGroupBox2", 128, 16, 33, 25, "時間"},
    {"SpinEdit2", K::SpinEdit, "LMDGroupBox2", 168, 16, 41, 21, "", Align::Left, {}, "充電時間 分"},
    {"LMDSimpleLabel6", K::Label, "LMDGroupBox2", 216, 16, 17, 25, "分"},
    {"LMDCheckBox1", K::CheckBox, "LMDGroupBox2", 40, 48, 169, 17, "終了時にシャットダウンする"},
    {"SpeedButton1", K::Button, "", 64, 160, 25, 25, "", Align::Center, "settings"},
    {"SpeedButton2", K::Button, "", 112, 160, 89, 25, "充電開始", Align::Center, "start", {}, "SpeedButton3"},
    {"SpeedButton3", K::Button, "", 216, 160, 89, 25, "充電停止", Align::Center, "stop", {}, "SpeedButton2"},
    {"StatusBar", K::StatusBar, "", 60, 192, 245, 22, ""},
};

constexpr ControlLayout kConf[] = {
    {"LMDGroupBox3", K::Group, "", 8, 8, 377, 81, "KESTRAの情報"},
    {"Label2", K::Label, "LMDGroupBox3", 16, 24, 97, 17, "KESTRAの機種名"},
    {"StaticText", K::ComboBox, "LMDGroupBox3", 120, 22, 177, 21, "", Align::Left, {}, "KESTRAの機種名"},
    {"LMDSimpleLabel1", K::Label, "LMDGroupBox3", 40, 56, 281, 14, "※KESTRAの「PC充電機能」をONに設定してください。"},
    {"LMDGroupBox1", K::Group, "", 8, 104, 377, 137, "パワーマネージネントの設定"},
    {"CheckBox1", K::CheckBox, "LMDGroupBox1", 16, 24, 217, 17, "ＡＣ電源供給時のみ、充電を許可する。"},
    {"LMDGroupBox2", K::Group, "LMDGroupBox1", 16, 48, 345, 57, "バッテリ駆動時の設定"},
    {"CheckBox2", K::CheckBox, "LMDGroupBox2", 16, 24, 129, 25, "バッテリの残り容量が"},
    {"SpinEdit1", K::SpinEdit, "LMDGroupBox2", 152, 24, 41, 21, "", Align::Left, {}, "バッテリの残り容量が ％を下回ったら充電停止"},
    {"Label1", K::Label, "LMDGroupBox2", 200, 24, 137, 25, "％を下回ったら充電停止"},
    {"CheckBox3", K::CheckBox, "LMDGroupBox1", 16, 112, 201, 17, "充電中はサスペンドを無効にする。"},
    // What starts without a click and where the program lives while it runs.
    {"LMDGroupBox4", K::Group, "", 8, 248, 377, 97, "自動起動の設定"},
    {"CheckBox4", K::CheckBox, "LMDGroupBox4", 16, 24, 345, 17, "ハンドセットを接続したら自動的に充電を開始する。"},
    {"CheckBox5", K::CheckBox, "LMDGroupBox4", 16, 48, 345, 17, "ログイン時に起動する。"},
    {"CheckBox6", K::CheckBox, "LMDGroupBox4", 16, 72, 345, 17, "通知領域にアイコンを表示する。"},
    // The buttons end the dialog, on the page and in Tab order.
    {"Button1", K::Button, "", 192, 356, 89, 25, "OK", Align::Center},
    {"Button2", K::Button, "", 296, 356, 89, 25, "ｷｬﾝｾﾙ", Align::Center},
};

}  // namespace

std::span<const ControlLayout> MainFormLayout() { return kMain; }
std::span<const ControlLayout> ConfFormLayout() { return kConf; }

}  // namespace murrelet
