// `show`: the main window as one line of text, for demos and for reading.
#include "tools/scenario/scenario.h"

namespace murrelet::scenario {
namespace {

void AppendButton(std::string& line, const TButton& button, std::string_view label) {
  // Brackets for an enabled button, parentheses for a disabled one.
  line += button.Enabled() ? '[' : '(';
  line += label;
  line += button.Enabled() ? ']' : ')';
}

}  // namespace

std::string Scenario::ShowLine() const {
  if (!app_ || app_->MainForm() == nullptr) return "(the program is not running)";
  const TMainForm& m = *app_->MainForm();
  std::string line = "| ";
  line += m.StatusBar.Panel(1);
  line += " | 電源 ";
  line += m.LMDLabel1.Text();
  if (m.LMDLabel1.Color() == FontColor::Red) line += "(赤)";
  line += ' ';
  line += std::to_string(m.LMDProgress.ShownPercent());
  line += "% | ";
  line += std::to_string(m.SpinEdit1.Value());
  line += "時間 ";
  line += std::to_string(m.SpinEdit2.Value());
  line += "分 ";
  line += m.LMDCheckBox1.Checked() ? "☑" : "☐";
  line += " | ";
  AppendButton(line, m.SpeedButton1, "環境設定");
  line += ' ';
  AppendButton(line, m.SpeedButton2, m.SpeedButton2.Text());
  line += ' ';
  AppendButton(line, m.SpeedButton3, m.SpeedButton3.Text());
  line += " | ";
  line += m.StatusBar.Panel(0);
  return line;
}

}  // namespace murrelet::scenario
