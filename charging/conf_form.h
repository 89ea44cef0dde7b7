// The settings dialog: edits copies of the power rules, handed back only when
// the user confirms.
#pragma once

#include <string>
#include <vector>

#include "kit/controls.h"
#include "kit/form.h"

namespace murrelet {

class TConfForm : public Form {
 public:
  explicit TConfForm(FormHost& host);

  void CheckBox1Click();
  // Offers `lineNames` and shows `current`, which is offered too when the
  // computer does not see it now.
  void ShowHandsetNames(std::vector<std::string> lineNames, const std::string& current);
  void StaticTextChange();
  // Whether OK may take the name in StaticText: an empty one finds no handset.
  // The one check of that rule: OK is enabled by it and refuses without it.
  bool NameTakable() const;
  void Button1Click();
  void Button2Click();

  TLabel LMDGroupBox3{"LMDGroupBox3", ControlKind::Group};
  TLabel Label2{"Label2"};
  // The handset's name: typed, or picked from the data-modem lines the
  // computer sees when the dialog opens. OK takes no empty name.
  TComboBox StaticText{"StaticText"};
  TLabel LMDSimpleLabel1{"LMDSimpleLabel1"};
  TLabel LMDGroupBox1{"LMDGroupBox1", ControlKind::Group};
  TCheckBox CheckBox1{"CheckBox1"};
  TLabel LMDGroupBox2{"LMDGroupBox2", ControlKind::Group};
  TCheckBox CheckBox2{"CheckBox2"};
  TSpinEdit SpinEdit1{"SpinEdit1", 10, 90, 10, 50};
  TLabel Label1{"Label1"};
  TCheckBox CheckBox3{"CheckBox3"};
  TLabel LMDGroupBox4{"LMDGroupBox4", ControlKind::Group};
  TCheckBox CheckBox4{"CheckBox4"};  // "AutoCharge"
  TCheckBox CheckBox5{"CheckBox5"};  // "StartWithSession"
  TCheckBox CheckBox6{"CheckBox6"};  // "TrayIcon"
  TButton Button1{"Button1"};
  TButton Button2{"Button2"};

 private:
  void SetBatteryControlsEnabled(bool enabled);
  FormHost& host_;
};

}  // namespace murrelet
