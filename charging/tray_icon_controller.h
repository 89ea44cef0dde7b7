// The notification-area icon as the program decides it: whether it stands,
// its look, its tooltip and its menu, all read from the main window, and
// what each menu item does. The icon is optional ("TrayIcon", off unless
// ticked) and needs a notification area; without one nothing hides the window.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/run_status_sink.h"
#include "kit/tray_icon.h"

namespace murrelet {

class TMainForm;

// The icon's menu, in its order.
enum class TrayCommand { Start, Stop, Settings, Exit };

class TrayIconController {
 public:
  explicit TrayIconController(TrayIcon* icon) : icon_(icon) {}

  // Whether the desktop has a notification area now.
  bool Available() const { return icon_ != nullptr && icon_->Available(); }
  // Puts the icon in step with `main`: it stands while the program runs with
  // the setting on and an area to stand in. `modal` is true while a box or
  // the settings dialog is open, under which no menu command may run (the
  // window's own controls are out of reach then too). Cheap when nothing
  // changed, so it runs after every event.
  void Refresh(const TMainForm* main, bool running, bool modal);
  bool Shown() const { return shown_; }
  // What the user asked for with the item at `index`, when that item is
  // there and enabled now; a choice the menu no longer offers does nothing.
  std::optional<TrayCommand> CommandAt(std::size_t index) const;
  TrayIcon* Icon() { return icon_; }

 private:
  TrayIcon* icon_;
  bool shown_ = false;
  TrayLook look_ = TrayLook::Idle;
  std::array<bool, 4> enabled_{};
  std::string panel_;
  std::string tooltip_;
  std::vector<TrayMenuItem> menu_;
};

// The run's status as the desktop gets it: progress and the run's changes
// go to the platform as ever; the end-of-run notice comes from the icon
// while it stands, else from the platform's notice.
class RunStatusBesideTray : public RunStatusSink {
 public:
  RunStatusBesideTray(RunStatusSink& sink, TrayIconController& tray) : sink_(sink), tray_(tray) {}
  void SetTaskbarProgress(const TaskbarProgress& progress) override { sink_.SetTaskbarProgress(progress); }
  void ShowNotice(std::string_view title, std::string_view text) override;
  void RunChanged(bool charging) override { sink_.RunChanged(charging); }

 private:
  RunStatusSink& sink_;
  TrayIconController& tray_;
};

}  // namespace murrelet
