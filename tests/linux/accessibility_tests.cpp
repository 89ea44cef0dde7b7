// What assistive technology finds in the Qt windows: the accessible tree of
// both windows against a table of roles, names and states, and the keyboard
// alone driving the program (Tab order, Space, arrows, the focus after a button disables itself).
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QStyleOption>
#include <QTimer>
#include <map>
#include <vector>

#include "private_bus.h"
#include "qt_on_sim.h"

using namespace murrelet;
using namespace murrelet::linux_platform;

namespace {

struct Node {
  QAccessible::Role role;
  QString name;
  QAccessible::State state;
  QString value;
  std::vector<QString> children;  // names of unnamed-object children (the status panels)
};

// The whole tree under a window, by object name.
void Collect(QAccessibleInterface* node, std::map<QString, Node>& out) {
  if (node == nullptr) return;
  const QString objectName = node->object() != nullptr ? node->object()->objectName() : QString();
  Node entry{node->role(), node->text(QAccessible::Name), node->state(), {}, {}};
  if (QAccessibleValueInterface* value = node->valueInterface()) entry.value = value->currentValue().toString();
  for (int i = 0; i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    if (child != nullptr) entry.children.push_back(child->text(QAccessible::Name));
    Collect(child, out);
  }
  if (!objectName.isEmpty()) out[objectName] = entry;
}

std::map<QString, Node> TreeOf(QWidget& window) {
  std::map<QString, Node> tree;
  Collect(QAccessible::queryAccessibleInterface(&window), tree);
  return tree;
}

struct Row {
  const char* object;
  QAccessible::Role role;
  const char* name;
  bool enabled;
  bool focusable;
};

void ExpectRows(const std::map<QString, Node>& tree, std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.object);
    const auto it = tree.find(QString::fromLatin1(row.object));
    ASSERT_NE(it, tree.end()) << "not in the accessible tree";
    EXPECT_EQ(it->second.role, row.role);
    EXPECT_EQ(it->second.name, QString::fromUtf8(row.name));
    EXPECT_EQ(!it->second.state.disabled, row.enabled);
    EXPECT_EQ(bool(it->second.state.focusable), row.focusable);
  }
}

// The widget with the keyboard focus; the offscreen platform does not
// always activate a dialog opened a second time, so an open dialog's own
// focus widget stands in when no window is active.
QWidget* FocusWidget() {
  if (QWidget* widget = QApplication::focusWidget()) return widget;
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? modal->focusWidget() : nullptr;
}

void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* target = FocusWidget();
  ASSERT_NE(target, nullptr) << "no widget has the keyboard focus";
  QKeyEvent press(QEvent::KeyPress, key, modifiers, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
  QCoreApplication::sendEvent(target, &press);
  QCoreApplication::sendEvent(target, &release);
}

QString Focused() {
  QWidget* widget = FocusWidget();
  // A spin box's editor stands for the spin box.
  while (widget != nullptr && widget->objectName().isEmpty()) widget = widget->parentWidget();
  return widget != nullptr ? widget->objectName() : QString();
}

void AddHandset(QtOnSim& env) {
  sim::SimLineDevice handset;
  handset.name = "KESTRA T48R";
  env.sim.tapi.devices.push_back(handset);
}

void SaveShot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("MURRELET_SHOTS_DIR");
  if (!dir.isEmpty()) widget.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
}

}  // namespace

TEST(Accessibility, TheMainWindowsTreeNamesEveryControlWithItsRole) {
  QtOnSim env;
  env.app.Start();
  const auto tree = TreeOf(env.MainWidget());
  using A = QAccessible;
  ExpectRows(tree, {
                       {"LMDGroupBox1", A::Grouping, "電源の状態", true, false},
                       {"LMDSimpleLabel1", A::StaticText, "現在の電源", true, false},
                       {"LMDLabel1", A::StaticText, "現在の電源 AC電源", true, false},
                       {"LMDSimpleLabel3", A::StaticText, "バッテリ容量", true, false},
                       {"LMDProgress", A::ProgressBar, "バッテリ容量", true, false},
                       {"LMDGroupBox2", A::Grouping, "充電設定", true, false},
                       {"LMDSimpleLabel2", A::StaticText, "充電時間", true, false},
                       {"SpinEdit1", A::SpinBox, "充電時間 時間", true, true},
                       {"LMDSimpleLabel4", A::StaticText, "時間", true, false},
                       {"SpinEdit2", A::SpinBox, "充電時間 分", true, true},
                       {"LMDSimpleLabel6", A::StaticText, "分", true, false},
                       {"LMDCheckBox1", A::CheckBox, "終了時にシャットダウンする", true, true},
                       {"SpeedButton1", A::Button, "環境設定", true, true},
                       {"SpeedButton2", A::Button, "充電開始", true, true},
                       {"SpeedButton3", A::Button, "充電停止", false, true},
                       {"StatusBar", A::StatusBar, "", true, false},
                       {"panel0", A::StaticText, "", true, false},
                       {"panel1", A::StaticText, "", true, false},
                   });
  EXPECT_EQ(tree.at("LMDProgress").value, QStringLiteral("80")) << "the battery percent is its value";
  EXPECT_EQ(tree.at("SpinEdit2").value, QStringLiteral("0"));
  EXPECT_FALSE(tree.at("LMDCheckBox1").state.checked);

  // The panels read as the status bar's text, panel 0 included.
  env.app.Deliver([&] { env.app.MainForm()->Timer1.Fire(); });
  const auto ticked = TreeOf(env.MainWidget());
  EXPECT_EQ(ticked.at("panel0").name, QStringLiteral("KESTRA T48Rが接続されていません。"));
  EXPECT_EQ(ticked.at("panel1").name, QStringLiteral("12:00:00"));
  EXPECT_EQ(ticked.at("StatusBar").children,
            (std::vector<QString>{QStringLiteral("KESTRA T48Rが接続されていません。"), QStringLiteral("12:00:00")}));
}

TEST(Accessibility, TheSettingsDialogsTreeNamesTheThresholdByItsCheckBoxAndLabel) {
  QtOnSim env;
  env.app.Start();
  bool checked = false;
  QTimer::singleShot(0, [&] {
    checked = true;
    const auto tree = TreeOf(env.ConfWidget());
    using A = QAccessible;
    ExpectRows(tree, {
                         {"LMDGroupBox3", A::Grouping, "KESTRAの情報", true, false},
                         {"Label2", A::StaticText, "KESTRAの機種名", true, false},
                         {"StaticText", A::ComboBox, "KESTRA T48R", true, true},  // Qt: its text; labelled by Label2
                         {"LMDSimpleLabel1", A::StaticText, "※KESTRAの「PC充電機能」をONに設定してください。", true, false},
                         {"LMDGroupBox1", A::Grouping, "パワーマネージネントの設定", true, false},
                         {"CheckBox1", A::CheckBox, "ＡＣ電源供給時のみ、充電を許可する。", true, true},
                         {"LMDGroupBox2", A::Grouping, "バッテリ駆動時の設定", true, false},
                         {"CheckBox2", A::CheckBox, "バッテリの残り容量が", true, true},
                         {"SpinEdit1", A::SpinBox, "バッテリの残り容量が ％を下回ったら充電停止", true, true},
                         {"Label1", A::StaticText, "％を下回ったら充電停止", true, false},
                         {"CheckBox3", A::CheckBox, "充電中はサスペンドを無効にする。", true, true},
                         {"LMDGroupBox4", A::Grouping, "自動起動の設定", true, false},
                         {"CheckBox4", A::CheckBox, "ハンドセットを接続したら自動的に充電を開始する。", true, true},
                         {"CheckBox5", A::CheckBox, "ログイン時に起動する。", true, true},
                         // No notification area on this test's display: greyed out.
                         {"CheckBox6", A::CheckBox, "通知領域にアイコンを表示する。", false, true},
                         {"Button1", A::Button, "OK", true, true},
                         {"Button2", A::Button, "ｷｬﾝｾﾙ", true, true},
                     });
    EXPECT_EQ(tree.at("SpinEdit1").value, QStringLiteral("30"));
    // The handset's drop-down is labelled by its caption.
    QAccessibleInterface* combo =
        QAccessible::queryAccessibleInterface(env.Widget<QComboBox>(*env.app.ConfForm(), "StaticText"));
    ASSERT_NE(combo, nullptr);
    bool labelled = false;
    for (const auto& [other, relation] : combo->relations(QAccessible::Label)) {
      labelled = labelled || other->text(QAccessible::Name) == QStringLiteral("KESTRAの機種名");
    }
    EXPECT_TRUE(labelled);
    env.ConfWidget().close();
  });
  env.app.Deliver([&] { env.app.MainForm()->SpeedButton1.UserClick(); });
  EXPECT_TRUE(checked);
}

TEST(Keyboard, TabWalksTheMainWindowInReadingOrderAndSpaceAndArrowsDriveTheProgram) {
  QtOnSim env;
  AddHandset(env);
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  env.app.Deliver([&] { main.Timer1.Fire(); });
  ASSERT_TRUE(main.SpeedButton2.Enabled());
  QWidget& window = env.MainWidget();
  window.activateWindow();
  QApplication::processEvents();
  env.Widget<QWidget>(main, "SpinEdit1")->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(Focused(), QStringLiteral("SpinEdit1"));

  // The stop button is off while idle, so Tab passes it by.
  const QStringList forward = {"SpinEdit2", "LMDCheckBox1", "SpeedButton1", "SpeedButton2", "SpinEdit1"};
  for (const QString& expected : forward) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), expected);
  }
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), QStringLiteral("SpeedButton2"));
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), QStringLiteral("SpeedButton1"));

  // Arrows on the minutes box, Space on the check box.
  env.Widget<QWidget>(main, "SpinEdit2")->setFocus(Qt::TabFocusReason);
  Press(Qt::Key_Up);
  Press(Qt::Key_Up);
  Press(Qt::Key_Down);
  EXPECT_EQ(main.SpinEdit2.Value(), 10);
  EXPECT_EQ(main.Settings.MinTimer, 10);
  Press(Qt::Key_Tab);
  ASSERT_EQ(Focused(), QStringLiteral("LMDCheckBox1"));
  Press(Qt::Key_Space);
  EXPECT_TRUE(main.Settings.ShutDownFlag);
  Press(Qt::Key_Space);
  EXPECT_FALSE(main.Settings.ShutDownFlag);

  // Space on start: the run begins and the focus is on stop, which acts now.
  env.Widget<QWidget>(main, "SpeedButton2")->setFocus(Qt::TabFocusReason);
  Press(Qt::Key_Space);
  EXPECT_TRUE(main.Run.Charging);
  EXPECT_EQ(Focused(), QStringLiteral("SpeedButton3"));
  env.app.Deliver([&] { main.Timer1.Fire(); });
  SaveShot(window, "linux-main-focus.png");
  // Space on stop: back to idle, the focus on start again.
  Press(Qt::Key_Space);
  EXPECT_FALSE(main.Run.Charging);
  EXPECT_EQ(Focused(), QStringLiteral("SpeedButton2"));

  // The handset goes away while start has the focus: both buttons are off,
  // so the focus goes on round to the hours box rather than nowhere.
  env.sim.tapi.devices.clear();
  env.forms.Deliver([&] { main.Timer1.Fire(); });
  EXPECT_FALSE(main.SpeedButton2.Enabled());
  EXPECT_EQ(Focused(), QStringLiteral("SpinEdit1"));
}

TEST(Keyboard, EachOpeningOfTheSettingsDialogStartsOnItsFirstControlAndEnterAndEscapePressOkAndCancel) {
  QtOnSim env;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  // What the user does in one opening of the dialog, and how it ends.
  struct Opening {
    const char* what;
    std::function<void()> keys;
    TModalResult result;
  };
  // The handset's drop-down, at the top, is the first control. The icon box,
  // greyed out without a notification area on this display, is skipped.
  const QStringList forward = {"CheckBox1", "CheckBox2", "SpinEdit1", "CheckBox3", "CheckBox4",
                               "CheckBox5", "Button1",   "Button2",   "StaticText"};
  const Opening openings[] = {
      {"walks the tab order, Space on ｷｬﾝｾﾙ",
       [&] {
         for (const QString& expected : forward) {
           Press(Qt::Key_Tab);
           EXPECT_EQ(Focused(), expected);
         }
         Press(Qt::Key_Tab);
         ASSERT_EQ(Focused(), QStringLiteral("CheckBox1"));
         // Space on the AC-only box disables the battery controls; the
         // threshold, which had the focus next, is skipped.
         Press(Qt::Key_Space);
         EXPECT_TRUE(conf.CheckBox1.Checked());
         Press(Qt::Key_Tab);
         EXPECT_EQ(Focused(), QStringLiteral("CheckBox3"));
         SaveShot(env.ConfWidget(), "linux-settings-focus.png");
         // On through the group's two boxes that take the focus and OK to ｷｬﾝｾﾙ.
         for (int n = 0; n < 4; ++n) Press(Qt::Key_Tab);
         ASSERT_EQ(Focused(), QStringLiteral("Button2"));
         Press(Qt::Key_Space);
       },
       TModalResult::Cancel},
      // Reopened after ｷｬﾝｾﾙ, the focus is on the first control again, not on
      // the button that had it last: Tab and Space act on the AC-only box.
      {"Space then Escape",
       [&] {
         Press(Qt::Key_Tab);
         Press(Qt::Key_Space);
         EXPECT_TRUE(conf.CheckBox1.Checked());
         EXPECT_EQ(conf.ModalResult, TModalResult::None) << "still open";
         Press(Qt::Key_Escape);
       },
       TModalResult::Cancel},
      {"Space then Enter",
       [&] {
         Press(Qt::Key_Tab);
         Press(Qt::Key_Space);
         Press(Qt::Key_Return);
       },
       TModalResult::Ok},
      // Enter in the handset's drop-down confirms the dialog too.
      {"keypad Enter", [&] { Press(Qt::Key_Enter, Qt::KeypadModifier); }, TModalResult::Ok},
      // Enter presses the button that has the focus.
      {"Enter on ｷｬﾝｾﾙ",
       [&] {
         // Back from the first control to the last, ｷｬﾝｾﾙ.
         Press(Qt::Key_Backtab);
         ASSERT_EQ(Focused(), QStringLiteral("Button2"));
         Press(Qt::Key_Return);
       },
       TModalResult::Cancel},
  };
  for (const Opening& opening : openings) {
    SCOPED_TRACE(opening.what);
    bool opened = false;
    QTimer::singleShot(0, [&] {
      opened = true;
      QWidget& dialog = env.ConfWidget();
      dialog.activateWindow();
      QApplication::processEvents();
      EXPECT_EQ(Focused(), QStringLiteral("StaticText"));
      // The focus is drawn from the start, not only after the first Tab.
      QStyleOption option;
      option.initFrom(FocusWidget());
      EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange);
      EXPECT_TRUE(!dialog.isActiveWindow() || (option.state & QStyle::State_HasFocus) != 0);
      opening.keys();
      if (conf.ModalResult == TModalResult::None) dialog.close();
    });
    env.Widget<QWidget>(main, "SpeedButton1")->setFocus(Qt::TabFocusReason);
    env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
    EXPECT_TRUE(opened);
    EXPECT_EQ(conf.ModalResult, opening.result);
  }
  EXPECT_TRUE(main.Settings.ACPowerFlag) << "from the first OK";
  EXPECT_EQ(main.Settings.HandsetName, "KESTRA T48R") << "Enter in the drop-down added nothing to the name";
}

namespace {

// Counts what the windows tell assistive technology, per object and kind.
// Qt sends these only while an assistive technology bus is connected, which
// tests/linux/with_atspi provides.
struct EventLog {
  EventLog() {
    Current() = this;
    QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
      if (Current() != nullptr) Current()->events.emplace_back(event->object(), event->type());
    });
  }
  ~EventLog() {
    QAccessible::installUpdateHandler(nullptr);
    Current() = nullptr;
  }
  int Count(const QObject* object, QAccessible::Event type) const {
    int n = 0;
    for (const auto& [o, t] : events) n += (o == object && t == type) ? 1 : 0;
    return n;
  }
  static EventLog*& Current() {
    static EventLog* log = nullptr;
    return log;
  }
  std::vector<std::pair<const QObject*, QAccessible::Event>> events;
};

bool AssistiveTechnologyConnected() {
  for (int i = 0; i < 200 && !QAccessible::isActive(); ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
  return QAccessible::isActive();
}

}  // namespace

TEST(AccessibilityEvents, AChangedPanelOrPowerTextIsAnnouncedOnceAndAnUnchangedOneNotAtAll) {
  QtOnSim env;
  env.app.Start();
  if (!AssistiveTechnologyConnected()) {
    if (qEnvironmentVariableIsSet("MURRELET_REQUIRE_ATSPI")) FAIL() << "no assistive technology bus connected";
    GTEST_SKIP() << "no assistive technology bus; run through tests/linux/with_atspi";
  }
  TMainForm& main = *env.app.MainForm();
  auto* bar = static_cast<StatusPanels*>(env.Widget<QWidget>(main, "StatusBar"));
  QLabel* panel0 = bar->Panel(0);
  QLabel* power = env.Widget<QLabel>(main, "LMDLabel1");
  EventLog log;
  env.app.Deliver([&] { main.StatusBar.SetPanel(0, "充電完了"); });
  EXPECT_EQ(log.Count(panel0, QAccessible::NameChanged), 1);
  env.app.Deliver([&] { main.StatusBar.SetPanel(0, "充電完了"); });
  env.app.Deliver([&] { main.StatusBar.SetPanel(1, "12:00:01"); });
  EXPECT_EQ(log.Count(panel0, QAccessible::NameChanged), 1) << "nothing new in panel 0, nothing said";
  // A message too long for the panel is narrowed, and still said once.
  env.app.Deliver([&] { main.StatusBar.SetPanel(0, "KESTRA T48Rが接続されていません。"); });
  EXPECT_EQ(log.Count(panel0, QAccessible::NameChanged), 2);
  // A run's ticks: one change each.
  sim::SimLineDevice handset;
  handset.name = "KESTRA T48R";
  env.sim.tapi.devices.push_back(handset);
  main.SpinEdit2.SetValue(10);
  env.app.Deliver([&] { main.SpeedButton2.UserClick(); });
  const int before = log.Count(panel0, QAccessible::NameChanged);
  for (int tick = 0; tick < 3; ++tick) env.app.Deliver([&] { main.Timer1.Fire(); });
  EXPECT_EQ(env.Panel(0), QStringLiteral("充電中（残り 0:09:57)"));
  EXPECT_EQ(log.Count(panel0, QAccessible::NameChanged) - before, 3);

  // Ticks with the same power state say nothing; a new state is said once.
  const int powerBefore = log.Count(power, QAccessible::NameChanged);
  env.app.Deliver([&] { main.PowerInfo(); });
  EXPECT_EQ(log.Count(power, QAccessible::NameChanged), powerBefore);
  env.sim.power.status.ACLineStatus = 0;
  env.app.Deliver([&] { main.PowerInfo(); });
  EXPECT_EQ(log.Count(power, QAccessible::NameChanged), powerBefore + 1);
  EXPECT_EQ(power->accessibleName(), QStringLiteral("現在の電源 バッテリ"));
}

namespace {

// Runs the AT-SPI client (tests/linux/atspi_act.py) on this process while the
// event loop goes on answering it, as a screen reader or switch access does.
bool ActThroughAtSpi(const QStringList& commands) {
  QProcess client;
  client.setProcessChannelMode(QProcess::ForwardedChannels);
  QEventLoop loop;
  QObject::connect(&client, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&client, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
  client.start(QStringLiteral("/usr/bin/python3"),
               QStringList{QStringLiteral(MURRELET_ATSPI_ACT), QString::number(QCoreApplication::applicationPid())} +
                   commands);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  loop.exec();
  // The last changes may still be on their way through the bus.
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  return client.state() == QProcess::NotRunning && client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
}

}  // namespace

TEST(AccessibilityActions, AToggleOrAValueSetThroughAtSpiIsTheUsersChangeOnBothWindows) {
  QtOnSim env;
  env.app.Start();
  if (!AssistiveTechnologyConnected()) {
    if (qEnvironmentVariableIsSet("MURRELET_REQUIRE_ATSPI")) FAIL() << "no assistive technology bus connected";
    GTEST_SKIP() << "no assistive technology bus; run through tests/linux/with_atspi";
  }
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  ASSERT_FALSE(main.Settings.ShutDownFlag);
  // Main window: the shut-down box's Toggle, the hours' and minutes' values.
  ASSERT_TRUE(ActThroughAtSpi({"toggle", "終了時にシャットダウンする", "value", "充電時間 時間", "2", "value",
                               "充電時間 分", "30"}));
  EXPECT_TRUE(main.LMDCheckBox1.Checked());
  EXPECT_TRUE(main.Settings.ShutDownFlag);
  EXPECT_EQ(main.Settings.HourTimer, 2);
  EXPECT_EQ(main.Settings.MinTimer, 30);
  EXPECT_TRUE(env.Widget<QCheckBox>(main, "LMDCheckBox1")->isChecked());
  // A value the program does not take is shown as the program holds it.
  ASSERT_TRUE(ActThroughAtSpi({"value", "充電時間 時間", "9"}));
  EXPECT_EQ(main.SpinEdit1.Value(), 6);
  EXPECT_EQ(env.Widget<QSpinBox>(main, "SpinEdit1")->value(), 6);

  // The dialog: two boxes toggled and the threshold set, then OK stores them.
  const bool suspendBefore = main.Settings.SuspendDisable;
  bool acted = false;
  QTimer::singleShot(0, [&] {
    acted = ActThroughAtSpi({"toggle", "ハンドセットを接続したら自動的に充電を開始する。", "toggle",
                             "充電中はサスペンドを無効にする。", "value", "バッテリの残り容量が ％を下回ったら充電停止",
                             "60"});
    EXPECT_TRUE(conf.CheckBox4.Checked());
    env.Widget<QPushButton>(conf, "Button1")->click();
  });
  env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
  EXPECT_TRUE(acted);
  EXPECT_EQ(conf.ModalResult, TModalResult::Ok);
  EXPECT_TRUE(main.Settings.AutoCharge);
  EXPECT_NE(main.Settings.SuspendDisable, suspendBefore);
  EXPECT_EQ(main.Settings.BatteryParcent, 60);

  // The program's own changes are shown, never taken back as the user's: the
  // next opening shows the stored state and changes nothing by itself.
  main.Settings.AutoCharge = false;
  QTimer::singleShot(0, [&] {
    EXPECT_FALSE(env.Widget<QCheckBox>(conf, "CheckBox4")->isChecked());
    env.Widget<QPushButton>(conf, "Button2")->click();
  });
  env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
  EXPECT_FALSE(main.Settings.AutoCharge);
  EXPECT_FALSE(conf.CheckBox4.Checked());
}
