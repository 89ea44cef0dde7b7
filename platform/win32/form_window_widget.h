// The part of a form's window that mirrors one control: shared by the files
// that create, place, mirror and dispatch for the form's window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kit/tick_schedule.h"
#include "platform/win32/form_window.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {

struct FormWindow::Widget : ControlView {
  Widget(FormWindow& window_, Control* control_, const ControlLayout* row_, int id_)
      : owner(window_), control(control_), row(row_), id(id_) {}
  void ControlChanged(const Control&) override { owner.Mirror(*this); }
  // An arrow key on a spin box's edit, or a click on its arrows.
  void Step(int direction) {
    auto* spin = static_cast<TSpinEdit*>(control);
    owner.Run([spin, direction] { spin->UserStep(direction); });
  }

  FormWindow& owner;
  Control* control;          // null for a row that no control claims
  const ControlLayout* row;  // null for a timer
  int id;
  HWND window = nullptr;
  HWND upDown = nullptr;
  HWND nameLabel = nullptr;  // an edit's name, just before it in z-order
  std::wstring shownText;
  std::wstring shownClock;
  std::vector<std::wstring> shownItems;  // a drop-down's list
  int shownPercent = -1;
  std::unique_ptr<Artwork> image;
  std::unique_ptr<Artwork> disabledImage;
  bool imageLarge = false;  // the 2x artwork, for 150 % and more
  TickSchedule schedule;  // a timer's periods
};

}  // namespace murrelet::win32
