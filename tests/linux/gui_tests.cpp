// The Qt windows over the core, with the simulated services underneath: the
// layout as designed and readable in the CJK font, the state the core sets,
// the tick, the modal settings dialog and the message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <QWindow>

#include "charging/application.h"
#include "charging/settings_key.h"
#include "charging/window_layouts.h"
#include "platform/linux/gui/qt_form_host.h"
#include "platform/linux/gui/qt_message_boxes.h"
#include "platform/sim/sim_platform.h"
#include "private_bus.h"
#include "qt_on_sim.h"
#include "tests/handset_name_cases.h"

using namespace murrelet;
using namespace murrelet::linux_platform;
using murrelet::testing::WaitFor;

namespace {

// Every layout row: where the design puts it, at least as wide, and wide
// enough for what it shows (a label's text, a check box's box and text).
void ExpectLayoutHolds(QtFormHost& forms, const Form& form) {
  FormWindow* window = forms.WindowOf(form);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Widget().size(), QSize(form.ClientWidth(), form.ClientHeight()));
  EXPECT_EQ(window->Widget().minimumSize(), window->Widget().maximumSize()) << "fixed size";
  EXPECT_EQ(window->Widget().windowTitle(), Q(form.Caption()));
  EXPECT_EQ(QFontInfo(window->Widget().font()).family(), QStringLiteral("Noto Sans CJK JP"));
  EXPECT_EQ(window->Widget().font().pixelSize(), kFontPixels);
  for (const ControlLayout& row : form.Layout()) {
    SCOPED_TRACE(std::string(row.name));
    auto* widget = qobject_cast<QWidget*>(window->ObjectOf(row.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->x(), row.left);
    EXPECT_EQ(widget->y(), row.top);
    EXPECT_EQ(widget->height(), row.height);
    EXPECT_GE(widget->width(), row.width);
    QWidget* parent = widget->parentWidget();
    EXPECT_LE(widget->geometry().right(), parent->width() - 1) << "inside its parent";
    if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !label->text().isEmpty()) {
      EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->contentsRect().width())
          << label->text().toStdString();
    }
    if (qobject_cast<QCheckBox*>(widget) != nullptr || qobject_cast<QPushButton*>(widget) != nullptr) {
      EXPECT_LE(widget->sizeHint().width(), widget->width());
    }
    // No two controls of one parent overlap.
    for (const ControlLayout& other : form.Layout()) {
      if (other.name == row.name || other.parent != row.parent) continue;
      auto* neighbour = qobject_cast<QWidget*>(window->ObjectOf(other.name));
      EXPECT_FALSE(widget->geometry().intersects(neighbour->geometry())) << "overlaps " << other.name;
    }
  }
}

// The darkest pixel's lightness (0 black .. 255 white): how dark a widget's
// text is drawn.
int DarkestLightness(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  int darkest = 255;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) darkest = std::min(darkest, image.pixelColor(x, y).lightness());
  }
  return darkest;
}

void SaveShot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("MURRELET_SHOTS_DIR");
  if (dir.isEmpty()) return;
  widget.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
}

// The guide's picture of the dialog: each numbered control of its table with
// its number in a red disc just right of it.
void SaveNumberedShot(QWidget& dialog, const FormWindow& window, const char* name,
                      std::initializer_list<std::pair<const char*, int>> numbers) {
  const QByteArray dir = qgetenv("MURRELET_SHOTS_DIR");
  if (dir.isEmpty()) return;
  QPixmap shot = dialog.grab();
  QPainter painter(&shot);
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font = dialog.font();
  font.setBold(true);
  font.setPixelSize(11);
  painter.setFont(font);
  for (const auto& [control, number] : numbers) {
    const auto* widget = qobject_cast<const QWidget*>(const_cast<FormWindow&>(window).ObjectOf(control));
    if (widget == nullptr) continue;
    // A check box or label is as long as its text, however wide its row.
    const bool text = qobject_cast<const QCheckBox*>(widget) != nullptr || qobject_cast<const QLabel*>(widget) != nullptr;
    const QSize size(text ? std::min(widget->width(), widget->sizeHint().width()) : widget->width(), widget->height());
    const QRect rect(widget->mapTo(&dialog, QPoint(0, 0)), size);
    // A button's number goes before it: the buttons end at the window's edge.
    const bool button = qobject_cast<const QPushButton*>(widget) != nullptr;
    const QRect disc(button ? rect.left() - 19 : rect.right() + 4, rect.center().y() - 7, 15, 15);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd0, 0x10, 0x10));
    painter.drawEllipse(disc);
    painter.setPen(Qt::white);
    painter.drawText(disc, Qt::AlignCenter, QString::number(number));
  }
  painter.end();
  shot.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
}

// On an X server, what the window manager reads: WM_TRANSIENT_FOR names the
// main window. (On Wayland, scripts/test-desktops reads the protocol log for
// xdg_toplevel.set_parent.)
void ExpectTransientOnTheDisplay(QWidget& window, QWidget& main) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) return;
  QApplication::processEvents();
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                        QStringLiteral("WM_TRANSIENT_FOR")});
  ASSERT_TRUE(xprop.waitForFinished(5000));
  const QString said = QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
  EXPECT_TRUE(said.endsWith(QStringLiteral("0x") + QString::number(main.winId(), 16))) << said.toStdString();
}

}  // namespace

TEST(QtWindows, MainWindowIsBuiltFromTheLayoutWithTheCoresState) {
  QtOnSim env;
  ASSERT_EQ(env.app.Start(), TApplication::StartResult::Running);
  TMainForm& main = *env.app.MainForm();
  ExpectLayoutHolds(env.forms, main);
  EXPECT_TRUE(env.MainWidget().isVisible());
  EXPECT_FALSE(env.ConfWidget().isVisible());
  EXPECT_EQ(env.MainWidget().windowTitle(), QStringLiteral("Murrelet Ver2.0"));
  EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Murrelet")) << "the task bar's name";

  EXPECT_EQ(env.Widget<QGroupBox>(main, "LMDGroupBox1")->title(), QStringLiteral("電源の状態"));
  EXPECT_EQ(env.Widget<QPushButton>(main, "SpeedButton2")->text(), QStringLiteral("充電開始"));
  EXPECT_TRUE(env.Widget<QPushButton>(main, "SpeedButton2")->isEnabled());
  EXPECT_FALSE(env.Widget<QPushButton>(main, "SpeedButton3")->isEnabled());
  EXPECT_EQ(env.Widget<QPushButton>(main, "SpeedButton1")->toolTip(), QStringLiteral("環境設定"));
  EXPECT_FALSE(env.Widget<QPushButton>(main, "SpeedButton1")->icon().isNull());
  EXPECT_FALSE(env.Widget<QPushButton>(main, "SpeedButton1")->icon().pixmap(16, 16, QIcon::Disabled).isNull());
  auto* hours = env.Widget<QSpinBox>(main, "SpinEdit1");
  EXPECT_EQ(hours->minimum(), 0);
  EXPECT_EQ(hours->maximum(), 6);
  EXPECT_TRUE(hours->findChild<QLineEdit*>()->isReadOnly());
  auto* minutes = env.Widget<QSpinBox>(main, "SpinEdit2");
  EXPECT_EQ(minutes->maximum(), 50);
  EXPECT_EQ(minutes->singleStep(), 10);
  auto* bar = env.Widget<QProgressBar>(main, "LMDProgress");
  EXPECT_EQ(bar->value(), 80);  // the simulated battery
  EXPECT_TRUE(bar->isTextVisible());
  EXPECT_EQ(bar->text(), QStringLiteral("80%"));
  EXPECT_EQ(env.Widget<QLabel>(main, "LMDLabel1")->text(), QStringLiteral("AC電源"));
  auto* status = static_cast<StatusPanels*>(env.Widget<QWidget>(main, "StatusBar"));
  EXPECT_EQ(status->Panel(0)->width(), kStatusPanel0Width);
  // The clock's panel reaches the bar's end, as on Windows: no gap after it.
  EXPECT_GE(status->Panel(1)->width(), kStatusPanel1Width);
  EXPECT_EQ(status->Panel(1)->geometry().right(), status->width() - 1);
  EXPECT_EQ(status->Panel(1)->x(), kStatusPanel0Width + 2);
  EXPECT_TRUE(status->Panel(1)->alignment() & Qt::AlignHCenter);

  auto* timer = qobject_cast<QTimer*>(env.forms.WindowOf(main)->ObjectOf("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  // A one-shot wait armed to the next second of the timer's own schedule.
  EXPECT_TRUE(timer->isSingleShot());
  EXPECT_GT(timer->remainingTime(), 0);
  EXPECT_LE(timer->remainingTime(), 1000);
  EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
  main.Timer1.SetEnabled(false);
  EXPECT_FALSE(timer->isActive());
  main.Timer1.SetEnabled(true);
  EXPECT_TRUE(timer->isActive());
  EXPECT_GT(timer->remainingTime(), 900);
}

TEST(QtWindows, TheTickShowsTheHandsetMissingAndTheClock) {
  QtOnSim env;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  auto* timer = qobject_cast<QTimer*>(env.forms.WindowOf(main)->ObjectOf("Timer1"));
  // The period itself is the timer's business; the test delivers one now.
  env.forms.Deliver([&] { main.Timer1.Fire(); }, true);
  ASSERT_FALSE(env.Panel(0).isEmpty());
  EXPECT_EQ(env.Panel(0), QStringLiteral("KESTRA T48Rが接続されていません。"));
  EXPECT_EQ(env.Panel(1), QStringLiteral("12:00:00"));
  EXPECT_FALSE(env.Widget<QPushButton>(main, "SpeedButton2")->isEnabled());
  // The status panel's text is never cut off: what does not fit is narrowed.
  QLabel* panel = static_cast<StatusPanels*>(env.Widget<QWidget>(main, "StatusBar"))->Panel(0);
  EXPECT_LE(QFontMetrics(panel->font()).horizontalAdvance(panel->text()), panel->contentsRect().width());
  timer->stop();
  SaveShot(env.MainWidget(), "linux-main.png");
}

TEST(QtWindows, PowerStateColoursTheLabelAndUserActionsReachTheCore) {
  QtOnSim env;
  env.sim.power.status.ACLineStatus = 0;
  env.sim.power.status.BatteryFlag = 1;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  auto* label = env.Widget<QLabel>(main, "LMDLabel1");
  EXPECT_EQ(label->text(), QStringLiteral("バッテリ(放電中)"));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_TRUE(label->font().bold());
  env.sim.power.status.ACLineStatus = 1;
  env.app.Deliver([&] { main.PowerInfo(); });
  EXPECT_NE(label->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_FALSE(label->font().bold());

  auto* minutes = env.Widget<QSpinBox>(main, "SpinEdit2");
  minutes->stepBy(1);
  EXPECT_EQ(main.SpinEdit2.Value(), 10);
  EXPECT_EQ(minutes->value(), 10);
  minutes->stepBy(-3);
  EXPECT_EQ(main.Settings.MinTimer, 0);
  env.Widget<QCheckBox>(main, "LMDCheckBox1")->click();
  EXPECT_TRUE(main.Settings.ShutDownFlag);
}

TEST(QtWindows, ALongHandsetNameWrapsInTheStatusBarWhichGrowsWithTheWindow) {
  QtOnSim env;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  auto* bar = static_cast<StatusPanels*>(env.Widget<QWidget>(main, "StatusBar"));
  QLabel* panel = bar->Panel(0);
  QWidget& window = env.MainWidget();
  const QSize designSize = window.size();
  const int belowTheBar = window.height() - bar->geometry().bottom();
  struct Case {
    const char* name;
    bool wraps;
  };
  // Short, narrowed onto one line, and too long for one line even narrowed.
  const Case cases[] = {{"KESTRA T48R", false},
                        {"KESTRA T48R Mark II", false},
                        {"KESTRA T48R Mark II Special Edition For Business Customers", true},
                        {"KESTRA T48R", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    main.Settings.HandsetName = c.name;
    env.forms.Deliver([&] { main.Timer1.Fire(); }, true);
    const QString message = QString::fromUtf8(c.name) + QStringLiteral("が接続されていません。");
    ASSERT_EQ(panel->text(), message);
    // The indent is kept on the aligned side.
    const QRect inside = panel->contentsRect().adjusted(panel->indent(), 0, 0, 0);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | (c.wraps ? Qt::TextWordWrap : 0);
    const QRect drawn = QFontMetrics(panel->font()).boundingRect(inside, flags, message);
    // Every letter inside the panel, the panel inside the bar, the bar inside the window.
    EXPECT_LE(drawn.width(), inside.width());
    EXPECT_LE(drawn.height(), inside.height());
    EXPECT_EQ(panel->wordWrap(), c.wraps);
    EXPECT_LE(panel->geometry().bottom(), bar->height() - 1);
    EXPECT_EQ(window.height() - bar->geometry().bottom(), belowTheBar);
    EXPECT_EQ(window.width(), designSize.width());
    EXPECT_EQ(window.height() > designSize.height(), c.wraps);
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "still fixed";
    if (c.wraps) SaveShot(window, "linux-main-long-name.png");
  }
}

TEST(QtWindows, SettingsDialogIsModalBelongsToTheMainWindowAndItsCloseBoxCancels) {
  QtOnSim env;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  ExpectLayoutHolds(env.forms, conf);
  bool checked = false;
  QTimer::singleShot(0, [&] {
    checked = true;
    QWidget& dialog = env.ConfWidget();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isModal());
    // The check boxes' texts are their own: the numbers go after the texts.
    SaveNumberedShot(dialog, *env.forms.WindowOf(conf), "guide-settings.png",
                     {{"StaticText", 1}, {"CheckBox1", 2}, {"Label1", 3}, {"CheckBox3", 4}, {"CheckBox4", 5},
                      {"CheckBox5", 6}, {"CheckBox6", 7}, {"Button1", 8}});
    EXPECT_EQ(env.Widget<QComboBox>(conf, "StaticText")->currentText(), QStringLiteral("KESTRA T48R"));
    EXPECT_EQ(env.Widget<QSpinBox>(conf, "SpinEdit1")->value(), 30);
    EXPECT_TRUE(env.Widget<QCheckBox>(conf, "CheckBox2")->isEnabled());
    auto* label1 = env.Widget<QLabel>(conf, "Label1");
    const int enabledText = DarkestLightness(*label1);
    env.Widget<QCheckBox>(conf, "CheckBox1")->click();  // changed, then cancelled
    EXPECT_FALSE(env.Widget<QCheckBox>(conf, "CheckBox2")->isEnabled());
    EXPECT_FALSE(label1->isEnabled());
    // The row's label greys with the row, as the check box beside it does.
    EXPECT_GT(DarkestLightness(*label1), enabledText + 60);
    EXPECT_EQ(label1->palette().color(QPalette::Disabled, QPalette::WindowText),
              QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    SaveShot(dialog, "linux-settings.png");
    // Transient for the main window: the desktop keeps it above the window
    // it blocks.
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), env.MainWidget().windowHandle());
    ExpectTransientOnTheDisplay(dialog, env.MainWidget());
    EXPECT_EQ(conf.ModalResult, TModalResult::None);
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();  // the close box
  });
  env.Widget<QPushButton>(main, "SpeedButton1")->click();
  EXPECT_TRUE(checked);
  EXPECT_EQ(conf.ModalResult, TModalResult::Cancel);
  EXPECT_FALSE(env.ConfWidget().isVisible());
  EXPECT_FALSE(main.Settings.ACPowerFlag);

  QTimer::singleShot(0, [&] {
    env.Widget<QCheckBox>(conf, "CheckBox3")->click();
    env.Widget<QPushButton>(conf, "Button1")->click();
  });
  env.Widget<QPushButton>(main, "SpeedButton1")->click();
  EXPECT_EQ(conf.ModalResult, TModalResult::Ok);
  EXPECT_TRUE(main.Settings.SuspendDisable);  // stored off, switched on and confirmed
}

TEST(QtWindows, TheSettingsDialogIsMadeWhenFirstOpenedAndShowsTheSettingsOfThatMoment) {
  QtOnSim env;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  const qsizetype widgetsAtStart = QApplication::allWidgets().size();
  main.Settings.HandsetName = "KESTRA T50";
  main.Settings.ACPowerFlag = true;
  main.Settings.BatteryParcent = 45;
  bool checked = false;
  QTimer::singleShot(0, [&] {
    checked = true;
    EXPECT_GE(QApplication::allWidgets().size() - widgetsAtStart, static_cast<qsizetype>(conf.Layout().size()));
    EXPECT_EQ(env.Widget<QComboBox>(conf, "StaticText")->currentText(), QStringLiteral("KESTRA T50"));
    EXPECT_TRUE(env.Widget<QCheckBox>(conf, "CheckBox1")->isChecked());
    EXPECT_FALSE(env.Widget<QCheckBox>(conf, "CheckBox2")->isEnabled());
    EXPECT_EQ(env.Widget<QSpinBox>(conf, "SpinEdit1")->value(), 45);
    env.ConfWidget().close();
  });
  env.Widget<QPushButton>(main, "SpeedButton1")->click();
  EXPECT_TRUE(checked);
  // Opened again, it is the same dialog.
  const qsizetype widgetsAfterFirstOpen = QApplication::allWidgets().size();
  QTimer::singleShot(0, [&] { env.ConfWidget().close(); });
  env.Widget<QPushButton>(main, "SpeedButton1")->click();
  EXPECT_EQ(QApplication::allWidgets().size(), widgetsAfterFirstOpen);
}

TEST(QtWindows, APowerBroadcastSentToTheMainWindowReachesTheMonitor) {
  QtOnSim env;
  murrelet::testing::PlugIn(env.sim.tapi);
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  env.Widget<QPushButton>(main, "SpeedButton2")->click();
  ASSERT_TRUE(main.Run.Charging);
  // What the power event source does on logind's PrepareForSleep(true).
  env.forms.Deliver([&] { env.forms.WindowOf(main)->Send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0); });
  EXPECT_FALSE(main.Run.Charging);
  EXPECT_EQ(env.Panel(0), QStringLiteral("サスペンドのため充電停止"));
  EXPECT_TRUE(env.Widget<QPushButton>(main, "SpeedButton2")->isEnabled());
  EXPECT_FALSE(env.Widget<QPushButton>(main, "SpeedButton3")->isEnabled());
}

TEST(QtWindows, ARunThatEndsInAnotherWindowsShadowGivesANotice) {
  QtOnSim env;
  murrelet::testing::PlugIn(env.sim.tapi);
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  QWidget other;
  other.show();

  struct Case {
    bool mainActive;
    std::size_t notices;
  };
  for (const Case c : {Case{true, 0}, Case{false, 1}}) {
    QWidget& front = c.mainActive ? env.MainWidget() : other;
    front.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return front.isActiveWindow(); })) << c.mainActive;
    EXPECT_EQ(env.forms.IsActive(main), c.mainActive);
    env.Widget<QPushButton>(main, "SpeedButton2")->click();
    ASSERT_TRUE(main.Run.Charging);
    EXPECT_EQ(env.sim.runStatus.progress.state, TaskbarProgressState::Indeterminate);
    env.forms.Deliver([&] { env.forms.WindowOf(main)->Send(WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0); });
    EXPECT_EQ(env.sim.runStatus.progress.state, TaskbarProgressState::None);
    ASSERT_EQ(env.sim.runStatus.notices.size(), c.notices) << c.mainActive;
  }
  EXPECT_EQ(env.sim.runStatus.notices.back().text, "ローバッテリのため充電停止");
}

TEST(QtWindows, ClosingTheMainWindowWritesTheSettingsAndEndsTheLoop) {
  QtOnSim env(/*configured=*/false);
  env.app.Start();
  ASSERT_EQ(env.sim.boxes.shown.size(), 1u);  // the first-start notice
  env.MainWidget().close();
  EXPECT_TRUE(env.forms.QuitRequested());
  EXPECT_FALSE(env.app.Running());
  EXPECT_FALSE(env.MainWidget().isVisible());
  const auto& key = env.sim.store.keys.at(SettingsKeyPath());
  EXPECT_EQ(std::get<std::string>(key.at("KestraName")), "KESTRA T48R");
}

TEST(QtMessageBoxes, ShowsOneOkButtonWithTheCoresCaptionAndIconOverTheMainWindow) {
  QtOnSim env;
  env.app.Start();
  QtMessageBoxes boxes(env.forms);
  for (BoxKind kind : {BoxKind::Error, BoxKind::Information}) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen = true;
      ASSERT_NE(box->windowHandle(), nullptr);
      EXPECT_EQ(box->windowHandle()->transientParent(), env.MainWidget().windowHandle());
      ExpectTransientOnTheDisplay(*box, env.MainWidget());
      EXPECT_EQ(box->windowTitle(), kind == BoxKind::Error ? QStringLiteral("エラー") : QStringLiteral("情報"));
      EXPECT_EQ(box->text(), QStringLiteral("初回起動のため"));
      EXPECT_EQ(box->icon(), kind == BoxKind::Error ? QMessageBox::Critical : QMessageBox::Information);
      EXPECT_EQ(box->buttons().size(), 1);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
      box->button(QMessageBox::Ok)->click();
    });
    boxes.Show(kind, kind == BoxKind::Error ? kErrorCaption : kInformationCaption, "初回起動のため");
    EXPECT_TRUE(seen);
  }
}

TEST(QtWindows, TheHandsetIsChosenOrTypedInTheSettingsDialogsDropDown) {
  QtOnSim env;
  for (const char* name : {"Standard Modem", "KESTRA T50"}) {
    sim::SimLineDevice device;
    device.name = name;
    env.sim.tapi.devices.push_back(device);
  }
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  for (const murrelet::testing::HandsetNameCase& c : murrelet::testing::kHandsetNameCases) {
    SCOPED_TRACE(c.typed != nullptr ? c.typed : "(picked)");
    bool checked = false;
    QTimer::singleShot(0, [&] {
      checked = true;
      auto* combo = env.Widget<QComboBox>(conf, "StaticText");
      combo->setFocus();
      if (c.typed == nullptr) {
        EXPECT_EQ(combo->count(), 3);
        const int at = combo->findText(QStringLiteral("KESTRA T50"));
        ASSERT_GE(at, 0);
        combo->setCurrentIndex(at);  // as the list's own choice does
      } else {
        combo->lineEdit()->selectAll();
        for (QChar ch : QString::fromUtf8(c.typed)) {
          QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
          QApplication::sendEvent(combo->lineEdit(), &press);
        }
      }
      EXPECT_EQ(conf.StaticText.Text(), combo->currentText().toStdString());
      // An empty name leaves OK disabled.
      combo->lineEdit()->selectAll();
      const QString kept = combo->currentText();
      combo->setEditText(QString());
      EXPECT_FALSE(env.Widget<QPushButton>(conf, "Button1")->isEnabled());
      combo->setEditText(kept);
      EXPECT_TRUE(env.Widget<QPushButton>(conf, "Button1")->isEnabled());
      env.Widget<QPushButton>(conf, c.ok ? "Button1" : "Button2")->click();
    });
    env.app.Deliver([&] { main.SpeedButton1.UserClick(); });
    EXPECT_TRUE(checked);
    EXPECT_EQ(main.Settings.HandsetName, c.stored);
  }
}
