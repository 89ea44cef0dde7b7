// The notification-area icon on Linux: a QSystemTrayIcon, which Qt serves as
// a StatusNotifierItem over D-Bus where a StatusNotifier host was registered
// when the program first looked, and as an XEmbed tray icon otherwise, for
// the rest of the process. Only an area of that kind counts: an icon served
// over D-Bus shows in no XEmbed tray, nor an XEmbed one in a StatusNotifier
// host. It follows the area's coming and going: the watcher's service and
// its host signals at once, the XEmbed tray on the next tick.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <memory>
#include <vector>

#include "kit/tray_icon.h"
#include "platform/linux/gui/qt_form_host.h"

class QAction;
class QDBusServiceWatcher;
class QMenu;
class QSystemTrayIcon;

namespace murrelet::linux_platform {

class QtTrayIcon : public QObject, public TrayIcon {
  Q_OBJECT

 public:
  QtTrayIcon(QtFormHost& forms, const QDBusConnection& sessionBus);
  ~QtTrayIcon() override;

  bool Available() const override;
  void Show(TrayLook look, std::string_view tooltip, std::span<const TrayMenuItem> menu) override;
  void Hide() override;
  void ShowNotice(std::string_view title, std::string_view text) override;

  // Called after each tick: it asks again whether there is an area (an
  // XEmbed tray that started or quit tells nobody), every tick for an XEmbed
  // icon, every few ticks for a StatusNotifierItem, whose host is watched.
  void TickEnded();
  // Asks now, and tells the program when the answer changed.
  void CheckAvailability();
  QSystemTrayIcon* Icon() const { return icon_.get(); }
  QMenu* Menu() const { return menu_.get(); }

 private Q_SLOTS:
  void HostChanged();

 private:
  void Choose(std::size_t index);
  // Whether a StatusNotifier host is registered with the session's watcher.
  bool StatusNotifierHost() const;
  bool AskAvailable() const;

  QtFormHost& forms_;
  QDBusConnection bus_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  std::unique_ptr<QDBusServiceWatcher> watcher_;
  std::vector<QAction*> actions_;
  bool available_ = false;
  bool known_ = false;
  // Qt serves the icon over D-Bus (decided at the first look).
  bool statusNotifier_ = false;
  int ticks_ = 0;
  TrayLook look_ = TrayLook::Idle;
  bool lookSet_ = false;
};

}  // namespace murrelet::linux_platform
