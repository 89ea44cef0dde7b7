#include "kit/form.h"

#include <stdexcept>
#include <string>

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
      // Both GUIs make the widget from the row and cast the control by the
      // row's kind, so a row and its control must agree.
      if (row.kind != control.Kind()) {
        throw std::logic_error(name_ + ": the layout row of " + std::string(row.name) + " is of another kind");
      }
      control.SetText(row.text);
      break;
    }
  }
}

}  // namespace murrelet
