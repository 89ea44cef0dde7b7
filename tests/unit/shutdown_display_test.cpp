// A failed shutdown at the end of a run reaches the standard error display
// with its two lines split by CR LF and the display's full stop appended.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tools/scenario/scenario.h"

namespace murrelet {
namespace {

std::string ErrorsAfter(const std::string& setup) {
  std::ostringstream out, err;
  scenario::Scenario play(out, err);
  const int code = play.RunScript(setup + R"(
device add "KESTRA T48R"
start
check LMDCheckBox1 on
click SpeedButton2
broadcast 9 0
)");
  EXPECT_EQ(code, scenario::kOk) << err.str();
  return play.Dump(false).Child("errors")->Serialize();
}

std::string OneError(const std::string& text) {
  scenario::Json errors = scenario::Json::MakeArray();
  errors.Push(text);
  return errors.Serialize();
}

TEST(ShutdownFailureDisplay, ShowsTheExactMessageBytes) {
  EXPECT_EQ(ErrorsAfter("shutdown adjust=fail"),
            OneError("\xE7\x89\xB9\xE6\xA8\xA9\xE3\x82\x92\xE5\x86\x8D\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x81\xA7\xE3\x81\x8D"
                     "\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xE3\x80\x82\x0D\x0AWindows "
                     "を終了させることができませんでした。."));
  EXPECT_EQ(ErrorsAfter("shutdown exit=fail"),
            OneError("特権を再設定できません。\r\nWindows を終了させることができませんでした。."));
  EXPECT_EQ(ErrorsAfter("shutdown token=fail"),
            OneError("トークンを開けません。\r\nWindows を終了させることができませんでした。."));
  EXPECT_EQ(ErrorsAfter("platform other\nshutdown exit=fail"),
            OneError("コンピュータの電源を切ることができませんでした。."));
  EXPECT_EQ(ErrorsAfter("shutdown lookup=fail"), "[]");
  EXPECT_EQ(ErrorsAfter(""), "[]");
}

}  // namespace
}  // namespace murrelet
