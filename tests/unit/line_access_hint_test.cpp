// The advice after a refused open says what would help this user: join the
// group (with the platform's command), log in again, or, for a user already
// in the group, that something else refuses.
#include <gtest/gtest.h>

#include <string>

#include "charging/line_access_hint.h"

namespace murrelet {
namespace {

TEST(LineAccessHint, SaysWhatWouldHelpWhereTheUserStands) {
  struct Case {
    const char* where;
    LineOpenDiagnosis diagnosis;
    std::string text;
  };
  const std::string head = "KESTRA T48R（/dev/ttyACM0）を開く権限がありません。";
  const Case cases[] = {
      {"not in the group",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::NotMember, "sudo usermod -aG dialout $USER"},
       head + "\ndialoutグループに参加してから、ログインし直してください。\n端末で次のコマンドを実行します：\n"
              "sudo usermod -aG dialout $USER"},
      {"not in the group, no command on this platform",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::NotMember, ""},
       head + "\ndialoutグループに参加してから、ログインし直してください。"},
      {"joined since this login",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::JoinedSinceLogin, ""},
       head + "\ndialoutグループには参加済みです。ログインし直すと開けるようになります。"},
      {"in the group already",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::InThisProcess, ""},
       head + "\ndialoutグループには参加済みですが、システムのセキュリティ設定（AppArmor、SELinux "
              "など）がアクセスを拒否しています。"},
      {"no group known", {true, "/dev/ttyACM0", "", GroupStanding::InThisProcess, ""}, head},
  };
  for (const Case& c : cases) EXPECT_EQ(LineAccessHint("KESTRA T48R", c.diagnosis), c.text) << c.where;
}

}  // namespace
}  // namespace murrelet
