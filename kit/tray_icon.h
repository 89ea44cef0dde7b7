// The program's icon in the desktop's notification area (the system tray): a
// look, a tooltip and a menu that the core decides, and the user's actions on
// it, which the platform hands back through TApplication::Deliver.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace murrelet {

// Idle, or a run is going.
enum class TrayLook { Idle, Charging };

struct TrayMenuItem {
  std::string text;
  bool enabled = true;

  bool operator==(const TrayMenuItem&) const = default;
};

// What the platform reports of the icon; each call runs inside Deliver.
class TrayIconEvents {
 public:
  virtual ~TrayIconEvents() = default;
  // A click on the icon, or Enter on it from the keyboard.
  virtual void TrayActivated() = 0;
  // The menu item at `index` of the last menu given was chosen.
  virtual void TrayMenuChosen(std::size_t index) = 0;
  // A notification area appeared or went away (a panel restarted, a host
  // registered); `Available()` says which.
  virtual void TrayAvailabilityChanged() = 0;
};

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Whether the desktop has a notification area to put the icon in now.
  virtual bool Available() const = 0;
  // Puts the icon up, or changes it, with this look, tooltip (lines split
  // by '\n') and menu. Called only when something differs.
  virtual void Show(TrayLook look, std::string_view tooltip, std::span<const TrayMenuItem> menu) = 0;
  // Takes the icon away; taking away an icon that is not there is no error.
  virtual void Hide() = 0;
  // A notice that comes from the icon (a balloon beside it where the system
  // draws one); called only while the icon is shown.
  virtual void ShowNotice(std::string_view title, std::string_view text) = 0;

  void SetEvents(TrayIconEvents* events) { events_ = events; }
  TrayIconEvents* Events() const { return events_; }

 protected:
  TrayIconEvents* events_ = nullptr;
};

}  // namespace murrelet
