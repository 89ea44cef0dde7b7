#include "platform/sim/sim_desktop.h"

#include "kit/scope_exit.h"

namespace murrelet::sim {

void SimBoxes::Show(BoxKind kind, std::string_view caption, std::string_view text) {
  shown.push_back({kind, std::string(caption), std::string(text)});
  const int ticks = modalTicks;
  modalTicks = 0;
  ++depth;
  const ScopeExit leave([this] { --depth; });
  if (ticks > 0 && runTicks) runTicks(ticks);
}

SimWindow::SimWindow()
    : ProcedureWindow([this](std::uint32_t message, std::uintptr_t, std::intptr_t) {
        defaultSeen.push_back(message);
        return defaultResult;
      }) {}

OwnerWindow& SimForms::CreateWindow(Form& form) {
  auto& window = windows_[&form];
  window = std::make_unique<SimWindow>();
  return *window;
}

SimWindow* SimForms::WindowOf(const Form& form) {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second.get();
}

TModalResult SimForms::ShowModal(Form& form) {
  form.ModalResult = TModalResult::None;
  form.Visible = true;
  ++modalDepth;
  const ScopeExit leave([this, &form] {
    --modalDepth;
    form.Visible = false;
  });
  if (modalScript) {
    auto script = std::move(modalScript);
    modalScript = nullptr;
    script(form);
  }
  // Closing the window answers cancel.
  if (form.ModalResult == TModalResult::None) form.ModalResult = TModalResult::Cancel;
  return form.ModalResult;
}

}  // namespace murrelet::sim
