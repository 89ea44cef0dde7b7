// A window whose window procedure can be read, replaced and called: enough for
// the power monitor to tap the main window's messages on any platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

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

}  // namespace murrelet
