// A run's state on the Linux desktop: the dock's progress through the
// launcher-entry signal that KDE's task manager and other docks read, and
// notices through the freedesktop notification service. Both live on the
// session bus; a desktop without them simply shows nothing.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

#include "kit/run_status_sink.h"

namespace murrelet::linux_platform {

class DesktopRunStatus : public RunStatusSink {
 public:
  // `desktopId` names the desktop entry (murrelet.desktop) that docks match
  // the program by; `iconName` is the program's icon in the icon theme.
  explicit DesktopRunStatus(QDBusConnection sessionBus, QString desktopId = QStringLiteral("murrelet"),
                            QString iconName = QStringLiteral("murrelet"));
  // A progress left shown is taken down, so the dock does not keep a stale bar.
  ~DesktopRunStatus() override;
  DesktopRunStatus(const DesktopRunStatus&) = delete;
  DesktopRunStatus& operator=(const DesktopRunStatus&) = delete;

  void SetTaskbarProgress(const TaskbarProgress& progress) override;
  void ShowNotice(std::string_view title, std::string_view text) override;
  void RunChanged(bool charging) override;

  // Told of every start and end of a run. Whether one is going is the core's
  // to say (TMainForm's `Run.Charging`); nothing here keeps a copy.
  std::function<void(bool charging)> onRunChanged;

  // The service's identifier of the last notice, 0 before its answer came.
  uint LastNoticeId() const { return lastNoticeId_; }

 private:
  void SendProgress(bool visible, double value);

  QDBusConnection bus_;
  QString appUri_;
  QString desktopId_;
  QString iconName_;
  bool progressShown_ = false;
  uint lastNoticeId_ = 0;
  QObject replies_;  // owns the watchers of pending notices, so none outlives this
};

}  // namespace murrelet::linux_platform
