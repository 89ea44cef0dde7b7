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
};

enum class TModalResult { None, Ok, Cancel };

class Form {
 public:
  Form(std::string name, std::string caption, int clientWidth, int clientHeight,
       std::span<const ControlLayout> layout)
      : name_(std::move(name)), caption_(std::move(caption)), width_(clientWidth), height_(clientHeight), layout_(layout) {}
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }
  std::span<const ControlLayout> Layout() const { return layout_; }
  const std::vector<Control*>& Controls() const { return controls_; }
  Control* Find(std::string_view name) const;

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
  std::vector<Control*> controls_;
};

class FormHost {
 public:
  virtual ~FormHost() = default;
  // Makes the real window for `form` and binds its controls; the returned
  // window lives as long as the host and receives the platform's messages.
  virtual OwnerWindow& CreateWindow(Form& form) = 0;
  virtual void Show(Form& form) = 0;
  virtual void Hide(Form& form) = 0;
  // Shows `form` and runs a nested loop until its ModalResult is set.
  virtual TModalResult ShowModal(Form& form) = 0;
  // Ends the main message loop (the main window was closed).
  virtual void Quit() = 0;
  // The application's title: the text of the program's task-bar button,
  // which may differ from the main window's caption.
  virtual void SetApplicationTitle(const std::string& title) = 0;
};

}  // namespace murrelet
