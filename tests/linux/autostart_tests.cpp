// Starting with the session on Linux: the XDG autostart entry as the session
// reads it (checked by desktop-file-validate), a store from 2.0 on disk, the
// dialog's two check boxes and the minimised start.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "charging/application.h"
#include "charging/settings_key.h"
#include "kit/session_start.h"
#include "platform/linux/system/file_store.h"
#include "platform/linux/system/xdg_autostart.h"
#include "qt_on_sim.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using murrelet::testing::Slurp;
using murrelet::testing::TempDir;
using namespace murrelet;
using namespace murrelet::linux_platform;

namespace {

// desktop-file-validate's verdict on `file`: its output, empty when valid.
std::string Validate(const fs::path& file) {
  const std::string command = "desktop-file-validate '" + file.string() + "' 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = pclose(pipe);
    if (status != 0 && output.empty()) output = "exit status " + std::to_string(status);
  }
  return output;
}

}  // namespace

TEST(XdgAutostart, TheEntryIsValidNamesTheProgramToRunAndToCheckAndGoesAgain) {
  struct Case {
    const char* program;
    const char* exec;
    const char* tryExec;
  };
  const Case cases[] = {
      {"/usr/bin/murrelet", "Exec=\"/usr/bin/murrelet\" --session-start\n", "TryExec=/usr/bin/murrelet\n"},
      {"/home/a b/100% \"x\"/$HOME`\\murrelet",
       "Exec=\"/home/a b/100%% \\\\\"x\\\\\"/\\\\$HOME\\\\`\\\\\\\\murrelet\" --session-start\n",
       "TryExec=/home/a b/100% \"x\"/$HOME`\\\\murrelet\n"},
  };
  for (const Case& c : cases) {
    TempDir home;
    const fs::path folder = home.path / "config" / "autostart";  // made by the first write
    XdgAutostartEntry entry(folder, c.program);
    ASSERT_TRUE(entry.Set(true)) << c.program;
    const std::string text = Slurp(folder / "murrelet.desktop");
    EXPECT_NE(text.find(c.exec), std::string::npos) << text;
    EXPECT_NE(text.find(c.tryExec), std::string::npos) << text;
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(Validate(folder / "murrelet.desktop"), "") << text;
    ASSERT_TRUE(entry.Set(true));  // written again over itself
    EXPECT_EQ(Slurp(folder / "murrelet.desktop"), text);
    ASSERT_TRUE(entry.Set(false));
    EXPECT_FALSE(fs::exists(folder / "murrelet.desktop"));
    EXPECT_TRUE(entry.Set(false));  // nothing to remove is no failure
    EXPECT_TRUE(fs::is_empty(folder));  // no temporary left behind
  }
}

TEST(XdgAutostart, AnEntryThatCannotBeWrittenOrNamedIsRefused) {
  TempDir home;
  EXPECT_FALSE(XdgAutostartEntry({}, "/usr/bin/murrelet").Set(true));
  EXPECT_FALSE(XdgAutostartEntry(home.path, "").Set(true));
  EXPECT_FALSE(XdgAutostartEntry(home.path, "relative/murrelet").Set(true));
  EXPECT_FALSE(XdgAutostartEntry(home.path, "/usr/bin/mur\nrelet").Set(true));
  EXPECT_TRUE(fs::is_empty(home.path));
  if (geteuid() != 0) {  // root writes anywhere
    fs::permissions(home.path, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(XdgAutostartEntry(home.path, "/usr/bin/murrelet").Set(true));
  }
}

TEST(XdgAutostart, TheFolderFollowsXdgConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string before = saved != nullptr ? saved : "";
  setenv("XDG_CONFIG_HOME", "/tmp/xdg-here", 1);
  EXPECT_EQ(DefaultAutostartDirectory(), fs::path("/tmp/xdg-here/autostart"));
  setenv("XDG_CONFIG_HOME", "relative", 1);
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    EXPECT_EQ(DefaultAutostartDirectory(), fs::path(home) / ".config" / "autostart");
  }
  if (saved != nullptr) {
    setenv("XDG_CONFIG_HOME", before.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  EXPECT_EQ(RunningProgramPath().filename(), "murrelet_linux_tests");
}

// The settings file a 2.0 program wrote: the eight values and nothing else.
TEST(QtWindows, AStoreFrom20LoadsSilentlyAndTheNextCloseAddsTheTwoValues) {
  TempDir root;
  FileStore files(root.path);
  {
    auto key = files.OpenWritable(SettingsKeyPath());
    ASSERT_TRUE(key);
    key->WriteString(kValueKestraName, "KESTRA T48R");
    for (const char* name : {kValueACPowerFlag, kValueBatteryPowerFlag, kValueSuspendDisable, kValueHourTimer,
                             kValueMinTimer, kValueShutDownFlag}) {
      key->WriteDword(name, 0);
    }
    key->WriteDword(kValueBatteryParcent, 30);
  }
  sim::SimPlatform sim;
  QtFormHost forms;
  Platform platform{sim.tapi, sim.power, sim.execution, sim.sleeper, sim.shutdown, files,
                    sim.locks, sim.clock, sim.boxes, forms, sim.runStatus, sim.sessionStart};
  TApplication app(platform);
  forms.SetDelivery([&](const QtFormHost::Action& action) { app.Deliver(action); }, nullptr);
  app.Start();
  EXPECT_TRUE(sim.boxes.shown.empty());
  EXPECT_TRUE(app.MainForm()->Run.Configured);
  EXPECT_FALSE(app.MainForm()->Settings.AutoCharge);
  EXPECT_FALSE(app.MainForm()->Settings.StartWithSession);
  app.CloseMainWindow();
  EXPECT_TRUE(sim.boxes.shown.empty());
  const std::string text = Slurp(files.FileFor(SettingsKeyPath()));
  // Appended after the values already there.
  const std::string added = "dword AutoCharge 0\ndword StartWithSession 0\ndword TrayIcon 0\n";
  ASSERT_GE(text.size(), added.size());
  EXPECT_EQ(text.substr(text.size() - added.size()), added) << text;
  EXPECT_NE(text.find("dword ShutDownFlag 0\n"), std::string::npos) << text;
}

TEST(QtWindows, TheTwoNewCheckBoxesSetAutoChargeAndTheLogInEntry) {
  QtOnSim env;
  env.app.Start();
  TMainForm& main = *env.app.MainForm();
  TConfForm& conf = *env.app.ConfForm();
  QTimer::singleShot(0, [&] {
    auto* autoCharge = env.Widget<QCheckBox>(conf, "CheckBox4");
    auto* withSession = env.Widget<QCheckBox>(conf, "CheckBox5");
    ASSERT_NE(autoCharge, nullptr);
    ASSERT_NE(withSession, nullptr);
    EXPECT_EQ(autoCharge->text(), Q("ハンドセットを接続したら自動的に充電を開始する。"));
    EXPECT_EQ(withSession->text(), Q("ログイン時に起動する。"));
    // In their own group, one under the other, above the buttons, which end
    // the dialog; the whole text shows.
    QWidget& dialog = env.ConfWidget();
    const auto inDialog = [&](const QWidget* widget) { return QRect(widget->mapTo(&dialog, QPoint(0, 0)), widget->size()); };
    const QWidget* ok = env.Widget<QPushButton>(conf, "Button1");
    const QWidget* group = env.Widget<QWidget>(conf, "LMDGroupBox4");
    EXPECT_EQ(autoCharge->parentWidget(), group);
    EXPECT_EQ(withSession->parentWidget(), group);
    EXPECT_GT(inDialog(withSession).top(), inDialog(autoCharge).bottom());
    EXPECT_GT(inDialog(ok).top(), inDialog(group).bottom());
    EXPECT_LE(inDialog(ok).bottom(), dialog.height());
    EXPECT_GE(autoCharge->width(), autoCharge->sizeHint().width());
    autoCharge->click();
    withSession->click();
    env.Widget<QPushButton>(conf, "Button1")->click();
  });
  env.Widget<QPushButton>(main, "SpeedButton1")->click();
  EXPECT_TRUE(main.Settings.AutoCharge);
  EXPECT_TRUE(main.Settings.StartWithSession);
  EXPECT_TRUE(env.sim.sessionStart.present);
}

TEST(QtWindows, AStartByTheSessionShowsTheWindowMinimised) {
  QtOnSim env;
  env.app.Start(TApplication::StartedBy::Session);
  EXPECT_TRUE(env.MainWidget().isVisible());
  EXPECT_TRUE(env.MainWidget().isMinimized());
  EXPECT_TRUE(env.app.MainForm()->Visible);
  // A box brings it back: Show restores a minimised window.
  EXPECT_TRUE(env.forms.IsMinimized(*env.app.MainForm()));
  env.forms.Show(*env.app.MainForm());
  EXPECT_FALSE(env.MainWidget().isMinimized());
  EXPECT_FALSE(env.forms.IsMinimized(*env.app.MainForm()));
  EXPECT_TRUE(env.MainWidget().isVisible());
}

// The settings are gone (a first start) but an entry left from an earlier
// install is there: the box shows what the session will do, ticked; OK with
// it unticked removes the entry, and ticked again writes it back. After each
// OK the entry, the setting and the box agree.
TEST(QtWindows, TheLogInBoxShowsAnEntryLeftWithoutSettingsAndOkFollowsTheBox) {
  TempDir dir;
  XdgAutostartEntry entry(dir.path / "autostart", "/usr/bin/murrelet");
  fs::create_directories(dir.path / "autostart");
  std::ofstream(entry.File()) << AutostartEntryText("/usr/bin/murrelet");
  ASSERT_TRUE(entry.IsSet());
  sim::SimPlatform sim;
  QtFormHost forms;
  Platform platform{sim.tapi,  sim.power, sim.execution, sim.sleeper, sim.shutdown,  sim.store,
                    sim.locks, sim.clock, sim.boxes,     forms,       sim.runStatus, entry};
  TApplication app{platform};
  forms.SetDelivery([&](const QtFormHost::Action& action) { app.Deliver(action); }, nullptr);
  forms.onCloseRequest = [&](Form& form) { app.CloseRequested(form); };
  app.Start();
  ASSERT_EQ(sim.boxes.shown.size(), 1u) << "the first-start notice";
  TMainForm& main = *app.MainForm();
  TConfForm& conf = *app.ConfForm();
  EXPECT_TRUE(fs::exists(entry.File())) << "a first start leaves the entry alone";
  for (const bool shown : {true, false}) {
    bool seen = !shown;
    QTimer::singleShot(0, [&] {
      auto* withSession = qobject_cast<QCheckBox*>(forms.WindowOf(conf)->ObjectOf("CheckBox5"));
      ASSERT_NE(withSession, nullptr);
      seen = withSession->isChecked();
      withSession->click();
      qobject_cast<QPushButton*>(forms.WindowOf(conf)->ObjectOf("Button1"))->click();
    });
    qobject_cast<QPushButton*>(forms.WindowOf(main)->ObjectOf("SpeedButton1"))->click();
    EXPECT_EQ(seen, shown);
    EXPECT_EQ(fs::exists(entry.File()), !shown);
    EXPECT_EQ(entry.IsSet(), !shown);
    EXPECT_EQ(main.Settings.StartWithSession, !shown);
  }
  EXPECT_EQ(sim.boxes.shown.size(), 1u) << "no box about the entry";
  app.WindowsEnding();
}
