// The real window of one Form: its child controls made from the form's
// layout rows, each mirroring its control, and the user's actions handed to
// the program through Deliver.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/form.h"
#include "kit/layout_fit.h"
#include "kit/tick_schedule.h"
#include "platform/win32/artwork.h"
#include "platform/win32/custom_drawing.h"
#include "platform/win32/legacy_power_bridge.h"
#include "platform/win32/window_class.h"
#include "platform/win32/window_hook.h"

namespace murrelet::win32 {

// What a window asks of its host.
class FormWindowEvents {
 public:
  virtual ~FormWindowEvents() = default;
  virtual void CloseRequested(Form& form) = 0;  // the close box, Alt+F4, WM_CLOSE
  virtual void MinimizeRequested() = 0;         // the main window's minimise box
  virtual void SessionEnding() = 0;             // WM_ENDSESSION with TRUE
  virtual void SessionEndQueried() = 0;         // WM_QUERYENDSESSION to the main window
  // The monotonic clock the timers' periods follow.
  virtual TickSchedule::Time MonotonicTime() = 0;
};

class FormWindow : private WindowReceiver {
 public:
  struct Widget;  // a control's window and what it shows

  // A dialog is owned by the main window; the main window by the window of
  // the task-bar button.
  FormWindow(Form& form, WindowHandle owner, bool dialog, Deliver deliver, FormWindowEvents& events);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  Form& TheForm() { return form_; }
  WindowHandle Handle() const { return window_; }
  HookableWindow& Hook() { return *hook_; }
  // Makes the child controls, once; a dialog's wait for its first showing.
  void MakeControls();
  // Each opening of a dialog starts with the focus on its first control,
  // drawn.
  void FocusFirstControl();
  // Enter (true) or Escape (false) in a dialog: presses its default or
  // cancel button; false when no button answers.
  bool PressKeyButton(bool enter);
  // The main window sees power broadcasts through the old-broadcast bridge.
  void AddPowerBridge(PowerStatusSource& power);

 private:
  std::intptr_t Receive(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void MakeTimers();
  void AttachViews(std::size_t first);
  void CreateWidget(Widget& widget);
  void Mirror(Widget& widget);
  void ApplyDpi(unsigned dpi);
  // Measures every text, fits the layout round them and places the
  // widgets; the window grows (or shrinks back) to the fitted size, round
  // its centre when `keepCentre`.
  void Refit(bool keepCentre);
  ContentSize Measure(const Widget& widget) const;
  void PlaceWidget(Widget& widget);
  Widget* WidgetById(int id);
  void Run(const std::function<void()>& action) { deliver_(action); }
  // Runs an action of the program; when it disables the control that had
  // the keyboard focus, the focus goes where the program says.
  void RunKeepingFocus(const Deliver& deliver, const std::function<void()>& action);

  Form& form_;
  Deliver deliver_;
  FormWindowEvents& events_;
  bool dialog_;
  WindowHandle window_ = nullptr;
  WindowHandle tooltip_ = nullptr;
  unsigned dpi_ = 96;
  OwnedFont font_;
  OwnedFont boldFont_;
  DrawingState drawing_;  // what the drawn-over controls paint with
  WindowHandle lastFocus_ = nullptr;  // the control that had the focus when the window was left
  std::vector<std::unique_ptr<Widget>> widgets_;
  FittedLayout fitted_;  // the layout grown round the texts, in design pixels
  bool controlsMade_ = false;
  bool fitHeld_ = false;  // while the views first show the program's state
  std::unique_ptr<HookableWindow> hook_;
  std::unique_ptr<LegacyPowerBridge> bridge_;
};

}  // namespace murrelet::win32
