#include "platform/win32/window_hook.h"

#include "kit/power.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

constexpr const wchar_t* kSelfProperty = L"Murrelet.HookableWindow";

}  // namespace

HookableWindow::HookableWindow(WindowHandle window, Deliver deliver)
    : window_(window),
      deliver_(std::move(deliver)),
      own_(reinterpret_cast<NativeProcedure>(GetWindowLongPtrW(window, GWLP_WNDPROC))) {
  if (!deliver_) {
    deliver_ = [](const std::function<void()>& action) {
      try {
        action();
      } catch (...) {
        // Nothing may unwind into the system's frames.
      }
    };
  }
  SetPropW(window_, kSelfProperty, this);
}

HookableWindow::~HookableWindow() {
  if (installed_ && reinterpret_cast<NativeProcedure>(GetWindowLongPtrW(window_, GWLP_WNDPROC)) == &Trampoline) {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own_));
  }
  RemovePropW(window_, kSelfProperty);
}

WindowProcedureRef HookableWindow::Wrap(NativeProcedure native) {
  // One wrapper per native procedure, kept for the window's life, so that the
  // core can hand it back and have exactly that procedure reinstalled.
  for (const auto& [procedure, wrapper] : wrapped_) {
    if (procedure == native) return wrapper;
  }
  const WindowHandle window = window_;
  auto wrapper = std::make_shared<const WindowProcedure>(
      [window, native](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
        return CallWindowProcW(reinterpret_cast<WNDPROC>(native), window, message, wParam, lParam);
      });
  wrapped_.emplace_back(native, wrapper);
  return wrapper;
}

WindowProcedureRef HookableWindow::GetWindowProcedure() {
  const auto current = reinterpret_cast<NativeProcedure>(GetWindowLongPtrW(window_, GWLP_WNDPROC));
  if (current == &Trampoline && installed_) return installed_;
  return Wrap(current);
}

void HookableWindow::SetWindowProcedure(WindowProcedureRef procedure) {
  for (const auto& [native, wrapper] : wrapped_) {
    if (wrapper == procedure) {
      installed_.reset();
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(native));
      return;
    }
  }
  if (!procedure) procedure = Wrap(own_);
  installed_ = std::move(procedure);
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline));
}

std::intptr_t HookableWindow::CallWindowProcedure(const WindowProcedureRef& procedure, std::uint32_t message,
                                                  std::uintptr_t wParam, std::intptr_t lParam) {
  if (!procedure) return DefWindowProcW(window_, message, wParam, lParam);
  return (*procedure)(message, wParam, lParam);
}

std::intptr_t __stdcall HookableWindow::Trampoline(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                                   std::intptr_t lParam) {
  auto* self = static_cast<HookableWindow*>(GetPropW(window, kSelfProperty));
  if (self == nullptr || !self->installed_) return DefWindowProcW(window, message, wParam, lParam);
  // Held here, so a procedure replaced while it runs stays alive to its end.
  const WindowProcedureRef procedure = self->installed_;
  struct Call {
    const WindowProcedure& procedure;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::intptr_t result = 0;
  } call{*procedure, message, wParam, lParam};
  // One pointer in the capture keeps the action inside std::function's own
  // storage: every message of the window passes here.
  auto run = [&call, self] {
    Call* c = &call;
    self->deliver_([c] { c->result = c->procedure(c->message, c->wParam, c->lParam); });
    return c->result;
  };
  if (message == WM_POWERBROADCAST && self->powerEntry_) {
    return self->powerEntry_(wParam, lParam, [&call, &run](std::uintptr_t w, std::intptr_t l) {
      call.wParam = w;
      call.lParam = l;
      return run();
    });
  }
  return run();
}

}  // namespace murrelet::win32
