// The visual component kit as plain state: each control holds what a user
// sees (text, value, enabled state) and the handlers the program binds. A
// platform attaches a view that mirrors the state into a real widget and calls
// the User* methods when the user acts; a disabled control ignores the user.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace murrelet {

// ComboBox: an editable drop-down, a text the user types or picks from a list.
enum class ControlKind {
  Group,
  Label,
  StaticText,
  Button,
  SpinEdit,
  CheckBox,
  ProgressBar,
  StatusBar,
  Picture,
  Timer,
  ComboBox
};
enum class FontColor { WindowText, Red };

class Control;

// Implemented by a platform to mirror a control into a real widget.
class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void ControlChanged(const Control& control) = 0;
};

class Control {
 public:
  Control(std::string name, ControlKind kind) : name_(std::move(name)), kind_(kind) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);
  // What assistive technology reads after the name (why a control is
  // disabled, say); empty for most controls.
  const std::string& Description() const { return description_; }
  void SetDescription(std::string_view description);

  void Attach(ControlView* view) { view_ = view; }

 protected:
  void Changed();

 private:
  std::string name_;
  ControlKind kind_;
  std::string text_;
  std::string description_;
  bool enabled_ = true;
  ControlView* view_ = nullptr;
};

using Handler = std::function<void(Control& sender)>;

class TLabel : public Control {
 public:
  TLabel(std::string name, ControlKind kind = ControlKind::Label) : Control(std::move(name), kind) {}
  FontColor Color() const { return color_; }
  bool Bold() const { return bold_; }
  void SetFont(FontColor color, bool bold);

 private:
  FontColor color_ = FontColor::WindowText;
  bool bold_ = false;
};

class TButton : public Control {
 public:
  explicit TButton(std::string name) : Control(std::move(name), ControlKind::Button) {}
  std::string Hint;
  // The dialog's default button, pressed by Enter, and its cancel button,
  // pressed by Escape (see EnterButton, EscapeButton).
  bool Default = false;
  bool Cancel = false;
  Handler OnClick;
  void UserClick();
};

class TSpinEdit : public Control {
 public:
  TSpinEdit(std::string name, int minValue, int maxValue, int increment, int value);
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  int Increment() const { return increment_; }
  int Value() const { return value_; }
  // Clamps to the range; runs OnChange when the shown value changes.
  void SetValue(int value);
  void UserStep(int direction);  // +1 up, -1 down
  void UserSetValue(int value);
  Handler OnChange;

 private:
  int min_, max_, increment_, value_;
};

class TCheckBox : public Control {
 public:
  explicit TCheckBox(std::string name) : Control(std::move(name), ControlKind::CheckBox) {}
  bool Checked() const { return checked_; }
  // Runs OnClick when the state changes, as a user's click would.
  void SetChecked(bool checked);
  // Sets the state without running OnClick.
  void SetCheckedQuietly(bool checked);
  void UserSetChecked(bool checked);
  Handler OnClick;

 private:
  bool checked_ = false;
};

// An editable drop-down: `Text()` is the text in its edit field, `Items()`
// the list it offers; the user may pick an item or type any text.
class TComboBox : public Control {
 public:
  explicit TComboBox(std::string name) : Control(std::move(name), ControlKind::ComboBox) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  // The user typed or picked `text`; runs OnChange when it differs.
  void UserSetText(std::string_view text);
  Handler OnChange;

 private:
  std::vector<std::string> items_;
};

class TProgressBar : public Control {
 public:
  explicit TProgressBar(std::string name) : Control(std::move(name), ControlKind::ProgressBar) {}
  int Position() const { return position_; }
  // The bar shows positions above 100 as 100.
  int ShownPercent() const { return position_ > 100 ? 100 : (position_ < 0 ? 0 : position_); }
  void SetPosition(int position);

 private:
  int position_ = 0;
};

class TStatusBar : public Control {
 public:
  // One panel per width, in 96-dpi pixels of the design.
  TStatusBar(std::string name, std::vector<int> panelWidths)
      : Control(std::move(name), ControlKind::StatusBar), widths_(std::move(panelWidths)), panels_(widths_.size()) {}
  std::size_t PanelCount() const { return panels_.size(); }
  int PanelWidth(std::size_t index) const { return widths_.at(index); }
  const std::string& Panel(std::size_t index) const { return panels_.at(index); }
  void SetPanel(std::size_t index, std::string_view text);

 private:
  std::vector<int> widths_;
  std::vector<std::string> panels_;
};

// The one-second tick source. The platform runs the period; Fire() is what
// the platform calls when it elapses. Re-enabling restarts the period.
class TTimer : public Control {
 public:
  TTimer(std::string name, std::uint32_t intervalMs) : Control(std::move(name), ControlKind::Timer), interval_(intervalMs) {}
  std::uint32_t Interval() const { return interval_; }
  Handler OnTimer;
  // Returns false when the timer is disabled and nothing ran.
  bool Fire();

 private:
  std::uint32_t interval_;
};

}  // namespace murrelet
