#include "kit/controls.h"

#include <algorithm>

namespace murrelet {

void Control::Changed() {
  if (view_ != nullptr) view_->ControlChanged(*this);
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetText(std::string_view text) {
  if (text_ == text) return;
  text_.assign(text);
  Changed();
}

void Control::SetDescription(std::string_view description) {
  if (description_ == description) return;
  description_.assign(description);
  Changed();
}

void TLabel::SetFont(FontColor color, bool bold) {
  if (color_ == color && bold_ == bold) return;
  color_ = color;
  bold_ = bold;
  Changed();
}

void TButton::UserClick() {
  if (Enabled() && OnClick) OnClick(*this);
}

TSpinEdit::TSpinEdit(std::string name, int minValue, int maxValue, int increment, int value)
    : Control(std::move(name), ControlKind::SpinEdit),
      min_(minValue),
      max_(maxValue),
      increment_(increment),
      value_(std::clamp(value, minValue, maxValue)) {}

void TSpinEdit::SetValue(int value) {
  const int shown = std::clamp(value, min_, max_);
  if (shown == value_) return;
  value_ = shown;
  Changed();
  if (OnChange) OnChange(*this);
}

void TSpinEdit::UserStep(int direction) {
  if (!Enabled()) return;
  // Stepping from a value off the grid goes by whole increments, like the
  // arrow buttons; the result is clamped to the range.
  const long long next = static_cast<long long>(value_) + (direction >= 0 ? increment_ : -increment_);
  SetValue(static_cast<int>(std::clamp<long long>(next, min_, max_)));
}

void TSpinEdit::UserSetValue(int value) {
  if (Enabled()) SetValue(value);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
  if (OnClick) OnClick(*this);
}

void TCheckBox::SetCheckedQuietly(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void TCheckBox::UserSetChecked(bool checked) {
  if (Enabled()) SetChecked(checked);
}

void TComboBox::SetItems(std::vector<std::string> items) {
  if (items_ == items) return;
  items_ = std::move(items);
  Changed();
}

void TComboBox::UserSetText(std::string_view text) {
  if (!Enabled() || Text() == text) return;
  SetText(text);
  if (OnChange) OnChange(*this);
}

void TProgressBar::SetPosition(int position) {
  if (position_ == position) return;
  position_ = position;
  Changed();
}

void TStatusBar::SetPanel(std::size_t index, std::string_view text) {
  std::string& panel = panels_.at(index);
  if (panel == text) return;
  panel.assign(text);
  Changed();
}

bool TTimer::Fire() {
  if (!Enabled()) return false;
  if (OnTimer) OnTimer(*this);
  return true;
}

}  // namespace murrelet
