// `show`: the main window as one line of text, for demos and for reading.
#include "tools/scenario/scenario.h"

namespace murrelet::scenario {
namespace {

std::string Button(const TButton& button, std::string_view label) {
  // Brackets for an enabled button, parentheses for a disabled one.
  const std::string text(label);
  return button.Enabled() ? "[" + text + "]" : "(" + text + ")";
}

}  // namespace

std::string Scenario::ShowLine() const {
  if (!app_ || app_->MainForm() == nullptr) return "(the program is not running)";
  const TMainForm& m = *app_->MainForm();
  std::string line = "| " + m.StatusBar.Panel(1) + " | 電源 " + m.LMDLabel1.Text();
  if (m.LMDLabel1.Color() == FontColor::Red) line += "(赤)";
  line += " " + std::to_string(m.LMDProgress.ShownPercent()) + "% | ";
  line += std::to_string(m.SpinEdit1.Value()) + "時間 " + std::to_string(m.SpinEdit2.Value()) + "分 ";
  line += m.LMDCheckBox1.Checked() ? "☑" : "☐";
  line += " | " + Button(m.SpeedButton1, "環境設定") + " " + Button(m.SpeedButton2, m.SpeedButton2.Text()) + " " +
          Button(m.SpeedButton3, m.SpeedButton3.Text());
  line += " | " + m.StatusBar.Panel(0);
  return line;
}

}  // namespace murrelet::scenario
