#include "platform/linux/gui/qt_tray_icon.h"

#include <QAction>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QMenu>
#include <QSystemTrayIcon>

#include "platform/linux/gui/art.h"

namespace murrelet::linux_platform {
namespace {

// Between looks at a StatusNotifier host, which costs a round trip; an
// XEmbed tray is looked at every tick: at most one question to the X server.
constexpr int kTicksBetweenLooks = 5;
const char* const kWatcherService = "org.kde.StatusNotifierWatcher";
const char* const kWatcherPath = "/StatusNotifierWatcher";

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QtTrayIcon::QtTrayIcon(QtFormHost& forms, const QDBusConnection& sessionBus) : forms_(forms), bus_(sessionBus) {
  if (!bus_.isConnected()) return;
  // A panel that starts or quits, or a host that registers with the watcher:
  // asked again once the event is done.
  watcher_ = std::make_unique<QDBusServiceWatcher>(QString::fromLatin1(kWatcherService), bus_,
                                                   QDBusServiceWatcher::WatchForOwnerChange);
  auto later = [this] { QMetaObject::invokeMethod(this, [this] { CheckAvailability(); }, Qt::QueuedConnection); };
  connect(watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, this, later);
  for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
    bus_.connect(QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
                 QString::fromLatin1(kWatcherService), QString::fromLatin1(signal), this, SLOT(HostChanged()));
  }
}

void QtTrayIcon::HostChanged() {
  QMetaObject::invokeMethod(this, [this] { CheckAvailability(); }, Qt::QueuedConnection);
}

QtTrayIcon::~QtTrayIcon() {
  // Taken away before the program's windows go, so no panel keeps a dead icon.
  if (icon_) icon_->hide();
}

bool QtTrayIcon::StatusNotifierHost() const {
  if (!bus_.isConnected() || !bus_.interface()->isServiceRegistered(QString::fromLatin1(kWatcherService))) return false;
  QDBusMessage get =
      QDBusMessage::createMethodCall(QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
                                     QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QString::fromLatin1(kWatcherService) << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusMessage reply = bus_.call(get, QDBus::Block, 2000);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool QtTrayIcon::AskAvailable() const {
  // Once Qt serves the icon over D-Bus, an XEmbed tray that Qt would also
  // count is no place for it: the window would hide behind an icon nowhere.
  if (statusNotifier_) return StatusNotifierHost();
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayIcon::Available() const {
  if (!known_) {
    auto* self = const_cast<QtTrayIcon*>(this);
    // Qt makes the same choice at its first look, which follows at once.
    self->statusNotifier_ = StatusNotifierHost();
    self->available_ = QSystemTrayIcon::isSystemTrayAvailable();
    self->known_ = true;
  }
  return available_;
}

void QtTrayIcon::CheckAvailability() {
  const bool before = Available();
  available_ = AskAvailable();
  if (available_ == before) return;
  forms_.Deliver([this] {
    if (events_ != nullptr) events_->TrayAvailabilityChanged();
  });
}

void QtTrayIcon::TickEnded() {
  if (statusNotifier_ && ++ticks_ < kTicksBetweenLooks) return;
  ticks_ = 0;
  CheckAvailability();
}

void QtTrayIcon::Choose(std::size_t index) {
  forms_.Deliver([this, index] {
    if (events_ != nullptr) events_->TrayMenuChosen(index);
  });
}

void QtTrayIcon::Show(TrayLook look, std::string_view tooltip, std::span<const TrayMenuItem> menu) {
  if (!icon_) {
    menu_ = std::make_unique<QMenu>();
    icon_ = std::make_unique<QSystemTrayIcon>();
    icon_->setContextMenu(menu_.get());
    connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      // A click or a double click (Enter on the item, where the host lets
      // the keyboard reach it); the right button opens the menu by itself.
      if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) return;
      forms_.Deliver([this] {
        if (events_ != nullptr) events_->TrayActivated();
      });
    });
  }
  if (!lookSet_ || look != look_) {
    icon_->setIcon(TrayPicture(look == TrayLook::Charging));
    look_ = look;
    lookSet_ = true;
  }
  icon_->setToolTip(Q(tooltip));
  if (actions_.size() != menu.size()) {
    menu_->clear();
    actions_.clear();
    for (std::size_t n = 0; n < menu.size(); ++n) {
      // The last item ends the program: a line sets it apart.
      if (n + 1 == menu.size() && n > 0) menu_->addSeparator();
      QAction* action = menu_->addAction(QString());
      connect(action, &QAction::triggered, this, [this, n] { Choose(n); });
      actions_.push_back(action);
    }
  }
  for (std::size_t n = 0; n < menu.size(); ++n) {
    actions_[n]->setText(Q(menu[n].text));
    actions_[n]->setEnabled(menu[n].enabled);
  }
  if (!icon_->isVisible()) icon_->show();
}

void QtTrayIcon::Hide() {
  if (icon_) icon_->hide();
}

void QtTrayIcon::ShowNotice(std::string_view title, std::string_view text) {
  if (icon_) icon_->showMessage(Q(title), Q(text), TrayPicture(false), 10000);
}

}  // namespace murrelet::linux_platform
