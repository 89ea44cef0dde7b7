#include "charging/tray_icon_controller.h"

#include "charging/main_form.h"
#include "charging/texts.h"

namespace murrelet {

void TrayIconController::Refresh(const TMainForm* main, bool running, bool modal) {
  const bool wanted = running && main != nullptr && main->Settings.TrayIcon && Available();
  if (!wanted) {
    if (shown_) icon_->Hide();
    shown_ = false;
    return;
  }
  const TrayLook look = main->Run.Charging ? TrayLook::Charging : TrayLook::Idle;
  // The items act exactly when the window's buttons would: the start and stop
  // buttons, the settings button, and the close box, which only a modal loop
  // keeps from the user.
  const std::array<bool, 4> enabled{!modal && main->SpeedButton2.Enabled(), !modal && main->SpeedButton3.Enabled(),
                                    !modal && main->SpeedButton1.Enabled(), !modal};
  const std::string& panel = main->StatusBar.Panel(0);
  if (shown_ && look == look_ && enabled == enabled_ && panel == panel_) return;

  look_ = look;
  enabled_ = enabled;
  panel_ = panel;
  // "Murrelet" and, on the next line, what panel 0 says: the time left while
  // a run goes, why it ended after it.
  tooltip_ = text::kApplicationTitle;
  if (!panel.empty()) {
    tooltip_ += '\n';
    tooltip_ += panel;
  }
  menu_ = {{text::kTrayStart, enabled[0]},
           {text::kTrayStop, enabled[1]},
           {text::kTraySettings, enabled[2]},
           {text::kTrayExit, enabled[3]}};
  shown_ = true;
  icon_->Show(look_, tooltip_, menu_);
}

std::optional<TrayCommand> TrayIconController::CommandAt(std::size_t index) const {
  if (!shown_ || index >= menu_.size() || !menu_[index].enabled) return std::nullopt;
  return static_cast<TrayCommand>(index);
}

void RunStatusBesideTray::ShowNotice(std::string_view title, std::string_view text) {
  if (tray_.Shown()) {
    tray_.Icon()->ShowNotice(title, text);
    return;
  }
  sink_.ShowNotice(title, text);
}

}  // namespace murrelet
