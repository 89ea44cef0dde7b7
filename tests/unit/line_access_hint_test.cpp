// The advice after a refused open says what would help this user: join the
// group (with the platform's command), log in again, or, for a user already
// in the group, that something else refuses; for a device no group may open,
// its owner, group and mode and what to ask the administrator.
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
       {true, "/dev/ttyACM0", "dialout", GroupStanding::NotMember, "sudo usermod -aG dialout $USER", "", "", 0},
       head + "\ndialoutグループに参加してから、ログインし直してください。\n端末で次のコマンドを実行します：\n"
              "sudo usermod -aG dialout $USER"},
      {"not in the group, no command on this platform",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::NotMember, "", "", "", 0},
       head + "\ndialoutグループに参加してから、ログインし直してください。"},
      {"joined since this login",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::JoinedSinceLogin, "", "", "", 0},
       head + "\ndialoutグループには参加済みです。ログインし直すと開けるようになります。"},
      {"in the group already",
       {true, "/dev/ttyACM0", "dialout", GroupStanding::InThisProcess, "", "", "", 0},
       head + "\ndialoutグループには参加済みですが、システムのセキュリティ設定（AppArmor、SELinux "
              "など）がアクセスを拒否しています。"},
      {"no group known", {true, "/dev/ttyACM0", "", GroupStanding::InThisProcess, "", "", "", 0}, head},
      // No group may read and write it: only the administrator can help.
      {"no group may open it",
       {true, "/dev/ttyACM0", "", GroupStanding::NotMember, "", "root", "root", 0600},
       head + "\n所有者：root、グループ：root、アクセス権：0600。どのグループにも読み書きが許されていません。\n"
              "管理者に、このデバイスをグループ（dialout など）で読み書きできるようにし（udev 規則の GROUP と "
              "MODE=\"0660\"）、そのグループに参加させてもらうよう依頼してください。"},
      {"its group may write only",
       {true, "/dev/ttyACM0", "", GroupStanding::NotMember, "", "root", "tty", 020620},
       head + "\n所有者：root、グループ：tty、アクセス権：0620。どのグループにも読み書きが許されていません。\n"
              "管理者に、このデバイスをグループ（dialout など）で読み書きできるようにし（udev 規則の GROUP と "
              "MODE=\"0660\"）、そのグループに参加させてもらうよう依頼してください。"},
      // Its group may open it but has no name here: nothing certain to say.
      {"an unnamed group may open it", {true, "/dev/ttyACM0", "", GroupStanding::NotMember, "", "root", "4711", 0660},
       head},
  };
  for (const Case& c : cases) EXPECT_EQ(LineAccessHint("KESTRA T48R", c.diagnosis), c.text) << c.where;
}

}  // namespace
}  // namespace murrelet
