// The single-instance lock, the session's end, the clock's format, the text
// fitting rules and the shutdown path's version answer.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QLocale>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "charging/application.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "charging/window_layouts.h"
#include "platform/sim/sim_platform.h"
#include "platform/linux/gui/display_choice.h"
#include "platform/linux/gui/session_end.h"
#include "platform/linux/gui/text_fit.h"
#include "platform/linux/system/flock_lock.h"
#include "platform/linux/system/locale_clock.h"
#include "platform/linux/power/logind_shutdown.h"
#include "private_bus.h"
#include "tests/stored_settings.h"

namespace fs = std::filesystem;
using namespace murrelet;
using namespace murrelet::linux_platform;

// The session manager's Die reaches the program as a Quit event, which Qt
// would answer by closing the windows (the user's close, with its boxes).
TEST(SessionEnd, TermHangUpAndTheSessionsQuitEachEndTheSessionOnTheGuiThreadAndTheDefaultsReturnAfterwards) {
  int endings = 0;
  int savings = 0;
  {
    SessionEnd session([&] { ++savings; }, [&] { ++endings; });
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(murrelet::testing::WaitFor([&] { return endings == 1; }));
    ASSERT_EQ(::raise(SIGHUP), 0);
    EXPECT_TRUE(murrelet::testing::WaitFor([&] { return endings == 2; }));
    QEvent quit(QEvent::Quit);
    EXPECT_TRUE(QCoreApplication::sendEvent(QCoreApplication::instance(), &quit)) << "taken, not left to Qt";
    EXPECT_EQ(endings, 3);
  }
  EXPECT_EQ(endings, 3);
  EXPECT_EQ(savings, 0);
  struct sigaction now {};
  ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
  ASSERT_EQ(::sigaction(SIGHUP, nullptr, &now), 0);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(FlockLocks, OneHolderAtATimeAndFreeAgainAfterwards) {
  char pattern[] = "/tmp/murrelet-lock-XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  FlockLocks first(dir);
  FlockLocks second(dir);
  LockAttempt held = first.Acquire("EX_GANNET");
  ASSERT_EQ(held.outcome, LockOutcome::Acquired);
  ASSERT_NE(held.lock, nullptr);
  EXPECT_TRUE(fs::exists(dir / "EX_GANNET.lock"));
  // A second open file description is what another process would have.
  EXPECT_EQ(second.Acquire("EX_GANNET").outcome, LockOutcome::HeldByAnotherCopy);
  EXPECT_EQ(second.Acquire("OTHER").outcome, LockOutcome::Acquired);
  held.lock.reset();
  EXPECT_EQ(second.Acquire("EX_GANNET").outcome, LockOutcome::Acquired);
  EXPECT_EQ(second.Acquire("../x").outcome, LockOutcome::Unavailable);
  EXPECT_EQ(FlockLocks({}).Acquire("EX_GANNET").outcome, LockOutcome::Unavailable) << "no folder, no guard";
  // A missing folder is made, for this user alone.
  EXPECT_EQ(FlockLocks(dir / "settings" / "lock").Acquire("EX_GANNET").outcome, LockOutcome::Acquired);
  EXPECT_EQ(fs::status(dir / "settings" / "lock").permissions(), fs::perms::owner_all);
  fs::remove_all(dir);
}

// The lock's folder follows from the user, never from XDG_RUNTIME_DIR: the
// runtime folder when it is this user's own real folder, else the settings
// folder's "lock", never a folder every user may write to.
TEST(FlockLocks, TheLockFolderIsTheUsersRuntimeFolderElseUnderTheSettingsFolder) {
  char pattern[] = "/tmp/murrelet-run-XXXXXX";
  const fs::path run = mkdtemp(pattern);
  const fs::path own = run / std::to_string(::geteuid());
  const fs::path settings = "/home/u/.config/murrelet";
  struct Case {
    const char* runtime;  // what stands at run/UID
    fs::path wanted;
  };
  const Case cases[] = {
      {"nothing", settings / "lock"},
      {"a plain file", settings / "lock"},
      {"a link to a folder of ours", settings / "lock"},
      {"a folder others may write to", settings / "lock"},
      {"another user's folder", settings / "lock"},
      {"our own folder", own},
  };
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = runtime != nullptr ? runtime : "";
  for (const Case& c : cases) {
    fs::remove_all(own);
    const std::string what = c.runtime;
    if (what == "a plain file") {
      std::ofstream(own).put('x');
    } else if (what == "a link to a folder of ours") {
      fs::create_directory(run / "elsewhere");
      fs::create_directory_symlink(run / "elsewhere", own);
    } else if (what != "nothing") {
      fs::create_directory(own);
      fs::permissions(own, what == "a folder others may write to" ? fs::perms::all : fs::perms::owner_all);
      if (what == "another user's folder" && (::geteuid() != 0 || ::chown(own.c_str(), 65534, 65534) != 0)) continue;
    }
    // Whatever the environment says, with and without it.
    for (const char* environment : {"", "/tmp/elsewhere", "relative/run"}) {
      if (environment[0] == '\0') {
        ::unsetenv("XDG_RUNTIME_DIR");
      } else {
        ::setenv("XDG_RUNTIME_DIR", environment, 1);
      }
      EXPECT_EQ(DefaultLockDirectory(settings, run), c.wanted) << c.runtime << ", XDG_RUNTIME_DIR=" << environment;
    }
    EXPECT_EQ(DefaultLockDirectory({}, run), c.wanted == own ? own : fs::path()) << c.runtime << ", no settings folder";
  }
  if (runtime != nullptr) {
    ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_RUNTIME_DIR");
  }
  fs::remove_all(run);
}

// Another local user plants the lock's file: held open with flock (mode
// 0666), or unwritable for us (0644). Neither may stop the program from
// starting, and no lock is ever taken on another user's file or in a folder
// others may write to; the program then runs without the guard.
TEST(FlockLocks, AFilePlantedByAnotherUserNeitherStopsTheStartNorIsLocked) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "planting another user's file needs root";
  }
  constexpr uid_t kOtherUser = 65534;  // nobody
  struct Case {
    const char* planting;
    fs::perms folder;
    mode_t file;
    bool heldByPlanter;
  };
  const Case cases[] = {
      {"0666 and held, in a shared folder", fs::perms::all | fs::perms::sticky_bit, 0666, true},
      {"0644, in a shared folder", fs::perms::all | fs::perms::sticky_bit, 0644, false},
      {"0666 and held, in our own folder", fs::perms::owner_all, 0666, true},
      {"0644, in our own folder", fs::perms::owner_all, 0644, false},
  };
  for (const Case& c : cases) {
    char pattern[] = "/tmp/murrelet-lock-XXXXXX";
    const fs::path dir = mkdtemp(pattern);
    fs::permissions(dir, c.folder);
    const fs::path file = dir / "EX_GANNET.lock";
    const int planted = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, c.file);
    ASSERT_GE(planted, 0) << c.planting;
    ASSERT_EQ(::fchmod(planted, c.file), 0);
    ASSERT_EQ(::fchown(planted, kOtherUser, kOtherUser), 0);
    if (c.heldByPlanter) {
      ASSERT_EQ(::flock(planted, LOCK_EX | LOCK_NB), 0);
    }
    EXPECT_EQ(FlockLocks(dir).Acquire("EX_GANNET").outcome, LockOutcome::Unavailable) << c.planting;
    ::close(planted);
    fs::remove_all(dir);
  }
}

TEST(LocaleClock, LongFormatIsTheShortOneWithSeconds) {
  EXPECT_EQ(LongTimeFormat("H:mm", "H時mm分ss秒 t"), "H:mm:ss");
  EXPECT_EQ(LongTimeFormat("h:mm AP", "h:mm:ss AP t"), "h:mm:ss AP");
  EXPECT_EQ(LongTimeFormat("HH.mm", "HH.mm.ss t"), "HH.mm.ss");
  EXPECT_EQ(LongTimeFormat("HH:mm:ss", "x"), "HH:mm:ss");
  EXPECT_EQ(LongTimeFormat("", "HH:mm:ss t"), "HH:mm:ss");

  LocaleClock japanese{QLocale(QLocale::Japanese, QLocale::Japan)};
  std::string text;
  japanese.FormatLongTime({1, 2, 3}, text);
  EXPECT_EQ(text, "1:02:03");
  japanese.FormatLongTime({23, 59, 59}, text);
  EXPECT_EQ(text, "23:59:59");
  LocaleClock german{QLocale(QLocale::German, QLocale::Germany)};
  german.FormatLongTime({1, 2, 3}, text);
  EXPECT_EQ(text, "01:02:03");
}

using murrelet::testing::PanelsOfTheFirstTimedTick;

bool HasDayHalf(const std::string& text) {
  return text.find("AM") != std::string::npos || text.find("PM") != std::string::npos;
}

TEST(LocaleClock, NowIsTheLocalTimeAndFollowsATimeZoneChangedWhileRunning) {
  const QByteArray savedTz = qgetenv("TZ");
  const bool hadTz = qEnvironmentVariableIsSet("TZ");
  LocaleClock clock;
  const auto minutesOf = [](const TimeOfDay& t) { return t.hour * 60 + t.minute; };
  qputenv("TZ", "UTC0");
  const TimeOfDay utc = clock.Now();
  qputenv("TZ", "JST-9");
  const TimeOfDay tokyo = clock.Now();
  qputenv("TZ", "UTC0");
  const QTime reference = QDateTime::currentDateTimeUtc().time();
  // Nine hours apart, give or take the minute turning between the readings.
  const int apart = ((minutesOf(tokyo) - minutesOf(utc)) % 1440 + 1440) % 1440;
  EXPECT_GE(apart, 9 * 60);
  EXPECT_LE(apart, 9 * 60 + 1);
  const int offReference = std::abs(minutesOf(utc) - (reference.hour() * 60 + reference.minute()));
  EXPECT_LE(std::min(offReference, 1440 - offReference), 1) << "the clock reads the current time";
  EXPECT_GE(tokyo.second, 0);
  EXPECT_LE(tokyo.second, 59);
  if (hadTz) {
    qputenv("TZ", savedTz);
  } else {
    qunsetenv("TZ");
  }
  ::tzset();
}

TEST(LocaleClock, TheCountdownReadsAsADurationInTwelveAndTwentyFourHourLocales) {
  LocaleClock english{QLocale(QLocale::English, QLocale::UnitedStates)};
  LocaleClock japanese{QLocale(QLocale::Japanese, QLocale::Japan)};
  // The two desktops: one tells the time with AM and PM, the other without.
  std::string text;
  english.FormatLongTime({0, 9, 59}, text);
  ASSERT_TRUE(HasDayHalf(text)) << text;
  ASSERT_EQ(text.rfind("12:09:59", 0), 0u) << text;
  japanese.FormatLongTime({0, 9, 59}, text);
  ASSERT_EQ(text, "0:09:59");

  const std::vector<std::string> englishPanels = PanelsOfTheFirstTimedTick(english);
  EXPECT_EQ(englishPanels[0], "充電中（残り 0:09:59)");
  EXPECT_TRUE(HasDayHalf(englishPanels[1])) << englishPanels[1];  // the clock keeps the locale's format
  const std::vector<std::string> japanesePanels = PanelsOfTheFirstTimedTick(japanese);
  EXPECT_EQ(japanesePanels[0], "充電中（残り 0:09:59)");
  EXPECT_FALSE(HasDayHalf(japanesePanels[1])) << japanesePanels[1];
}

TEST(LogindShutdown, TakesThePathWithoutPrivilegesAndRefusesWithoutLogind) {
  LogindShutdown shutdown{QDBusConnection(QStringLiteral("not connected"))};
  OSVERSIONINFO info;
  info.dwOSVersionInfoSize = kOsVersionInfoSize;
  EXPECT_TRUE(shutdown.GetVersionEx(info));
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_FALSE(shutdown.ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, 0));
  TokenHandle token = 1;
  EXPECT_FALSE(shutdown.OpenProcessToken(TOKEN_QUERY, token));
  EXPECT_EQ(token, 0u);
}

TEST(DisplayChoice, XWaylandWhereTheCompositorLeavesFramesToTheWindowQtsOwnChoiceElsewhere) {
  struct Case {
    const char* desktop;
    bool wayland, x11, userChose;
    const char* platform;
  } cases[] = {
      {"GNOME", true, true, false, "xcb;wayland"},          // GNOME Shell on Wayland: mutter frames X11 windows
      {"ubuntu:GNOME", true, true, false, "xcb;wayland"},
      {"", true, true, false, "xcb;wayland"},               // weston and other unnamed compositors
      {"KDE", true, true, false, ""},               // KWin frames Wayland windows itself
      {"sway", true, true, false, ""},
      {"GNOME", true, false, false, ""},            // no XWayland: native Wayland is the only way
      {"GNOME", false, true, false, ""},            // an X11 session
      {"GNOME", true, true, true, ""},              // QT_QPA_PLATFORM set: the user's word
      {"X-Generic:KDE", true, true, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PreferredQtPlatform(c.desktop, c.wayland, c.x11, c.userChose), c.platform)
        << c.desktop << c.wayland << c.x11 << c.userChose;
  }
}
