#include "kit/form.h"

namespace murrelet {

Control* Form::Find(std::string_view name) const {
  for (Control* control : controls_) {
    if (control->Name() == name) return control;
  }
  return nullptr;
}

void Form::Add(Control& control) {
  controls_.push_back(&control);
  for (const ControlLayout& row : layout_) {
    if (row.name == control.Name()) {
      control.SetText(row.text);
      break;
    }
  }
}

}  // namespace murrelet
