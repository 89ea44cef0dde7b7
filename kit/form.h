// A window of the program as the core sees it: named controls, a layout that
// both GUIs build from, a caption and a modal result. The platform's FormHost
// makes the real window and runs the loops.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kit/controls.h"
#include "kit/window_procedure.h"

namespace murrelet {

enum class Align { Left, Center };

// One row of a window's layout: where a control sits and what it shows at
// design time. Positions are in pixels of the 96-dpi design, relative to the
// parent (a group) or to the client area when `parent` is empty.
struct ControlLayout {
  std::string_view name;
  ControlKind kind;
  std::string_view parent;
  int left, top, width, height;
  std::string_view text;
  Align align = Align::Left;
  std::string_view image = {};  // artwork name for pictures and glyph buttons
  // What assistive technology calls the control when its own text does not
  // say it (see AccessibleName).
  std::string_view accessibleName = {};
  // The control that takes the keyboard focus when this one has it and is
  // disabled: the button that now acts (see FocusAfter).
  std::string_view focusOnDisable = {};
};

// Controls the keyboard can reach, in the layout's order (the tab order).
bool TakesFocus(ControlKind kind);

// The name a screen reader says for the control of `row`. A label or static
// text that the program writes is read with its caption before its text
// ("現在の電源 AC電源"); another control with an accessible name is called by
// it; a button without a caption by its hint; the rest by their own text.
std::string AccessibleName(const ControlLayout& row, const Control* control);

// The face and pixel size a window was designed with. A platform uses the
// face where it is installed and a Japanese face close to it where not.
struct DesignFont {
  std::string_view face;
  int pixels = 12;
};

enum class TModalResult { None, Ok, Cancel };

// What a window is to the program, fixed when it is made: the main window
// (the application's window; closing it ends the program) or a dialog (hidden
// until shown modally over the main window; closing it answers cancel).
enum class WindowRole { Main, Dialog };

class Form {
 public:
  Form(std::string name, std::string caption, int clientWidth, int clientHeight,
       std::span<const ControlLayout> layout, DesignFont font = {}, WindowRole role = WindowRole::Dialog)
      : name_(std::move(name)),
        caption_(std::move(caption)),
        width_(clientWidth),
        height_(clientHeight),
        layout_(layout),
        font_(font),
        role_(role) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }
  std::span<const ControlLayout> Layout() const { return layout_; }
  const DesignFont& Font() const { return font_; }
  WindowRole Role() const { return role_; }
  const std::vector<Control*>& Controls() const { return controls_; }
  Control* Find(std::string_view name) const;
  const ControlLayout* RowOf(std::string_view name) const;

  bool Visible = false;
  TModalResult ModalResult = TModalResult::None;

 protected:
  // Registers a control; its design text comes from the layout row of its
  // name. A row of another kind than the control is a programming error
  // (std::logic_error).
  void Add(Control& control);

 private:
  std::string name_;
  std::string caption_;
  int width_, height_;
  std::span<const ControlLayout> layout_;
  DesignFont font_;
  WindowRole role_;
  std::vector<Control*> controls_;
};

// The control a dialog's keyboard focus starts on at each opening: the
// first enabled one in tab order; null when none can take it.
const Control* FirstFocus(const Form& form);

// The button Enter presses: the focused control when it is a button, else the
// form's default button; Escape presses the cancel button. Null when there is
// none or it is disabled.
TButton* EnterButton(const Form& form, const Control* focused);
TButton* EscapeButton(const Form& form);

// Where the keyboard focus goes when `focused` may no longer hold it: the
// control itself while it is enabled; else its row's successor when that is
// enabled; else the next enabled control in tab order, wrapping round; null
// when no control can take it. Hosts ask after each action of the program,
// so a start button that disables itself hands the focus to the stop button
// that the same action enabled.
const Control* FocusAfter(const Form& form, const Control& focused);

// The contract every host carries out, so that the core decides and the
// hosts only do:
// - CreateWindow makes the window for the form's Role(), whatever the order
//   the forms come in.
// - A press of a window's close box (or the system's close command) is only a
//   request: the host hands it to the core (TApplication::CloseRequested),
//   which answers it. For the main window that is the close handler and the
//   end of the loop; for a dialog, the cancel answer that ends its modal loop.
// - ShowModal returns the answer the form was given; a loop that ends without
//   one (the program is ending) returns Cancel.
class FormHost {
 public:
  virtual ~FormHost() = default;
  // Makes the real window for `form` and binds its controls; the returned
  // window lives as long as the host and receives the platform's messages.
  virtual OwnerWindow& CreateWindow(Form& form) = 0;
  // Shows `form`, restored when it is minimised, and raises it.
  virtual void Show(Form& form) = 0;
  // Shows `form` minimised without taking the user's attention (a start by
  // the session); the first-start box still shows over it.
  virtual void ShowMinimized(Form& form) { Show(form); }
  // Whether `form` is minimised now (by a start at log-in or by the user).
  virtual bool IsMinimized(const Form& form) const {
    (void)form;
    return false;
  }
  virtual void Hide(Form& form) = 0;
  // Shows `form` and runs a nested loop until its ModalResult is set.
  virtual TModalResult ShowModal(Form& form) = 0;
  // Ends the main message loop (the main window was closed).
  virtual void Quit() = 0;
  // The application's title: the text of the program's task-bar button,
  // which may differ from the main window's caption.
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // Whether `form` is the window the user is working in (the active window).
  virtual bool IsActive(const Form& form) const = 0;
};

}  // namespace murrelet
