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

const ControlLayout* Form::RowOf(std::string_view name) const {
  for (const ControlLayout& row : layout_) {
    if (row.name == name) return &row;
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

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::CheckBox || kind == ControlKind::SpinEdit ||
         kind == ControlKind::ComboBox;
}

std::string AccessibleName(const ControlLayout& row, const Control* control) {
  const std::string_view text = control != nullptr ? std::string_view(control->Text()) : row.text;
  if (row.accessibleName.empty()) {
    // A glyph button without a caption is called by its hint.
    const auto* button = dynamic_cast<const TButton*>(control);
    if (text.empty() && button != nullptr) return button->Hint;
    return std::string(text);
  }
  std::string name(row.accessibleName);
  if ((row.kind == ControlKind::Label || row.kind == ControlKind::StaticText) && !text.empty()) {
    name += ' ';
    name += text;
  }
  return name;
}

const Control* FocusAfter(const Form& form, const Control& focused) {
  if (focused.Enabled()) return &focused;
  const ControlLayout* row = form.RowOf(focused.Name());
  if (row != nullptr && !row->focusOnDisable.empty()) {
    const Control* successor = form.Find(row->focusOnDisable);
    if (successor != nullptr && successor->Enabled()) return successor;
  }
  // The next enabled stop after the focused one, then from the top.
  const auto layout = form.Layout();
  std::size_t start = 0;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].name == focused.Name()) start = i + 1;
  }
  for (std::size_t step = 0; step < layout.size(); ++step) {
    const ControlLayout& candidate = layout[(start + step) % layout.size()];
    if (!TakesFocus(candidate.kind)) continue;
    const Control* control = form.Find(candidate.name);
    if (control != nullptr && control->Enabled()) return control;
  }
  return nullptr;
}

const Control* FirstFocus(const Form& form) {
  for (const ControlLayout& row : form.Layout()) {
    if (!TakesFocus(row.kind)) continue;
    const Control* control = form.Find(row.name);
    if (control != nullptr && control->Enabled()) return control;
  }
  return nullptr;
}

namespace {

TButton* FindButton(const Form& form, bool TButton::*role) {
  for (Control* control : form.Controls()) {
    if (control->Kind() != ControlKind::Button) continue;
    auto* button = static_cast<TButton*>(control);
    if (button->*role && button->Enabled()) return button;
  }
  return nullptr;
}

}  // namespace

TButton* EnterButton(const Form& form, const Control* focused) {
  if (focused != nullptr && focused->Kind() == ControlKind::Button && focused->Enabled()) {
    for (Control* control : form.Controls()) {
      if (control == focused) return static_cast<TButton*>(control);
    }
  }
  return FindButton(form, &TButton::Default);
}

TButton* EscapeButton(const Form& form) { return FindButton(form, &TButton::Cancel); }

}  // namespace murrelet
