#include "charging/conf_form.h"

#include <algorithm>

#include "charging/texts.h"
#include "charging/window_layouts.h"

namespace murrelet {

TConfForm::TConfForm(FormHost& host)
    : Form("ConfForm", text::kConfCaption, kConfClientWidth, kConfClientHeight, ConfFormLayout(), kDesignFont,
           WindowRole::Dialog), host_(host) {
  for (Control* control : std::initializer_list<Control*>{&LMDGroupBox3, &Label2, &StaticText, &LMDSimpleLabel1,
                                                          &LMDGroupBox1, &CheckBox1, &LMDGroupBox2, &CheckBox2,
                                                          &SpinEdit1, &Label1, &CheckBox3, &LMDGroupBox4,
                                                          &CheckBox4, &CheckBox5, &CheckBox6, &Button1, &Button2}) {
    Add(*control);
  }
  // Design state: the battery controls start disabled; showing the dialog
  // puts them in step with CheckBox1.
  CheckBox2.SetEnabled(false);
  SpinEdit1.SetEnabled(false);
  Label1.SetEnabled(false);
  CheckBox3.SetCheckedQuietly(true);
  CheckBox1.OnClick = [this](Control&) { CheckBox1Click(); };
  StaticText.OnChange = [this](Control&) { StaticTextChange(); };
  Button1.OnClick = [this](Control&) { Button1Click(); };
  Button2.OnClick = [this](Control&) { Button2Click(); };
  // Enter confirms and Escape cancels, as in every dialog.
  Button1.Default = true;
  Button2.Cancel = true;
  host_.CreateWindow(*this);
}

void TConfForm::SetBatteryControlsEnabled(bool enabled) {
  CheckBox2.SetEnabled(enabled);
  SpinEdit1.SetEnabled(enabled);
  Label1.SetEnabled(enabled);
}

void TConfForm::ShowHandsetNames(std::vector<std::string> lineNames, const std::string& current) {
  if (!current.empty() && std::find(lineNames.begin(), lineNames.end(), current) == lineNames.end()) {
    lineNames.insert(lineNames.begin(), current);
  }
  StaticText.SetItems(std::move(lineNames));
  StaticText.SetText(current);
  StaticTextChange();
}

bool TConfForm::NameTakable() const { return !StaticText.Text().empty(); }

// OK waits for a name.
void TConfForm::StaticTextChange() { Button1.SetEnabled(NameTakable()); }

void TConfForm::CheckBox1Click() { SetBatteryControlsEnabled(!CheckBox1.Checked()); }

void TConfForm::Button1Click() {
  if (!NameTakable()) return;
  host_.Hide(*this);
  ModalResult = TModalResult::Ok;
}

void TConfForm::Button2Click() {
  host_.Hide(*this);
  ModalResult = TModalResult::Cancel;
}

}  // namespace murrelet
