#include "platform/linux/gui/qt_form_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace murrelet::linux_platform {

void QtFormHost::SetDelivery(std::function<void(const Action&)> deliver, std::function<void(bool)> afterDelivery) {
  deliver_ = std::move(deliver);
  afterDelivery_ = std::move(afterDelivery);
}

OwnerWindow& QtFormHost::CreateWindow(Form& form) {
  const bool dialog = form.Role() == WindowRole::Dialog;
  windows_.push_back(std::make_unique<FormWindow>(*this, form, dialog));
  return *windows_.back();
}

QFont QtFormHost::MainFont() const {
  return windows_.empty() ? FormFont(DesignFont{}) : windows_.front()->Widget().font();
}

FormWindow* QtFormHost::WindowOf(const Form& form) const {
  for (const auto& window : windows_) {
    if (&window->TheForm() == &form) return window.get();
  }
  return nullptr;
}

bool QtFormHost::IsActive(const Form& form) const {
  FormWindow* window = WindowOf(form);
  if (window == nullptr) return false;
  const QWidget& widget = window->Widget();
  // A minimised window can keep the focus while nobody sees it.
  return widget.isVisible() && widget.isActiveWindow() && !widget.isMinimized();
}

QWidget* QtFormHost::ActiveWindow() const {
  QWidget* front = nullptr;
  if (!modal_.empty()) {
    if (FormWindow* window = WindowOf(*modal_.back().form)) front = &window->Widget();
  }
  if (front == nullptr && !windows_.empty()) front = &windows_.front()->Widget();
  // A box shown before its window (the first-start notice) centres on the desktop.
  return front != nullptr && front->isVisible() ? front : nullptr;
}

void QtFormHost::MinimizePressed(Form& form) {
  // Hiding a window inside its own state change confuses some window
  // managers: the core hears of it once the event is done.
  QMetaObject::invokeMethod(
      qApp,
      [this, &form] {
        if (onMinimize && !quit_) onMinimize(form);
      },
      Qt::QueuedConnection);
}

void QtFormHost::ShowMinimized(Form& form) {
  FormWindow* window = WindowOf(form);
  if (window == nullptr) return;
  // Iconified from its first mapping, and not raised or activated: a start
  // at log-in takes nobody's attention.
  window->Widget().showMinimized();
  form.Visible = true;
}

void QtFormHost::Show(Form& form) {
  FormWindow* window = WindowOf(form);
  if (window == nullptr) return;
  QWidget& widget = window->Widget();
  if (form.Role() == WindowRole::Dialog) KeepOverMainWindow(widget);
  if (!widget.isVisible()) {
    // Centred on the desktop, as designed; the frame is not known before the
    // first show, so the client area is what is centred.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      widget.move(area.center() - QPoint(widget.width() / 2, widget.height() / 2));
    }
  }
  // A minimised window comes back first (on X11 the window manager is asked
  // to map it from its icon), or the raise below does nothing; one hidden
  // while minimised (behind the notification-area icon) would otherwise map
  // iconified again.
  if (widget.isMinimized()) {
    widget.showNormal();
  } else {
    widget.show();
  }
  widget.raise();
  widget.activateWindow();
  form.Visible = true;
}

bool QtFormHost::IsMinimized(const Form& form) const {
  FormWindow* window = WindowOf(form);
  return window != nullptr && window->Widget().isMinimized();
}

void QtFormHost::KeepOverMainWindow(QWidget& dialog) const {
  if (windows_.empty() || &windows_.front()->Widget() == &dialog) return;
  QWidget& main = windows_.front()->Widget();
  if (main.windowHandle() == nullptr) return;
  // The dialog belongs to the main window (WM_TRANSIENT_FOR on X11,
  // xdg_toplevel.set_parent on Wayland): the desktop keeps it above the
  // window it blocks. The widget itself stays without a parent, so that each
  // window is still owned by its own FormWindow.
  dialog.winId();
  dialog.windowHandle()->setTransientParent(main.windowHandle());
}

void QtFormHost::Hide(Form& form) {
  if (FormWindow* window = WindowOf(form)) window->Widget().hide();
  form.Visible = false;
  for (const ModalLoop& modal : modal_) {
    // The caller sets the modal result right after hiding; the loop ends once
    // the current event has been handled.
    if (modal.form == &form) modal.loop->quit();
  }
}

TModalResult QtFormHost::ShowModal(Form& form) {
  FormWindow* window = WindowOf(form);
  form.ModalResult = TModalResult::None;
  if (window == nullptr || quit_) return form.ModalResult = TModalResult::Cancel;
  window->Widget().setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modal_.push_back({&form, &loop});
  Show(form);
  window->FocusFirstControl();
  if (form.ModalResult == TModalResult::None && !quit_) loop.exec();
  modal_.pop_back();
  if (form.Visible) Hide(form);
  window->Widget().setWindowModality(Qt::NonModal);
  if (form.ModalResult == TModalResult::None) form.ModalResult = TModalResult::Cancel;
  return form.ModalResult;
}

void QtFormHost::SetApplicationTitle(const std::string& title) {
  QCoreApplication::setApplicationName(QString::fromStdString(title));
}

void QtFormHost::Quit() {
  quit_ = true;
  for (const ModalLoop& modal : modal_) modal.loop->quit();
  // exit() with no loop running would make every later loop (a message box's,
  // say) return at once; before the main loop starts the flag is enough.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void QtFormHost::Deliver(const Action& action, bool tick) {
  // The control with the keyboard focus before the action, if any: when the
  // action disables it, the focus goes where the program says, not nowhere.
  FormWindow* focusWindow = nullptr;
  Control* focused = nullptr;
  if (QWidget* widget = QApplication::focusWidget()) {
    for (const auto& window : windows_) {
      if (Control* control = window->ControlOf(widget)) {
        focusWindow = window.get();
        focused = control;
      }
    }
  }
  if (deliver_) {
    deliver_(action);
  } else {
    action();
  }
  if (afterDelivery_) afterDelivery_(tick);
  if (focused != nullptr && !quit_) focusWindow->KeepFocusAfter(*focused);
  EndFinishedModalLoops();
}

void QtFormHost::EndFinishedModalLoops() {
  for (const ModalLoop& modal : modal_) {
    if (modal.form->ModalResult != TModalResult::None) modal.loop->quit();
  }
}

void QtFormHost::CloseBoxPressed(Form& form) {
  for (const ModalLoop& modal : modal_) {
    if (modal.form == &form) {
      // The core answers the request; the answer ends the dialog's loop.
      Deliver([this, &form] {
        Hide(form);
        if (onCloseRequest) onCloseRequest(form);
      });
      return;
    }
  }
  if (onCloseRequest) onCloseRequest(form);
}

}  // namespace murrelet::linux_platform
