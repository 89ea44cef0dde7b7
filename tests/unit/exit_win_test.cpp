// The shutdown component: which path, which flag word, which message, and the
// token handed back; against the simulated system calls, never a real one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_services.h"
#include "services/exit_win.h"

namespace murrelet {
namespace {

std::vector<std::string> Ops(const sim::SimShutdown& system) {
  std::vector<std::string> ops;
  for (const auto& call : system.calls) ops.push_back(call.op);
  return ops;
}

std::string Arg(const sim::ShutdownCall& call, const std::string& name) {
  for (const auto& [key, value] : call.args) {
    if (key == name) return value;
  }
  return "<none>";
}

std::string MessageOf(sim::SimShutdown& system) {
  TExitWin exitWin(system);
  try {
    exitWin.ShutDownSystem();
  } catch (const EExitError& error) {
    return error.what();
  }
  return "<no error>";
}

TEST(ExitWin, NtSuccessEnablesThePrivilegeAndAsksWithFlagOne) {
  sim::SimShutdown system;
  TExitWin exitWin(system);
  EXPECT_TRUE(exitWin.ShutDownSystem());
  EXPECT_EQ(Ops(system), (std::vector<std::string>{"GetVersionEx", "OpenProcessToken", "LookupPrivilegeValue",
                                                   "AdjustTokenPrivileges", "ExitWindowsEx", "CloseHandle"}));
  EXPECT_EQ(Arg(system.calls[0], "dwOSVersionInfoSize"), "148");
  EXPECT_EQ(Arg(system.calls[1], "desiredAccess"), "40");
  EXPECT_EQ(Arg(system.calls[2], "name"), "\"SeShutdownPrivilege\"");
  EXPECT_EQ(Arg(system.calls[3], "disableAllPrivileges"), "false");
  EXPECT_EQ(Arg(system.calls[3], "privilegeCount"), "1");
  EXPECT_EQ(Arg(system.calls[3], "luid"), "19");
  EXPECT_EQ(Arg(system.calls[3], "attributes"), "2");
  EXPECT_EQ(Arg(system.calls[4], "flags"), "1");
  EXPECT_EQ(Arg(system.calls[4], "reserved"), "0");
  EXPECT_EQ(system.accepted, 1);
  EXPECT_TRUE(system.openTokens.empty());
}

TEST(ExitWin, OtherFamilyAsksWithFlagNineAndNoPrivilege) {
  sim::SimShutdown system;
  system.nt = false;
  TExitWin exitWin(system);
  EXPECT_FALSE(exitWin.IsWinNT());
  system.calls.clear();
  EXPECT_TRUE(exitWin.ShutDownSystem());
  EXPECT_EQ(Ops(system), (std::vector<std::string>{"GetVersionEx", "ExitWindowsEx"}));
  EXPECT_EQ(Arg(system.calls[1], "flags"), "9");
}

TEST(ExitWin, FailedLookupReturnsFalseWithoutAskingOrRaising) {
  sim::SimShutdown system;
  system.lookupOk = false;
  TExitWin exitWin(system);
  EXPECT_FALSE(exitWin.ShutDownSystem());
  EXPECT_EQ(Ops(system), (std::vector<std::string>{"GetVersionEx", "OpenProcessToken", "LookupPrivilegeValue",
                                                   "CloseHandle"}));
  EXPECT_EQ(system.accepted, 0);
  EXPECT_TRUE(system.openTokens.empty());
}

TEST(ExitWin, FailureMessagesByteForByte) {
  const std::string privilege =
      "\xE7\x89\xB9\xE6\xA8\xA9\xE3\x82\x92\xE5\x86\x8D\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE"
      "\xE3\x81\x9B\xE3\x82\x93\xE3\x80\x82\r\nWindows \xE3\x82\x92\xE7\xB5\x82\xE4\xBA\x86\xE3\x81\x95\xE3\x81\x9B"
      "\xE3\x82\x8B\xE3\x81\x93\xE3\x81\xA8\xE3\x81\x8C\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93"
      "\xE3\x81\xA7\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82";
  ASSERT_EQ(privilege, "特権を再設定できません。\r\nWindows を終了させることができませんでした。");
  {
    sim::SimShutdown system;
    system.adjustOk = false;
    EXPECT_EQ(MessageOf(system), privilege);
    EXPECT_EQ(Ops(system), (std::vector<std::string>{"GetVersionEx", "OpenProcessToken", "LookupPrivilegeValue",
                                                     "AdjustTokenPrivileges", "CloseHandle"}));
    EXPECT_TRUE(system.openTokens.empty());
  }
  {
    sim::SimShutdown system;
    system.exitOk = false;
    EXPECT_EQ(MessageOf(system), privilege);  // not the power-off message
    EXPECT_TRUE(system.openTokens.empty());
  }
  {
    sim::SimShutdown system;
    system.tokenOk = false;
    EXPECT_EQ(MessageOf(system), "トークンを開けません。\r\nWindows を終了させることができませんでした。");
    EXPECT_EQ(Ops(system), (std::vector<std::string>{"GetVersionEx", "OpenProcessToken"}));
  }
  {
    sim::SimShutdown system;
    system.nt = false;
    system.exitOk = false;
    EXPECT_EQ(MessageOf(system), "コンピュータの電源を切ることができませんでした。");
  }
  {
    // No state is kept: a later call starts afresh.
    sim::SimShutdown system;
    system.exitOk = false;
    TExitWin exitWin(system);
    EXPECT_THROW(exitWin.ShutDownSystem(), EExitError);
    system.exitOk = true;
    EXPECT_TRUE(exitWin.ShutDownSystem());
  }
}

}  // namespace
}  // namespace murrelet
