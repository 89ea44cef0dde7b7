// The simulated platform under the real Qt windows, for the widget tests.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "charging/application.h"
#include "charging/settings_key.h"
#include "platform/linux/gui/qt_form_host.h"
#include "platform/sim/sim_platform.h"
#include "tests/stored_settings.h"

namespace murrelet::linux_platform {

inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The simulated platform with the real Qt windows in place of its own.
struct QtOnSim {
  explicit QtOnSim(bool configured = true) {
    if (configured) {
      murrelet::testing::StoredSettings settings;
      settings.suspendDisable = 0;
      murrelet::testing::StoreSettings(sim.store, settings);
    }
    forms.SetDelivery([this](const QtFormHost::Action& action) { app.Deliver(action); }, nullptr);
    forms.onCloseRequest = [this](Form& form) { app.CloseRequested(form); };
  }
  ~QtOnSim() { app.WindowsEnding(); }

  template <typename T>
  T* Widget(const Form& form, std::string_view name) {
    return qobject_cast<T*>(forms.WindowOf(form)->ObjectOf(name));
  }
  QWidget& MainWidget() { return forms.WindowOf(*app.MainForm())->Widget(); }
  QWidget& ConfWidget() { return forms.WindowOf(*app.ConfForm())->Widget(); }
  QString Panel(std::size_t i) {
    auto* bar = forms.WindowOf(*app.MainForm())->ObjectOf("StatusBar");
    return static_cast<StatusPanels*>(static_cast<QWidget*>(bar))->Panel(i)->text();
  }

  sim::SimPlatform sim;
  QtFormHost forms;
  Platform platform{sim.tapi, sim.power, sim.execution, sim.sleeper, sim.shutdown, sim.store,
                    sim.locks, sim.clock, sim.boxes, forms, sim.runStatus, sim.sessionStart};
  TApplication app{platform};
};

}  // namespace murrelet::linux_platform
