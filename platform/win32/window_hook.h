// A real window whose window procedure the core can read, replace and call
// (SetWindowLongPtrW with GWLP_WNDPROC). A core procedure runs on the window
// through a native trampoline; a native procedure handed to the core is
// wrapped so that calling it goes through CallWindowProcW.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "kit/window_procedure.h"

struct HWND__;

namespace murrelet::win32 {

using WindowHandle = HWND__*;
// Runs an event of the program: an exception is shown and the program goes
// on (the application's Deliver). Nothing may unwind through Windows' frames.
using Deliver = std::function<void(const std::function<void()>& action)>;
// The first look at a power broadcast that arrives from outside, whichever
// procedure is installed; `pass` hands it on to that procedure.
using PowerEntry = std::function<std::intptr_t(std::uintptr_t wParam, std::intptr_t lParam,
                                               const std::function<std::intptr_t(std::uintptr_t, std::intptr_t)>& pass)>;

class HookableWindow : public OwnerWindow {
 public:
  HookableWindow(WindowHandle window, Deliver deliver);
  // Gives the window its own procedure back if a core procedure is still on it.
  ~HookableWindow() override;
  HookableWindow(const HookableWindow&) = delete;
  HookableWindow& operator=(const HookableWindow&) = delete;

  WindowProcedureRef GetWindowProcedure() override;
  void SetWindowProcedure(WindowProcedureRef procedure) override;
  std::intptr_t CallWindowProcedure(const WindowProcedureRef& procedure, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) override;

  WindowHandle Handle() const { return window_; }
  void SetPowerEntry(PowerEntry entry) { powerEntry_ = std::move(entry); }
  const PowerEntry& Power() const { return powerEntry_; }
  const Deliver& Events() const { return deliver_; }

 private:
  static std::intptr_t __stdcall Trampoline(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam);
  using NativeProcedure = decltype(&Trampoline);
  WindowProcedureRef Wrap(NativeProcedure native);

  WindowHandle window_;
  Deliver deliver_;
  PowerEntry powerEntry_;
  NativeProcedure own_;                // the procedure the window was made with
  WindowProcedureRef installed_;       // the core procedure the trampoline runs
  std::vector<std::pair<NativeProcedure, WindowProcedureRef>> wrapped_;
};

}  // namespace murrelet::win32
