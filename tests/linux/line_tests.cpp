// The tty line adapter on a fake sysfs tree, with pseudo-terminals standing in
// for the modem ttys; the core's own search runs over it unchanged.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/linux/line/tty_access.h"
#include "platform/linux/line/tty_tapi.h"
#include "fake_machine.h"
#include "services/handset_line.h"

namespace fs = std::filesystem;
using namespace murrelet;
using namespace murrelet::linux_platform;
using murrelet::testing::FakeMachine;

namespace {

int OpenFds() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

// The line application that every later call needs; the machine's devices
// are counted as `devices`.
HLINEAPP Initialized(TtyTapi& tapi, std::uint32_t devices = 1) {
  HLINEAPP app = 0;
  std::uint32_t count = 0;
  EXPECT_EQ(tapi.lineInitialize(&app, &count), 0);
  EXPECT_EQ(count, devices);
  return app;
}

}  // namespace

TEST(ModemScan, ListsModemTtysInNumericOrderWithTheirProductNames) {
  FakeMachine machine;
  machine.AddTty("ttyACM10", "Ten");
  machine.AddTty("ttyACM2", "KESTRA T48R");
  machine.AddTty("ttyUSB0", "Dongle", "option");
  fs::create_directories(machine.Sys() / "class" / "tty" / "ttyS0");  // not a USB modem
  const auto ttys = ScanModemTtys(machine.Sys());
  ASSERT_EQ(ttys.size(), 3u);
  EXPECT_EQ(ttys[0].ttyName, "ttyACM2");
  EXPECT_EQ(ttys[0].lineName, "KESTRA T48R");
  EXPECT_TRUE(ttys[0].dataModem);
  EXPECT_EQ(ttys[1].ttyName, "ttyACM10");
  EXPECT_EQ(ttys[2].ttyName, "ttyUSB0");
  EXPECT_FALSE(ttys[2].dataModem);  // not served by cdc_acm
  EXPECT_TRUE(ScanModemTtys(machine.Sys() / "missing").empty());
}

TEST(ModemScan, ARescanReadsOnlyTheDevicesThatAreNewBehindTheirNames) {
  FakeMachine machine;
  machine.AddTty("ttyACM0", "KESTRA T48R", "cdc_acm", /*withNode=*/false);
  machine.AddTty("ttyACM1", "Other Modem", "cdc_acm", /*withNode=*/false);
  ModemScanner scanner(machine.Sys());
  std::vector<ModemTty> ttys;
  scanner.Scan(ttys);
  ASSERT_EQ(ttys.size(), 2u);
  EXPECT_EQ(ttys[0].lineName, "KESTRA T48R");

  // The same device stays plugged in: what it said is kept, not read again.
  const fs::path device0 = machine.Sys() / "devices" / "usb1" / "1-ttyACM0";
  std::ofstream(device0 / "product") << "Rewritten\n";
  scanner.Scan(ttys);
  ASSERT_EQ(ttys.size(), 2u);
  EXPECT_EQ(ttys[0].lineName, "KESTRA T48R");

  // Unplugged: gone from the list. Another device under the same name: read afresh.
  fs::remove_all(device0);
  fs::remove_all(machine.Sys() / "class" / "tty" / "ttyACM0");
  scanner.Scan(ttys);
  ASSERT_EQ(ttys.size(), 1u);
  EXPECT_EQ(ttys[0].ttyName, "ttyACM1");
  machine.AddTty("ttyACM0", "Another Phone", "option", /*withNode=*/false);
  scanner.Scan(ttys);
  ASSERT_EQ(ttys.size(), 2u);
  EXPECT_EQ(ttys[0].lineName, "Another Phone");
  EXPECT_FALSE(ttys[0].dataModem);

  // A tty whose device is not linked yet is listed without media, then read once it is.
  fs::create_directories(machine.Sys() / "class" / "tty" / "ttyACM5");
  scanner.Scan(ttys);
  ASSERT_EQ(ttys.size(), 3u);
  EXPECT_EQ(ttys[2].ttyName, "ttyACM5");
  EXPECT_FALSE(ttys[2].dataModem);
  EXPECT_EQ(ttys[2].lineName, "");
  fs::remove_all(machine.Sys() / "class" / "tty" / "ttyACM5");
  machine.AddTty("ttyACM5", "KESTRA T48R", "cdc_acm", /*withNode=*/false);
  scanner.Scan(ttys);
  ASSERT_EQ(ttys.size(), 3u);
  EXPECT_EQ(ttys[2].lineName, "KESTRA T48R");
  EXPECT_TRUE(ttys[2].dataModem);
}

TEST(TtyTapi, TheCoreSearchFindsTheHandsetByProductName) {
  FakeMachine machine;
  machine.AddTty("ttyACM0", "Other Modem");
  machine.AddTty("ttyACM1", "KESTRA T48R");
  machine.AddTty("ttyUSB0", "KESTRA T48R", "option");  // right name, no data-modem media
  TtyTapi tapi(machine.Sys(), machine.Dev());
  EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), 1);
  EXPECT_EQ(FindHandsetLine(tapi, "kestra t48r"), kNoDevice);
  EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R "), kNoDevice);
  EXPECT_EQ(tapi.LiveApplications(), 0u);
}

TEST(TtyTapi, NoDevicesMeansNotFoundAndNothingLeftOpen) {
  FakeMachine machine;
  TtyTapi tapi(machine.Sys(), machine.Dev());
  EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), kNoDevice);
  EXPECT_EQ(tapi.LiveApplications(), 0u);
}

// The calls before lineOpen: version 1.4 only, and the capabilities with
// the name only when it fits.
TEST(TtyTapi, NegotiatesVersionOnePointFourOnlyAndFillsTheNameOnlyWhenItFits) {
  FakeMachine machine;
  machine.AddTty("ttyACM0", "KESTRA T48R");
  TtyTapi tapi(machine.Sys(), machine.Dev());
  const HLINEAPP app = Initialized(tapi);
  ASSERT_NE(app, 0u);
  std::uint32_t version = 0;
  LINEEXTENSIONID ext;
  EXPECT_EQ(tapi.lineNegotiateAPIVersion(app, 0, kTapiVersion14, kTapiVersion14, &version, &ext), 0);
  EXPECT_EQ(version, kTapiVersion14);
  EXPECT_EQ(tapi.lineNegotiateAPIVersion(app, 0, 0x20000, 0x30000, &version, &ext), LINEERR_INCOMPATIBLEAPIVERSION);
  EXPECT_EQ(tapi.lineNegotiateAPIVersion(app, 1, kTapiVersion14, kTapiVersion14, &version, &ext), LINEERR_BADDEVICEID);
  EXPECT_EQ(tapi.lineNegotiateAPIVersion(0, 0, kTapiVersion14, kTapiVersion14, &version, &ext), LINEERR_INVALAPPHANDLE);

  std::vector<std::byte> small(devcaps::kFixedSize);
  devcaps::Put(small, devcaps::dwTotalSize, devcaps::kFixedSize);
  ASSERT_EQ(tapi.lineGetDevCaps(app, 0, kTapiVersion14, 0, small), 0);
  const std::uint32_t needed = devcaps::Get(small, devcaps::dwNeededSize);
  EXPECT_EQ(needed, devcaps::kFixedSize + std::string("KESTRA T48R").size() + 1);
  EXPECT_EQ(devcaps::Get(small, devcaps::dwLineNameSize), 0u);
  EXPECT_EQ(devcaps::Get(small, devcaps::dwMediaModes), LINEMEDIAMODE_DATAMODEM);
  EXPECT_EQ(devcaps::Get(small, devcaps::dwTotalSize), devcaps::kFixedSize);

  std::vector<std::byte> big(needed);
  devcaps::Put(big, devcaps::dwTotalSize, needed);
  ASSERT_EQ(tapi.lineGetDevCaps(app, 0, kTapiVersion14, 0, big), 0);
  EXPECT_EQ(LineNameOf(big), "KESTRA T48R");

  // Failures leave the block alone.
  std::vector<std::byte> lying(devcaps::kFixedSize);
  devcaps::Put(lying, devcaps::dwTotalSize, 4096);  // larger than the block really is
  const auto before = lying;
  EXPECT_LT(tapi.lineGetDevCaps(app, 0, kTapiVersion14, 0, lying), 0);
  EXPECT_LT(tapi.lineGetDevCaps(app, 0, 0x20000, 0, lying), 0);
  EXPECT_LT(tapi.lineGetDevCaps(app, 5, kTapiVersion14, 0, lying), 0);
  EXPECT_LT(tapi.lineGetDevCaps(app + 100, 0, kTapiVersion14, 0, lying), 0);
  EXPECT_EQ(lying, before);
  EXPECT_EQ(tapi.lineShutdown(app), 0);
}


// Opening the handset's line opens its tty and closing releases it; a tty
// whose node has gone opens nothing, zeroes both handles and leaves nothing open.
TEST(TtyTapi, OpeningTheLineOpensTheTtyAndClosingReleasesItALineThatHasGoneLeavesNothingOpen) {
  for (const bool withNode : {true, false}) {
    SCOPED_TRACE(withNode ? "the tty" : "a tty whose node has gone");
    FakeMachine machine;
    machine.AddTty("ttyACM0", "KESTRA T48R", "cdc_acm", withNode);
    TtyTapi tapi(machine.Sys(), machine.Dev());
    ASSERT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), 0);
    // Counted after the first search: the scanner keeps the tty class directory open.
    const int before = OpenFds();
    HLINEAPP app = withNode ? 0 : 7;
    HLINE line = withNode ? 0 : 7;
    OpenHandsetLine(tapi, 0, app, line);
    if (withNode) {
      ASSERT_NE(app, 0u);
      ASSERT_GE(static_cast<std::int32_t>(line), 1);
      EXPECT_EQ(tapi.OpenLines(), 1u);
      EXPECT_EQ(OpenFds(), before + 1);
      CloseHandsetLine(tapi, app, line);
    } else {
      EXPECT_EQ(app, 0u);
      EXPECT_EQ(line, 0u);
    }
    EXPECT_EQ(OpenFds(), before);
    EXPECT_EQ(tapi.LiveApplications(), 0u);
    // Twice, and with zero handles: harmless.
    CloseHandsetLine(tapi, app, line);
    CloseHandsetLine(tapi, 0, 0);
    EXPECT_EQ(OpenFds(), before);
  }
}

TEST(TtyTapi, AHungUpTtyOrAVanishedNodeIsALineTheSystemClosed) {
  struct Case {
    const char* what;
    void (*act)(FakeMachine&);
    bool closed;
  };
  const Case cases[] = {
      {"nothing happens", [](FakeMachine&) {}, false},
      {"the handset's side hangs up", [](FakeMachine& m) { m.HangUp(); }, true},
      {"the sysfs node goes", [](FakeMachine& m) { m.RemoveSysfsNode("ttyACM0"); }, true},
  };
  for (const Case& c : cases) {
    FakeMachine machine;
    machine.AddTty("ttyACM0", "KESTRA T48R");
    TtyTapi tapi(machine.Sys(), machine.Dev());
    HLINEAPP app = 0;
    HLINE line = 0;
    OpenHandsetLine(tapi, FindHandsetLine(tapi, "KESTRA T48R"), app, line);
    ASSERT_GE(static_cast<std::int32_t>(line), 1) << c.what;
    EXPECT_FALSE(tapi.LineClosedBySystem(line)) << c.what;
    c.act(machine);
    EXPECT_EQ(tapi.LineClosedBySystem(line), c.closed) << c.what;
    EXPECT_FALSE(tapi.LineClosedBySystem(line + 1)) << c.what << ": a handle that is not open";
    // The run's end closes it as any other line, and nothing stays open.
    CloseHandsetLine(tapi, app, line);
    EXPECT_EQ(tapi.OpenLines(), 0u) << c.what;
    EXPECT_EQ(tapi.LiveApplications(), 0u) << c.what;
    EXPECT_FALSE(tapi.LineClosedBySystem(line)) << c.what;
  }
}

TEST(TtyTapi, RefusesMediaTheDeviceDoesNotOffer) {
  FakeMachine machine;
  machine.AddTty("ttyUSB0", "KESTRA T48R", "option");
  TtyTapi tapi(machine.Sys(), machine.Dev());
  const HLINEAPP app = Initialized(tapi);
  ASSERT_NE(app, 0u);
  HLINE line = 0;
  EXPECT_EQ(tapi.lineOpen(app, 0, &line, kTapiVersion14, 0, 0, 6, LINEMEDIAMODE_DATAMODEM), LINEERR_INVALMEDIAMODE);
  EXPECT_EQ(line, 0u);
  EXPECT_EQ(tapi.OpenLines(), 0u);
  // Ending the application closes whatever it left open.
  tapi.lineShutdown(app);
  EXPECT_EQ(tapi.lineClose(12345), LINEERR_INVALLINEHANDLE);
}

namespace {

// Finds the handset and opens its line the way a run does; true when it opened.
bool StartARun(TtyTapi& tapi) {
  const std::int32_t id = FindHandsetLine(tapi, "KESTRA T48R");
  if (id == kNoDevice) return false;
  HLINEAPP app = 0;
  HLINE line = 0;
  OpenHandsetLine(tapi, id, app, line);
  const bool opened = static_cast<std::int32_t>(line) >= 1;
  CloseHandsetLine(tapi, app, line);
  return opened;
}

}  // namespace

TEST(TtyTapi, OnlyARefusedAccessIsDiagnosedAsSuch) {
  struct Case {
    int error;
    bool accessDenied;
  };
  for (const Case& c : {Case{EACCES, true}, Case{EPERM, true}, Case{EBUSY, false}, Case{ENOENT, false},
                        Case{EIO, false}}) {
    SCOPED_TRACE(c.error);
    FakeMachine machine;
    machine.AddTty("ttyACM0", "KESTRA T48R");
    int refusals = 0;
    TtyTapi tapi(machine.Sys(), machine.Dev(), [&](const char* path, int flags) {
      if (refusals-- > 0) {
        errno = c.error;
        return -1;
      }
      return OpenNodeWithTheSystem(path, flags);
    });
    refusals = 1;
    EXPECT_FALSE(StartARun(tapi));
    const LineOpenDiagnosis diagnosis = tapi.LastOpenDiagnosis();
    EXPECT_EQ(diagnosis.accessDenied, c.accessDenied);
    EXPECT_EQ(diagnosis.device, c.accessDenied ? (machine.Dev() / "ttyACM0").string() : "");
    EXPECT_EQ(tapi.LiveApplications(), 0u);
    // The next search starts afresh, and so does a run that opens.
    EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), 0);
    EXPECT_FALSE(tapi.LastOpenDiagnosis().accessDenied);
    refusals = 1;
    StartARun(tapi);
    EXPECT_TRUE(StartARun(tapi));
    EXPECT_FALSE(tapi.LastOpenDiagnosis().accessDenied);
  }
}

TEST(TtyTapi, TheDiagnosisNamesTheNodesOwnerGroupAndModeAndTheGroupToJoinOnlyWhenItsMembersMayOpenIt) {
  char pattern[] = "/tmp/murrelet-node-XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  const fs::path node = dir / "ttyACM0";
  std::ofstream(node).put('x');
  struct stat status {};
  ASSERT_EQ(::stat(node.c_str(), &status), 0);
  const struct group* owner = ::getgrgid(status.st_gid);
  ASSERT_NE(owner, nullptr);
  const std::string groupName = owner->gr_name;
  const struct passwd* user = ::getpwuid(status.st_uid);
  ASSERT_NE(user, nullptr);
  const std::string userName = user->pw_name;
  struct Case {
    mode_t mode;
    bool named;
  };
  for (const Case& c : {Case{0660, true}, Case{0620, false}, Case{0600, false}, Case{0000, false}}) {
    SCOPED_TRACE(c.mode);
    ASSERT_EQ(::chmod(node.c_str(), c.mode), 0);
    const LineOpenDiagnosis diagnosis = DiagnoseRefusedAccess(node);
    EXPECT_TRUE(diagnosis.accessDenied);
    EXPECT_EQ(diagnosis.device, node.string());
    EXPECT_EQ(diagnosis.group, c.named ? groupName : "");
    // Always: what the administrator would change.
    EXPECT_EQ(diagnosis.deviceOwner, userName);
    EXPECT_EQ(diagnosis.deviceGroup, groupName);
    EXPECT_EQ(diagnosis.deviceMode, c.mode);
    if (c.named) {
      // The node is this process's own group: joining it would change nothing.
      EXPECT_EQ(diagnosis.standing, GroupStanding::InThisProcess);
      EXPECT_EQ(diagnosis.joinCommand, "");
    }
  }
  EXPECT_EQ(DiagnoseRefusedAccess(dir / "gone").group, "");
  fs::remove_all(dir);
}

// The real refusal: the tty's pseudo-terminal is made one that this user may
// not open (as root, permission bits are ignored, so a child process drops to
// nobody first). The child reports through its exit code.
TEST(TtyTapi, ATtyTheUserMayNotOpenIsReportedAsRefusedAccess) {
  FakeMachine machine;
  machine.AddTty("ttyACM0", "KESTRA T48R");
  const fs::path node = machine.Dev() / "ttyACM0";
  const bool asRoot = ::geteuid() == 0;
  std::string expectedGroup;
  if (asRoot) {
    // A node its group may open, owned by a group that nobody is not in.
    ASSERT_EQ(::chmod(node.c_str(), 0660), 0);
    ASSERT_EQ(::chmod(machine.Root().c_str(), 0755), 0);
    struct stat status {};
    ASSERT_EQ(::stat(node.c_str(), &status), 0);
    expectedGroup = ::getgrgid(status.st_gid)->gr_name;
  } else {
    ASSERT_EQ(::chmod(node.c_str(), 0000), 0);
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (asRoot && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
    TtyTapi tapi(machine.Sys(), machine.Dev());
    if (StartARun(tapi)) ::_exit(11);
    const LineOpenDiagnosis diagnosis = tapi.LastOpenDiagnosis();
    if (!diagnosis.accessDenied) ::_exit(12);
    if (diagnosis.device != node.string()) ::_exit(13);
    if (diagnosis.group != expectedGroup) ::_exit(14);
    // nobody is not in the node's group: the advice is to join it.
    if (diagnosis.standing != GroupStanding::NotMember) ::_exit(15);
    if (asRoot && diagnosis.joinCommand != "sudo usermod -aG " + expectedGroup + " $USER") ::_exit(16);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 10) GTEST_SKIP() << "this root may not drop to nobody";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A group whose entry needs more than the first buffer (many members) is
// looked up again with a larger one instead of losing its name.
TEST(TtyAccess, AGroupLookupThatNeedsMoreRoomGrowsItsBuffer) {
  struct Case {
    std::size_t needs;
    int answer;
  };
  for (const Case& c : {Case{100, 0}, Case{4097, 0}, Case{70000, 0}, Case{std::size_t{1} << 30, ERANGE}}) {
    SCOPED_TRACE(c.needs);
    std::vector<char> buffer(4096);
    int calls = 0;
    const int answer = LookUpWithGrowingBuffer(buffer, [&](std::vector<char>& b) {
      ++calls;
      return b.size() >= c.needs ? 0 : ERANGE;
    });
    EXPECT_EQ(answer, c.answer);
    if (c.answer == 0) {
      EXPECT_GE(buffer.size(), c.needs);
    }
    EXPECT_LE(buffer.size(), std::size_t{1} << 20) << "never without bound";
    EXPECT_LT(calls, 20);
  }
}
