// A window whose window procedure can be read, replaced and called: enough for
// the power monitor to tap the main window's messages on any platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace murrelet {

using WindowProcedure = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                    std::intptr_t lParam)>;
// Shared so that a saved procedure stays callable after it has been replaced.
using WindowProcedureRef = std::shared_ptr<const WindowProcedure>;

class OwnerWindow {
 public:
  virtual ~OwnerWindow() = default;
  virtual WindowProcedureRef GetWindowProcedure() = 0;
  virtual void SetWindowProcedure(WindowProcedureRef procedure) = 0;
  virtual std::intptr_t CallWindowProcedure(const WindowProcedureRef& procedure, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// An OwnerWindow whose procedures are plain functions, starting with the
// default one it is given: the simulated window and the Qt window.
class ProcedureWindow : public OwnerWindow {
 public:
  explicit ProcedureWindow(WindowProcedure defaultProcedure)
      : procedure_(std::make_shared<const WindowProcedure>(std::move(defaultProcedure))) {}

  WindowProcedureRef GetWindowProcedure() override { return procedure_; }
  void SetWindowProcedure(WindowProcedureRef procedure) override { procedure_ = std::move(procedure); }
  std::intptr_t CallWindowProcedure(const WindowProcedureRef& procedure, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) override {
    return procedure && *procedure ? (*procedure)(message, wParam, lParam) : 0;
  }

  // What the platform does when a message arrives: run the installed procedure.
  std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // Held while it runs: the procedure may replace itself.
    const WindowProcedureRef current = procedure_;
    return CallWindowProcedure(current, message, wParam, lParam);
  }

 private:
  WindowProcedureRef procedure_;
};

}  // namespace murrelet
